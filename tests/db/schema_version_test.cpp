// The schema version of a SQLite connection: it moves with every change to the tables or columns that the
// connection sees, whoever makes it, and stays put while only data changes.
#include <gtest/gtest.h>

#include "support/sqlite_fixture.hpp"
#include "talvane/db/sqlite_connection.hpp"

namespace talvane::test {
namespace {

TEST(SchemaVersion, MovesWithEveryKindOfSchemaChangeAndOnlyThen) {
  const auto connection = MakeDatabase("CREATE TABLE T (A INTEGER);");
  const auto versionAfter = [&](const std::string& sql) {
    if (!sql.empty()) RunSql(*connection, sql);
    const auto version = connection->SchemaVersion();
    EXPECT_TRUE(version.has_value()) << sql;
    return version.value_or("");
  };
  std::string last = versionAfter("");
  EXPECT_EQ(versionAfter(""), last);
  EXPECT_EQ(versionAfter("INSERT INTO T VALUES (1); UPDATE T SET A = 2; SELECT * FROM T;"), last);
  for (const std::string sql : {"ALTER TABLE T ADD COLUMN B TEXT", "CREATE TABLE U (C DATE)", "DROP TABLE U",
                                "CREATE TEMP TABLE T (A TEXT)", "ATTACH ':memory:' AS other",
                                "CREATE TABLE other.V (D BIT)", "DETACH other"}) {
    const std::string next = versionAfter(sql);
    EXPECT_NE(next, last) << sql;
    last = next;
  }
}

TEST(SchemaVersion, SeesAChangeMadeByAnotherConnectionToTheSameFile) {
  TempDatabaseFile file("CREATE TABLE T (A INTEGER);");
  const auto reader = file.Connect();
  const auto writer = file.Connect();
  const auto before = reader->SchemaVersion();
  ASSERT_TRUE(before.has_value());
  RunSql(*writer, "ALTER TABLE T ADD COLUMN B TEXT");
  EXPECT_NE(reader->SchemaVersion(), before);
}

TEST(SchemaVersion, DiffersAfterReopeningAndIsNoneWhileClosed) {
  const auto connection = MakeDatabase("");
  const auto before = connection->SchemaVersion();
  connection->Close();
  EXPECT_FALSE(connection->SchemaVersion().has_value());
  connection->Open();  // an in-memory database starts empty again, with the same schema cookie
  EXPECT_NE(connection->SchemaVersion(), before);
}

}  // namespace
}  // namespace talvane::test
