// The SQLite statement of a report means what its rules say: on the sample database, the rows it returns
// equal those of a query written here by hand from the rules' meaning (never from the program's output).
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "e2e/run_statement.hpp"
#include "report/statement_case.hpp"

namespace talvane::test {
namespace {

struct RowsCase {
  const char* name;
  const char* main;  // table.key
  std::vector<std::string> fields;
  std::vector<FormulaDefinition> formulas;
  const char* meaning;  // the rows the rules mean, as a query of SQLite's own
  bool ordered = false;
};

void PrintTo(const RowsCase& c, std::ostream* os) { *os << c.name; }

// The sample database of the examples, built from its scripts.
const std::shared_ptr<db::SqliteConnection>& SampleDatabase() {
  static const auto connection = MakeDatabase(
      ReadFile(std::string(TALVANE_SOURCE_DIR) + "/examples/sql/schema.sql") +
          ReadFile(std::string(TALVANE_SOURCE_DIR) + "/examples/sql/data.sql"),
      "SQLite");
  return connection;
}

StatementCase Definition(const RowsCase& c) {
  StatementCase definition;
  ParseDefinitionLine(definition, std::string("main: ") + c.main);
  for (const std::string& field : c.fields) ParseDefinitionLine(definition, "field: " + field);
  definition.definition.formulas = c.formulas;
  return definition;
}

class SqliteDialectRows : public ::testing::TestWithParam<RowsCase> {};

TEST_P(SqliteDialectRows, StatementReturnsTheRowsItsRulesMean) {
  const RowsCase& c = GetParam();
  const auto& database = SampleDatabase();
  const std::string sql = BuildReport(Definition(c), database)->SQL();
  std::vector<std::string> rows = RunStatement(*database, sql);
  std::vector<std::string> expected = RunStatement(*database, c.meaning);
  ASSERT_FALSE(expected.empty()) << "a case must select some rows to prove anything";
  if (!c.ordered) {
    std::sort(rows.begin(), rows.end());
    std::sort(expected.begin(), expected.end());
  }
  EXPECT_EQ(rows, expected) << ShowLayout(sql);
}

FormulaDefinition Rule(const char* text, const char* set, GROUPTYPEENU grouping) {
  return {text, *set == '\0' ? std::nullopt : std::optional<std::string>(set), grouping};
}
FormulaDefinition And(const char* text, const char* set = "") { return Rule(text, set, kAnd); }
FormulaDefinition Or(const char* text, const char* set = "") { return Rule(text, set, kOr); }

INSTANTIATE_TEST_SUITE_P(
    SampleDatabase, SqliteDialectRows,
    ::testing::Values(
        RowsCase{"NumberComparison", "Orders.OrderID", {"Orders.OrderID"}, {And("Orders.Amount >= 2000")},
                 "SELECT OrderID FROM Orders WHERE Amount >= 2000"},
        // A datetime on the last day of the range after midnight is outside it.
        RowsCase{"DatetimeBetweenDays", "Orders.OrderID", {"Orders.OrderID", "[Orders].[Ship Date]"},
                 {And("[Orders].[Ship Date] BETWEEN 01/03/2023 AND 31/03/2023")},
                 "SELECT OrderID, \"Ship Date\" FROM Orders "
                 "WHERE \"Ship Date\" >= '2023-03-01 00:00:00' AND \"Ship Date\" <= '2023-03-31 00:00:00'"},
        RowsCase{"DateColumnAgainstDays", "Orders.OrderID", {"Orders.OrderID"},
                 {And("Orders.OrderDate = 04/01/2023"), Or("Orders.OrderDate <= 10/01/2023")},
                 "SELECT OrderID FROM Orders WHERE OrderDate <= '2023-01-10'"},
        RowsCase{"TimeColumn", "Orders.OrderID", {"Orders.OrderID"}, {And("Orders.DueTime < 10:00")},
                 "SELECT OrderID FROM Orders WHERE 9 + OrderID % 8 = 9"},
        RowsCase{"TextIgnoresLetterCase", "Orders.OrderID", {"Orders.OrderID"},
                 {And("Orders.Status IN(\"held\", \"CANCELLED\")")},
                 "SELECT OrderID FROM Orders WHERE Status IN ('Held', 'Cancelled')"},
        RowsCase{"TextBetween", "Customers.CustomerID", {"Customers.CustomerName"},
                 {And("Customers.CustomerName BETWEEN \"customer 010\" AND \"customer 019\"")},
                 "SELECT CustomerName FROM Customers WHERE CustomerID BETWEEN 10 AND 19"},
        RowsCase{"LikePercentAndUnderscore", "Customers.CustomerID", {"Customers.CustomerID"},
                 {And("Customers.CustomerName LIKE \"customer 0_5\""), Or("Customers.Email LIKE \"%7@%\"")},
                 "SELECT CustomerID FROM Customers WHERE CustomerID % 10 = 5 OR CustomerID % 10 = 7"},
        RowsCase{"LikeCharacterClass", "Customers.CustomerID", {"Customers.CustomerID"},
                 {And("Customers.CustomerName LIKE \"customer 0[1-3]%\""),
                  And("Customers.CustomerName NOT LIKE \"%[^0-4]\"")},
                 "SELECT CustomerID FROM Customers WHERE CustomerID BETWEEN 10 AND 39 AND CustomerID % 10 <= 4"},
        RowsCase{"Booleans", "Orders.OrderID", {"Orders.OrderID"},
                 {And("Orders.Rush = TRUE"), And("Orders.Status = \"Shipped\"")},
                 "SELECT OrderID FROM Orders WHERE OrderID % 8 = 0 AND Status = 'Shipped'"},
        // 3000.00 is kept as an integer by SQLite; money divides as money all the same.
        RowsCase{"MoneyDividesWithFraction", "Customers.CustomerID", {"Customers.CustomerID"},
                 {And("Customers.CreditLimit / 4000 > 1.5")},
                 "SELECT CustomerID FROM Customers WHERE CreditLimit > 6000"},
        RowsCase{"IntegersDivideAsIntegers", "Orders.OrderID", {"Orders.OrderID"}, {And("Orders.Priority / 2 = 1")},
                 "SELECT OrderID FROM Orders WHERE Priority IN (2, 3)"},
        RowsCase{"NullCountsAsZero", "Customers.CustomerID", {"Customers.CustomerID"},
                 {And("Customers.Rating * 2 < 1")}, "SELECT CustomerID FROM Customers WHERE Rating IS NULL"},
        RowsCase{"TextOfDateAndMoney", "Customers.CustomerID", {"Customers.CustomerID"},
                 {And("Customers.CustomerName + \" \" + Customers.Balance = \"Customer 004 548.00\""),
                  Or("Customers.CustomerName + \" \" + Customers.Since = \"Customer 002 24/03/15\"")},
                 "SELECT CustomerID FROM Customers WHERE (CustomerID = 4 AND Balance = 548) "
                 "OR (CustomerID = 2 AND Since = '2015-03-24')"},
        RowsCase{"AggregatesInHaving", "Regions.RegionID", {"Regions.RegionID", "Regions.RegionName"},
                 {And("COUNT(Customers.CustomerID) > 12"), And("SUM(Customers.Balance) > 25000")},
                 "SELECT RegionID, RegionName FROM Regions r WHERE "
                 "(SELECT count(*) FROM Customers c WHERE c.RegionID = r.RegionID) > 12 AND "
                 "(SELECT sum(Balance) FROM Customers c WHERE c.RegionID = r.RegionID) > 25000"},
        RowsCase{"TotalOverTheWholeTable", "Orders.OrderID", {"Orders.OrderID"},
                 {And("Orders.Amount * 300 > TOTAL(Orders.Amount)")},
                 "SELECT OrderID FROM Orders WHERE Amount * 300 > (SELECT sum(Amount) FROM Orders)"},
        RowsCase{"SetsJoinedWithAndAndWithOr",
                 "Customers.CustomerID",
                 {"Customers.CustomerID", "OnHold.OrderDate | name HeldSince"},
                 {And("Customers.Active = TRUE"), And("Orders.Amount > 3000", "BigOrders"),
                  Or("Orders.Status = \"Held\"", "OnHold")},
                 "SELECT c.CustomerID, h.OrderDate FROM Customers c "
                 "JOIN Orders b ON b.CustomerID = c.CustomerID AND b.Amount > 3000 "
                 "LEFT JOIN Orders h ON h.CustomerID = c.CustomerID AND h.Status = 'Held' "
                 "WHERE c.Active = 1"},
        RowsCase{"OrderedByTextDescending",
                 "Customers.CustomerID",
                 {"Customers.Email | order 1 | desc", "Customers.CustomerID | order 2"},
                 {And("Customers.CustomerID <= 12")},
                 "SELECT Email, CustomerID FROM Customers WHERE CustomerID <= 12 ORDER BY Email DESC, CustomerID",
                 true}),
    [](const ::testing::TestParamInfo<RowsCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace talvane::test
