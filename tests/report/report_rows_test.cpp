// ReportRows: a report's statement run on its connection and walked forward, row by row.
#include "talvane/report/report_rows.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/report_test_support.hpp"
#include "support/counting_connection.hpp"

namespace talvane::test {
namespace {

using db::ValueKind;

std::string KindName(ValueKind kind) {
  switch (kind) {
    case ValueKind::kNull: return "null";
    case ValueKind::kInteger: return "integer";
    case ValueKind::kReal: return "real";
    case ValueKind::kText: return "text";
    case ValueKind::kBlob: return "blob";
  }
  return "?";
}

// Every row left to read, each value as "kind:text", separated by " | ".
std::vector<std::string> ReadAll(ReportRows& rows) {
  std::vector<std::string> read;
  while (rows.Next()) {
    std::string line;
    for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
      line += (c > 0 ? " | " : "") + KindName(rows.Kind(c)) + ":" + std::string(rows.Text(c));
    }
    read.push_back(line);
  }
  return read;
}

class ReportRowsTest : public ReportTest {
 protected:
  // Customers with an order of the given status, by CustID.
  void CustomersWithOrders(const std::string& status) {
    AddFormula("Orders.Status = \"" + status + "\"");
    AddField("Customers.CustID")->SetOrderPos(1);
    AddField("Customers.CustName");
    AddField("Customers.Balance");
  }
};

TEST_F(ReportRowsTest, WalksTheRowsOfTheReportsStatementWithTheirKinds) {
  CustomersWithOrders("Shipped");
  ReportRows rows(*report_);
  EXPECT_EQ(rows.Statement(), report_->SQL());
  ASSERT_EQ(rows.ColumnCount(), 3);
  EXPECT_EQ(rows.ColumnName(1), "CustName");
  EXPECT_EQ(rows.ColumnType(0), 3);  // INTEGER
  EXPECT_EQ(rows.ColumnType(2), 6);  // MONEY
  EXPECT_EQ(ReadAll(rows), (std::vector<std::string>{"integer:1 | text:Alfreds | real:150.5",
                                                     "integer:4 | text:Du monde entier | integer:1000"}));
  EXPECT_EQ(rows.RowCount(), 2);
  EXPECT_FALSE(rows.Next()) << "stays at the end";
  EXPECT_EQ(database_->OpenRecordsets(), 0) << "the statement is released once its rows are read";
}

TEST_F(ReportRowsTest, EmptyResultKnowsItsColumnsAndHasNoCurrentRow) {
  CustomersWithOrders("Lost");
  ReportRows rows(*report_);
  EXPECT_EQ(rows.ColumnCount(), 3);
  EXPECT_FALSE(rows.Next());
  EXPECT_EQ(rows.RowCount(), 0);
  EXPECT_TALVANE_ERROR(rows.Kind(0), db::kErrNoCurrentRecord, "ReportRows",
                       "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
                       "requires a current record.");
  EXPECT_TALVANE_ERROR(rows.ColumnType(3), db::kErrItemNotFound, "ReportRows",
                       "Item cannot be found in the collection corresponding to the requested name or ordinal.");
  EXPECT_TALVANE_ERROR(rows.ColumnName(3), db::kErrItemNotFound, "ReportRows",
                       "Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

TEST_F(ReportRowsTest, RowsAreReadAsTheyAreWalkedAndCloseReleasesThem) {
  ReportRows rows(database_, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i FROM n");
  for (const char* expected : {"1", "2", "3"}) {
    ASSERT_TRUE(rows.Next());
    EXPECT_EQ(rows.Text(0), expected);
  }
  rows.Close();
  EXPECT_FALSE(rows.Next());
  EXPECT_EQ(database_->OpenRecordsets(), 0);
}

struct FailingStatement {
  const char* name;
  const char* sql;
  std::size_t rowsBefore;  // rows read before the failure
  int32_t number;
  const char* message;
};

TEST_F(ReportRowsTest, FailuresAreTheDatabasesAndReleaseTheStatement) {
  const FailingStatement cases[] = {
      {"doesNotCompile", "SELECT Nope FROM Customers", 0, db::kErrCommandText, "no such column: Nope"},
      {"writes", "DELETE FROM Customers", 0, db::kErrCommandText,
       "The recordset is read-only; the command would change the database."},
      {"failsPartWay",
       "SELECT abs(CASE WHEN CustID = 3 THEN -9223372036854775807 - 1 ELSE CustID END) FROM Customers ORDER BY CustID",
       2, db::kErrUnspecified, "integer overflow"},
  };
  for (const FailingStatement& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TALVANE_ERROR(
        {
          ReportRows rows(database_, c.sql);
          for (std::size_t i = 0; i < c.rowsBefore; ++i) ASSERT_TRUE(rows.Next());
          rows.Next();
        },
        c.number, "SQLite", c.message);
    EXPECT_EQ(database_->OpenRecordsets(), 0);
  }
}

TEST_F(ReportRowsTest, BackendThatOnlyTellsNullFromTextServesToo) {
  const auto counting = CountingConnection::Create(database_);
  {
    ReportRows rows(counting, "SELECT 7, NULL, 'x'");
    EXPECT_EQ(ReadAll(rows), (std::vector<std::string>{"text:7 | null: | text:x"}));
  }
  EXPECT_EQ(counting->OpenRecordsets(), 0);
  EXPECT_EQ(counting->AbandonedRecordsets(), 0);
}

}  // namespace
}  // namespace talvane::test
