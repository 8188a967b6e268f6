// Language level 2 on a small database with declared foreign keys: the level and DISTINCT as members, the
// statement's clauses and joins, the constructs in each dialect with their errors, and level 1's warnings.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"
#include "talvane/report/report_rows.hpp"
#include "talvane/report/report_warnings.hpp"

namespace talvane::test {
namespace {

// Customer 1 has no e-mail and two orders, 2 has none, 3 one; order 9 belongs to no customer. Notes refers
// to Regions twice (two paths of the same length); Loose to nothing.
constexpr const char* kSchema = R"sql(
CREATE TABLE Regions (RegionID INTEGER PRIMARY KEY, RegionName TEXT);
CREATE TABLE Customers (CustID INTEGER PRIMARY KEY, Name TEXT, Email TEXT, RegionID INTEGER REFERENCES Regions);
CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, CustID INTEGER REFERENCES Customers (CustID), Amount MONEY,
                     OrderDate DATE, Shipped DATETIME);
CREATE TABLE Notes (NoteID INTEGER PRIMARY KEY, A INTEGER REFERENCES Regions (RegionID),
                    B INTEGER REFERENCES Regions (RegionID));
CREATE TABLE Loose (X INTEGER);
INSERT INTO Regions VALUES (1, 'North'), (2, 'South');
INSERT INTO Customers VALUES (1, 'Ann', NULL, 1), (2, 'Bob', 'bob@example.com', 1), (3, 'Cy', 'cy@example.com', 2);
INSERT INTO Orders VALUES (1, 1, 50, '2023-01-01', '2023-01-03 10:00:00'), (2, 1, 150, '2023-02-01', NULL),
                          (3, 3, 20, '2023-03-01', '2023-03-09 08:00:00'), (9, 99, 70, '2023-04-01', NULL);
)sql";

constexpr const char* kSqlite = "SQLite";

class LevelTwo : public testing::Test {
 protected:
  std::shared_ptr<Exception> Report(const char* provider, const char* mainTable = "Customers",
                                    const char* key = "CustID") {
    auto report = Exception::Create();
    report->SetConnection(MakeDatabase(kSchema, provider));
    report->SetMainTable(mainTable);
    report->SetMainField(key);
    return report;
  }
  static std::shared_ptr<Exception> AtLevelTwo(std::shared_ptr<Exception> report) {
    report->SetLanguageLevel(2);
    return report;
  }
  static std::shared_ptr<Formula> Add(Exception& report, const std::string& text, GROUPTYPEENU grouping = kAnd) {
    report.Formulae()->AddNew();
    auto formula = report.Formulae()->Formula();
    formula->SetGrouping(grouping);
    formula->SetValue(std::string_view(text));
    return formula;
  }
  static void Field(Exception& report, const std::string& reference, const std::string& aggregate = {}) {
    report.Fields()->AddNew();
    report.Fields()->Field()->SetValue(reference);
    if (!aggregate.empty()) report.Fields()->Field()->SetAggragateFunction(aggregate);
  }
  // The statement's rows, each as its values joined by "|", NULL as "-".
  static std::multiset<std::string> Rows(Exception& report) {
    ReportRows rows(report);
    std::multiset<std::string> found;
    while (rows.Next()) {
      std::string line;
      for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
        line += (c ? "|" : "") + (rows.Kind(c) == db::ValueKind::kNull ? "-" : std::string(rows.Text(c)));
      }
      found.insert(line);
    }
    return found;
  }
  // The condition a formula renders in each dialect, on the report's level.
  std::vector<std::string> Dialects(const std::string& text, int32_t level = 2) {
    std::vector<std::string> conditions;
    for (const char* provider : {kSqlServerProvider, kAccessProvider, kSqlite}) {
      auto report = Report(provider, "Orders", "OrderID");
      report->SetLanguageLevel(level);
      conditions.push_back(Add(*report, text)->SQL());
    }
    return conditions;
  }
};

TEST_F(LevelTwo, TheLevelIsOneUntilSetAndSettingItReadsEveryFormulaAgain) {
  auto report = Report(kSqlServerProvider);
  EXPECT_EQ(report->LanguageLevel(), 1);
  EXPECT_FALSE(report->Distinct());
  for (int32_t wrong : {0, 3, -1}) {
    EXPECT_TALVANE_ERROR(report->SetLanguageLevel(wrong), ERR_EXCEPT_ITEMTYPE, "Exception.LanguageLevel",
                         "The language level must be 1 or 2");
  }
  EXPECT_TALVANE_ERROR(Add(*report, "Customers.Email IS NULL"), kParseItemError, "ModOmbrel ParseItem",
                       "Invalid syntax for item");
  report->SetLanguageLevel(2);
  EXPECT_TRUE(report->Formulae()->Formula(1)->Valid());
  EXPECT_EQ(report->Formulae()->Formula(1)->Value(), "[Customers].[Email] IS NULL");
  EXPECT_TALVANE_ERROR(report->SetLanguageLevel(1), kParseItemError, "ModOmbrel ParseItem", "Invalid syntax for item");
  EXPECT_EQ(report->LanguageLevel(), 1);
  EXPECT_FALSE(report->Formulae()->Formula(1)->Valid());
}

// The issue's four traps, each with the rows level 2 gives: a row condition beside an aggregate, COUNT = 0,
// an aggregated output field, a row without its main record.
TEST_F(LevelTwo, ConditionsJoinsCountsAndOutputAggregatesMeanWhatTheySay) {
  auto report = AtLevelTwo(Report(kSqlServerProvider));
  Field(*report, "Customers.CustID");
  Field(*report, "Orders.Amount", "SUM");
  Add(*report, "Orders.Amount > 10");
  Add(*report, "SUM(Orders.Amount) > 100");
  EXPECT_EQ(report->SQL(),
            "SELECT [Customers].[CustID] AS [CustID], SUM([Orders].[Amount]) AS [Amount] \r\nFROM \r\n\t[Customers] "
            "\r\n\tLEFT JOIN \r\n\t[Orders] \r\n\tON [Customers].[CustID] = [Orders].[CustID] \r\nWHERE \r\n\t"
            "ISNULL([Orders].[Amount], 0) > 10\r\nGROUP BY \r\n\t[Customers].[CustID]\r\nHAVING \r\n\t"
            "SUM(ISNULL([Orders].[Amount], 0)) > 100\r\n");

  auto sqlite = AtLevelTwo(Report(kSqlite));
  Field(*sqlite, "Customers.CustID");
  Field(*sqlite, "Orders.Amount", "SUM");
  Add(*sqlite, "Orders.Amount > 10");
  Add(*sqlite, "SUM(Orders.Amount) > 100");
  EXPECT_EQ(Rows(*sqlite), (std::multiset<std::string>{"1|200"}));

  auto noOrders = AtLevelTwo(Report(kSqlite));
  Field(*noOrders, "Customers.CustID");
  Add(*noOrders, "COUNT(Orders.OrderID) = 0");
  EXPECT_EQ(Rows(*noOrders), (std::multiset<std::string>{"2"}));

  auto everyOrder = AtLevelTwo(Report(kSqlite));
  everyOrder->SetDistinct(true);
  Field(*everyOrder, "Customers.CustID");
  Field(*everyOrder, "Orders.CustID");
  EXPECT_EQ(Rows(*everyOrder), (std::multiset<std::string>{"1|1", "2|-", "3|3"}));
  everyOrder->SetDistinct(false);
  EXPECT_EQ(Rows(*everyOrder).size(), 4u);

  Add(*noOrders, "Customers.CustID > 1", kOr);
  EXPECT_TALVANE_ERROR(noOrders->SQL(), ERR_EXCEPT_ITEMTYPE, "Exception.SQL",
                       "At language level 2 a rule with an aggregate and a rule without one cannot be joined by OR");
}

TEST_F(LevelTwo, TablesWithoutTheKeyAreJoinedAlongForeignKeysOrNamedWhenTheyCannotBe) {
  auto regions = AtLevelTwo(Report(kAccessProvider, "Regions", "RegionID"));
  Field(*regions, "Regions.RegionName");
  Add(*regions, "Orders.Amount > 100");
  EXPECT_EQ(regions->SQL(),
            "SELECT [Regions].[RegionName] AS [RegionName] \r\nFROM \r\n((\t[Regions] \r\n\tLEFT JOIN \r\n\t"
            "[Customers] \r\n\tON [Regions].[RegionID] = [Customers].[RegionID]) \r\n\tLEFT JOIN \r\n\t[Orders] "
            "\r\n\tON [Customers].[CustID] = [Orders].[CustID]) \r\nWHERE \r\n\t"
            "IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount]) > 100\r\n");

  auto loose = AtLevelTwo(Report(kSqlite));
  Field(*loose, "Customers.CustID");
  Add(*loose, "Loose.X = 1");
  EXPECT_TALVANE_ERROR(loose->SQL(), ERR_EXCEPT_ITEMTYPE, "Exception.SQL",
                       "No path of foreign keys reaches table [Loose] from the main table or a joined table");
  auto notes = AtLevelTwo(Report(kSqlite));
  Field(*notes, "Customers.CustID");
  Add(*notes, "Notes.NoteID = 1");
  EXPECT_TALVANE_ERROR(notes->SQL(), ERR_EXCEPT_ITEMTYPE, "Exception.SQL",
                       "Two paths of foreign keys of the same length reach table [Notes]: use a table of the path "
                       "meant in a rule or an output field");
}

TEST_F(LevelTwo, TheConstructsInEachDialect) {
  EXPECT_EQ(Dialects("Orders.Amount IS NULL"),
            (std::vector<std::string>{"[Orders].[Amount] IS NULL", "[Orders].[Amount] IS NULL",
                                      "[Orders].[Amount] IS NULL"}));
  EXPECT_EQ(Dialects("orders.shipped is  not null")[2], "[orders].[shipped] IS NOT NULL");
  EXPECT_EQ(Dialects("Orders.OrderID NOT IN(-1, 2)")[0], "ISNULL([Orders].[OrderID], 0) NOT IN (-1, 2)");
  EXPECT_EQ(Dialects("Orders.Amount NOT BETWEEN -5 AND 5")[1],
            "IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount]) NOT BETWEEN -5 AND 5");
  EXPECT_EQ(Dialects("Orders.OrderDate < TODAY - 30"),
            (std::vector<std::string>{
                "[Orders].[OrderDate] < CAST(CONVERT(DATETIME, CONVERT(DATETIME, CONVERT(DATE, GETDATE()))) AS "
                "FLOAT) - 30",
                "[Orders].[OrderDate] < Date() - 30",
                "julianday([Orders].[OrderDate]) < julianday(date('now', 'localtime')) - 30"}));
  EXPECT_EQ(Dialects("Orders.Shipped - Orders.OrderDate > 5")[2],
            "julianday([Orders].[Shipped]) - julianday([Orders].[OrderDate]) > 5");
  EXPECT_EQ(Dialects("Orders.Shipped < NOW")[1], "[Orders].[Shipped] < Now()");
  EXPECT_EQ(Dialects("Orders.OrderDate >= 2023-06-14")[2], "julianday([Orders].[OrderDate]) >= julianday('2023-06-14')");
  EXPECT_EQ(Dialects("Orders.OrderDate >= 14/06/2023", 1)[2], Dialects("Orders.OrderDate >= 2023-06-14")[2]);
  // A number among texts is a text, so that every dialect compares texts; a count is a number.
  EXPECT_EQ(Dialects("Customers.Name NOT IN(1, 2 + 3)"),
            (std::vector<std::string>{"[Customers].[Name] NOT IN ('1', '2' + '3')", "[Customers].[Name] NOT IN ('1', '2' + '3')",
                                      "[Customers].[Name] COLLATE NOCASE NOT IN ('1', '2' || '3')"}));
  EXPECT_EQ(Dialects("COUNT(Customers.Name) > 1")[2], "COUNT([Customers].[Name]) > 1");
  EXPECT_EQ(Dialects(R"(Customers.Name IN("", "say ""hi""", "O'Neil"))")[2],
            R"([Customers].[Name] COLLATE NOCASE IN ('', 'say "hi"', 'O''Neil'))");
  {
    auto strings = AtLevelTwo(Report(kSqlite));
    EXPECT_EQ(Add(*strings, R"(Customers.Name = "say ""hi""")")->Node(2)->Value(), R"("say ""hi""")");
    strings->Formulae()->Clear();
    Field(*strings, "Customers.CustID");
    Add(*strings, R"(Customers.Email <> "")");
    EXPECT_EQ(Rows(*strings), (std::multiset<std::string>{"2", "3"}));
    auto levelOne = Report(kSqlite);
    EXPECT_FALSE(Add(*levelOne, R"(Customers.Email = "")")->Valid());
  }

  // Misused, and at level 1, each refused.
  auto report = AtLevelTwo(Report(kSqlServerProvider, "Orders", "OrderID"));
  EXPECT_TALVANE_ERROR(Add(*report, "Orders.Amount IS NULL 5"), ERR_ITEMTYPE, "Exception: Formula.Add", "Illigal value");
  EXPECT_FALSE(Add(*report, "Orders.Amount NOT BETWEEN 1")->Valid());
  for (const char* text : {"Orders.Shipped + Orders.OrderDate > 5", "TODAY + Orders.OrderDate > 5"}) {
    SCOPED_TRACE(text);
    EXPECT_TALVANE_ERROR(Add(*report, text), ERR_ITEMTYPE, "Exception: Section.Add",
                         "A date cannot be added to a date: a date minus a date is a number of days, and a date "
                         "plus or minus a number is a date");
  }
  for (const char* text : {"Orders.OrderID NOT IN(1)", "Orders.OrderDate < TODAY", "Orders.Amount > -5",
                           "Orders.OrderDate = 2023-06-14"}) {
    SCOPED_TRACE(text);
    auto levelOne = Report(kSqlServerProvider, "Orders", "OrderID");
    EXPECT_THROW(Add(*levelOne, text), Error);
  }
}

TEST_F(LevelTwo, LevelOneWarnsOfItsTrapsAndNamesLevelTwo) {
  auto report = Report(kSqlite);
  Field(*report, "Customers.CustID");
  Add(*report, "Orders.Amount > 10");
  Add(*report, "COUNT(Orders.OrderID) = 0");
  Add(*report, "Customers.Name IN(1, 2)");
  Add(*report, "COUNT(Customers.Name) > 1");  // a count is a number, whatever it counts
  std::vector<std::string> messages;
  for (const Warning& warning : LevelOneTrapWarnings(*report)) messages.push_back(warning.message);
  ASSERT_EQ(messages.size(), 5u);
  for (const std::string& message : messages) EXPECT_NE(message.find("language level 2"), std::string::npos);
  EXPECT_NE(messages[0].find("counts a missing value as 0"), std::string::npos);
  EXPECT_NE(messages[1].find("a number beside a text"), std::string::npos);
  EXPECT_NE(messages[2].find("into HAVING"), std::string::npos);
  EXPECT_NE(messages[3].find("into HAVING"), std::string::npos);
  EXPECT_NE(messages[4].find("FULL JOIN"), std::string::npos);
  report->SetLanguageLevel(2);
  EXPECT_TRUE(LevelOneTrapWarnings(*report).empty());
}

}  // namespace
}  // namespace talvane::test
