// The connection's schema cache: one request per question while the schema stays, and every change to the
// schema seen at the next question, whoever made it.
#include <gtest/gtest.h>

#include "support/counting_connection.hpp"
#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/db/schema_cache.hpp"
#include "talvane/db/schema_scope.hpp"

namespace talvane::test {
namespace {

class SchemaCacheTest : public testing::Test {
 protected:
  void Ask() {
    cache().QueryColumnType("Orders", "amount");
    cache().TableHasColumn("orders", "Status");
  }
  db::SchemaCache& cache() { return counting_->Schema(); }
  int32_t Requests() const { return counting_->Calls(DbCall::kOpen) + counting_->Calls(DbCall::kOpenSchema); }

  std::shared_ptr<db::SqliteConnection> database_ = MakeDatabase("CREATE TABLE Orders (Amount MONEY, Status TEXT);");
  std::shared_ptr<CountingConnection> counting_ = CountingConnection::Create(database_);
};

TEST_F(SchemaCacheTest, AsksEachQuestionOnceWhileTheSchemaStays) {
  counting_->ForwardSchemaVersion(true);
  Ask();
  const int32_t first = Requests();
  EXPECT_EQ(first, 3);  // the probe, then the tables and the columns rowsets
  Ask();
  {
    const db::SchemaScope scope;
    Ask();
  }
  EXPECT_EQ(Requests(), first);
  EXPECT_EQ(cache().QueryColumnType("ORDERS", "AMOUNT"), 6);
}

TEST_F(SchemaCacheTest, WithoutASchemaVersionKeepsAnswersForOneScopeOnly) {
  {
    const db::SchemaScope scope;
    Ask();
    Ask();
  }
  EXPECT_EQ(Requests(), 3);
  Ask();
  EXPECT_EQ(Requests(), 6);
}

TEST_F(SchemaCacheTest, SeesAColumnAddedAndATableDroppedByAnotherConnection) {
  TempDatabaseFile file("CREATE TABLE Orders (Amount MONEY); CREATE TABLE Lines (Qty INTEGER);");
  const auto reader = file.Connect();
  db::SchemaCache& schema = reader->Schema();
  EXPECT_FALSE(schema.TableHasColumn("Orders", "Status"));
  EXPECT_EQ(schema.QueryColumns("Lines").size(), 1u);
  {
    const auto writer = file.Connect();
    RunSql(*writer, "ALTER TABLE Orders ADD COLUMN Status TEXT; DROP TABLE Lines;");
  }
  EXPECT_TRUE(schema.TableHasColumn("Orders", "Status"));
  EXPECT_EQ(schema.QueryColumnType("Orders", "Status"), 202);
  EXPECT_FALSE(schema.TableColumns("Lines").has_value());
  EXPECT_EQ(CaptureError([&] { schema.QueryColumns("Lines"); }).Number(), db::kErrNoSuchTable);
  EXPECT_EQ(CaptureError([&] { schema.QueryColumnType("Orders", "Nothing"); }).Number(), db::kErrItemNotFound);
}

}  // namespace
}  // namespace talvane::test
