// The statements a closed recordset leaves with its connection: asking the same text again must give the
// answers a fresh compile gives, whatever happened to the schema in between, and a kept statement must never
// count as an open recordset or outlive the connection.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/db/recordset.hpp"
#include "talvane/db/schema_lookup.hpp"

namespace talvane::test {
namespace {

constexpr const char* kProbe = "SELECT * FROM [Lines] ;";
constexpr int32_t kAdLockOptimistic = 3;

class StatementReuse : public ::testing::Test {
 protected:
  std::shared_ptr<db::Recordset> Probe(const std::string& sql = kProbe) {
    auto rs = cnn_->NewRecordset();
    PrepareProbeRecordset(*rs);
    rs->Open(sql, cnn_);
    return rs;
  }
  // Statements compiled on the handle and not finalized, kept ones included.
  int LiveStatements() const {
    int count = 0;
    sqlite3* handle = cnn_->Handle();
    for (sqlite3_stmt* s = sqlite3_next_stmt(handle, nullptr); s != nullptr; s = sqlite3_next_stmt(handle, s)) ++count;
    return count;
  }
  std::shared_ptr<db::SqliteConnection> cnn_ = MakeStandardDatabase();
};

TEST_F(StatementReuse, TheSameProbeAgainIsNotCompiledAgain) {
  Probe()->Close();
  const int afterFirst = LiveStatements();
  for (int i = 0; i < 5; ++i) Probe()->Close();
  EXPECT_EQ(LiveStatements(), afterFirst);
  EXPECT_EQ(cnn_->OpenRecordsets(), 0) << "a kept statement is no open recordset";
}

TEST_F(StatementReuse, AReusedProbeStartsAgainOnTheFirstRow) {
  auto first = Probe("SELECT LineID FROM Lines ORDER BY LineID ;");
  const std::string firstValue = first->FieldValue(0);
  first->MoveNext();
  first->Close();
  auto again = Probe("SELECT LineID FROM Lines ORDER BY LineID ;");
  EXPECT_EQ(again->FieldValue(0), firstValue);
}

TEST_F(StatementReuse, TwoRecordsetsOpenOnTheSameTextAreIndependent) {
  auto a = Probe("SELECT LineID FROM Lines ORDER BY LineID ;");
  auto b = Probe("SELECT LineID FROM Lines ORDER BY LineID ;");
  a->MoveNext();
  EXPECT_NE(a->FieldValue(0), b->FieldValue(0));
  EXPECT_EQ(cnn_->OpenRecordsets(), 2);
  a->Close();
  b->Close();
  auto c = Probe("SELECT LineID FROM Lines ORDER BY LineID ;");
  EXPECT_EQ(c->FieldValue(0), "1");
}

TEST_F(StatementReuse, ColumnsAddedAfterAProbeAreSeen) {
  Probe()->Close();
  RunSql(*cnn_, "ALTER TABLE Lines ADD COLUMN Discount MONEY;");
  auto rs = Probe();
  EXPECT_EQ(rs->FieldType(std::string_view("Discount")), 6);
  EXPECT_EQ(rs->FieldCount(), 6);
}

TEST_F(StatementReuse, ATableDroppedAfterAProbeFailsAsIfNeverAsked) {
  Probe()->Close();
  RunSql(*cnn_, "DROP TABLE Lines;");
  EXPECT_TALVANE_ERROR(Probe(), db::kErrNoSuchTable, "SQLite", "no such table: Lines");
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
}

TEST_F(StatementReuse, TableRecreatedWithOtherTypesGivesTheNewTypes) {
  Probe()->Close();
  RunSql(*cnn_, "DROP TABLE Lines; CREATE TABLE Lines (LineID TEXT, Qty DATE);");
  auto rs = Probe();
  EXPECT_EQ(rs->FieldType(std::string_view("Qty")), 133);
  EXPECT_EQ(rs->FieldCount(), 2);
}

TEST_F(StatementReuse, SchemaRowsetsTakeEachRequestsRestrictions) {
  // The same catalogue query runs with other restrictions each time; none may leak into the next.
  EXPECT_TRUE(TableHasColumn("Lines", "Qty", cnn_));
  EXPECT_FALSE(TableHasColumn("Lines", "Amount", cnn_));
  EXPECT_TRUE(TableHasColumn("Orders", "Amount", cnn_));
  EXPECT_EQ(TableColumns("Regions", cnn_), "[RegionID], [RegionName], [CustID]");
  EXPECT_EQ(TableColumns("Nowhere", cnn_), "");
  auto all = cnn_->OpenSchema(db::kSchemaTables, {"", "", "", "TABLE"});
  std::vector<std::string> names;
  for (; !all->Eof(); all->MoveNext()) names.push_back(all->FieldValue(2));
  all->Close();
  EXPECT_GT(names.size(), 3u) << "an empty restriction must be unbound, not the previous table name";
}

TEST_F(StatementReuse, ChangesRunWithAWritableLockAreNeverKept) {
  const std::string insert = "INSERT INTO EmptyTable (ID, Name) VALUES (1, 'x') ;";
  for (int i = 0; i < 3; ++i) {
    auto rs = cnn_->NewRecordset();
    rs->SetLockType(kAdLockOptimistic);
    rs->Open(insert, cnn_);
  }
  auto count = Probe("SELECT COUNT(*) FROM EmptyTable ;");
  EXPECT_EQ(count->FieldValue(0), "3");
  count->Close();
  const int live = LiveStatements();
  auto rs = cnn_->NewRecordset();
  rs->SetLockType(kAdLockOptimistic);
  rs->Open(insert, cnn_);
  EXPECT_EQ(LiveStatements(), live);
}

TEST_F(StatementReuse, ClosingTheConnectionFinalizesKeptStatements) {
  Probe()->Close();
  auto open = Probe("SELECT * FROM Orders ;");
  ASSERT_GT(LiveStatements(), 0);
  cnn_->Close();
  EXPECT_EQ(open->State(), 0);
  cnn_->Open();
  // A fresh in-memory database: nothing of the old one is kept, and the old text fails as it should.
  EXPECT_EQ(LiveStatements(), 0);
  EXPECT_TALVANE_ERROR(Probe(), db::kErrNoSuchTable, "SQLite", "no such table: Lines");
}

}  // namespace
}  // namespace talvane::test
