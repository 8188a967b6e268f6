// The ODBC backend through the SQLite ODBC driver: the example reports give over ODBC the statements they give
// through the SQLite backend, and the backend's own behaviour (types, quoting, errors, rows, schema version)
// on a database file made for the test.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_process.hpp"
#include "support/expect_error.hpp"
#include "odbc_test_support.hpp"
#include "talvane/db/schema_cache.hpp"
#include "talvane/db/sqlite_connection.hpp"

namespace talvane::test {
namespace {

using cli::test::ProcessResult;
using cli::test::RunTalvane;
using cli::test::ScratchDir;

std::string OdbcSample() { return DriverString(TALVANE_SQLITE_ODBC_DRIVER, "Database=" + cli::test::SampleDatabase().string()); }

std::vector<std::filesystem::path> ExampleReports() {
  std::vector<std::filesystem::path> reports;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TALVANE_EXAMPLES_DIR) / "reports")) {
    if (entry.path().extension() == ".json") reports.push_back(entry.path());
  }
  return reports;
}

TEST(OdbcSqliteDriver, EveryExampleReportGivesTheSqliteBackendsStatementInBothDialects) {
  ASSERT_FALSE(ExampleReports().empty());
  for (const auto& report : ExampleReports()) {
    for (const std::string dialect : {"sqlserver", "access"}) {
      SCOPED_TRACE(report.filename().string() + " " + dialect);
      const ProcessResult sqlite =
          RunTalvane({"sql", report.string(), "--connection", cli::test::SampleConnection(), "--dialect", dialect});
      const ProcessResult odbc = RunTalvane({"sql", report.string(), "--connection", OdbcSample(), "--dialect", dialect});
      EXPECT_EQ(odbc.exitCode, sqlite.exitCode) << odbc.err;
      EXPECT_EQ(odbc.out, sqlite.out);
    }
  }
}

TEST(OdbcSqliteDriver, SchemaAndCheckCommandsWorkOverOdbc) {
  const ProcessResult schema = RunTalvane({"schema", "--connection", OdbcSample()});
  EXPECT_EQ(schema.exitCode, 0) << schema.err;
  const ProcessResult sqlite = RunTalvane({"schema", "--connection", cli::test::SampleConnection()});
  // The same listing, a column declared without a type included (adVariant).
  EXPECT_EQ(schema.out, sqlite.out);
  EXPECT_GT(cli::test::Lines(schema.out).size(), 40u);
  const std::string report = (std::filesystem::path(TALVANE_EXAMPLES_DIR) / "reports" / "large_orders.json").string();
  const ProcessResult check = RunTalvane({"check", report, "--connection", OdbcSample()});
  EXPECT_EQ(check.exitCode, 0) << check.err;
}

// A database file of the test's own: names a catalogue pattern would confuse, a quote in a name, long text.
class OdbcSqliteFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = scratch_.Path() / "odbc.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    const char* sql =
        "CREATE TABLE order_items (id INTEGER, qty SMALLINT, price MONEY, name VARCHAR(20), total DOUBLE, "
        "at DATETIME, day DATE, ok BOOLEAN);"
        "CREATE TABLE orderXitems (other INTEGER);"
        "CREATE TABLE \"we\"\"ird\" (\"col\"\"umn\" INTEGER);"
        "CREATE TABLE notes (id INTEGER, body TEXT);"
        "INSERT INTO notes VALUES (1, NULL), (2, printf('%.*c', 10000, 'x')), (3, 'short');";
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }

  std::shared_ptr<db::OdbcConnection> Connect() const {
    return db::OdbcConnection::Create("Provider=SQLOLEDB.1;" + DriverString(TALVANE_SQLITE_ODBC_DRIVER, "Database=" + path_.string()));
  }

  ScratchDir scratch_;
  std::filesystem::path path_;
};

TEST_F(OdbcSqliteFile, ProbeAndColumnsSchemaGiveTheSqliteBackendsTypes) {
  const auto odbc = Connect();
  const auto sqlite = db::SqliteConnection::Create("Data Source=" + path_.string());
  EXPECT_EQ(ProbedTypes(*odbc, "order_items"), ProbedTypes(*sqlite, "order_items"));
  EXPECT_EQ(ListedTypes(*odbc, "order_items"), ProbedTypes(*sqlite, "order_items"));
  EXPECT_EQ(odbc->Schema().TableColumns("order_items"),
            (std::vector<std::string>{"id", "qty", "price", "name", "total", "at", "day", "ok"}));
  EXPECT_TRUE(odbc->Schema().TableHasColumn("ORDER_ITEMS", "Price"));
  EXPECT_FALSE(odbc->Schema().TableHasColumn("order_items", "other"));  // "_" is no wildcard
  EXPECT_FALSE(odbc->Schema().TableColumns("missing").has_value());
  EXPECT_EQ(ProbedTypes(*odbc, "we\"ird"), (std::map<std::string, int32_t>{{"col\"umn", 3}}));
  EXPECT_EQ(odbc->ConnectionString().rfind("Provider=SQLOLEDB.1;", 0), 0u);
}

TEST_F(OdbcSqliteFile, FailuresCarryTheDriversMessageAndNumbers) {
  const auto odbc = Connect();
  const Error missing = CaptureError([&] { odbc->Schema().QueryColumns("missing"); });
  EXPECT_EQ(missing.Number(), db::kErrNoSuchTable);
  EXPECT_EQ(missing.Source(), "ODBC");
  EXPECT_NE(missing.Message().find("missing"), std::string::npos);
  const Error syntax = CaptureError([&] { odbc->NewRecordset()->Open("SELEC nothing", odbc); });
  EXPECT_EQ(syntax.Number(), db::kErrCommandText) << syntax.Message();
  const Error noLibrary = CaptureError([] { db::OdbcConnection::Create("Driver=/nonexistent/libnothing.so"); });
  EXPECT_EQ(noLibrary.Number(), db::kErrUnspecified);
  EXPECT_NE(noLibrary.Message().find("SQLSTATE 01000"), std::string::npos) << noLibrary.Message();
}

TEST_F(OdbcSqliteFile, RowsAreReadWholeWithNullsAndTheEndRaisesNoCurrentRecord) {
  const auto odbc = Connect();
  const auto rs = odbc->NewRecordset();
  rs->Open("SELECT id, body FROM notes ORDER BY id", odbc);
  ASSERT_EQ(rs->FieldCount(), 2);
  EXPECT_TRUE(rs->FieldIsNull(1));
  rs->MoveNext();
  EXPECT_EQ(rs->FieldValue("BODY"), std::string(10000, 'x'));
  rs->MoveNext();
  EXPECT_EQ(rs->FieldValue(1), "short");
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(CaptureError([&] { rs->FieldValue(0); }).Number(), db::kErrNoCurrentRecord);
  rs->Close();
  EXPECT_EQ(CaptureError([&] { rs->FieldCount(); }).Number(), db::kErrObjectClosed);
}

// SQLite keeps any text in a column whatever its declared type: a value wider than the buffer bound for the
// column is read whole on its own.
TEST_F(OdbcSqliteFile, ValuesWiderThanTheirDeclaredColumnAreReadWhole) {
  const auto odbc = Connect();
  odbc->NewRecordset()->Open("CREATE TABLE loose (n INTEGER, v VARCHAR(2))", odbc);
  odbc->NewRecordset()->Open("INSERT INTO loose VALUES (printf('%.*c', 3000, 'n'), 'longer than two'), (7, 'ab')",
                             odbc);
  const auto rs = odbc->NewRecordset();
  rs->Open("SELECT n, v FROM loose ORDER BY rowid", odbc);
  EXPECT_EQ(rs->FieldValue(0), std::string(3000, 'n'));
  EXPECT_EQ(rs->FieldValue(1), "longer than two");
  rs->MoveNext();
  EXPECT_EQ(rs->FieldValue(0), "7");
  EXPECT_EQ(rs->FieldValue(1), "ab");
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
}

TEST_F(OdbcSqliteFile, SchemaVersionMovesWithADefinitionOnTheConnectionAndWithReopening) {
  const auto odbc = Connect();
  const auto first = odbc->SchemaVersion();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(odbc->SchemaVersion(), first);
  EXPECT_FALSE(odbc->Schema().TableColumns("added").has_value());
  odbc->NewRecordset()->Open("CREATE TABLE added (x INTEGER)", odbc);
  EXPECT_NE(odbc->SchemaVersion(), first);
  EXPECT_TRUE(odbc->Schema().TableHasColumn("added", "x"));
  const auto second = odbc->SchemaVersion();
  odbc->Close();
  EXPECT_EQ(odbc->State(), db::kAdStateClosed);
  EXPECT_FALSE(odbc->SchemaVersion().has_value());
  odbc->Open();
  EXPECT_NE(odbc->SchemaVersion(), second);
}

}  // namespace
}  // namespace talvane::test
