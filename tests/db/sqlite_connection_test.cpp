// The SQLite connection: connection strings, opening and closing, and the errors of sources that cannot open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/sqlite/connection_string.hpp"
#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/db/sqlite_connection.hpp"

namespace talvane::test {
namespace {

using db::SqliteConnection;
using db::detail::ConnectionStringValue;

constexpr const char* kSource = "SQLite";
constexpr const char* kClosedMessage = "Operation is not allowed when the object is closed.";

TEST(ConnectionStringValue, FindsKeysIgnoringCaseAndBlanks) {
  EXPECT_EQ(ConnectionStringValue("Provider=SQLOLEDB.1;Data Source=orders.db", "Data Source"), "orders.db");
  EXPECT_EQ(ConnectionStringValue("provider=x; DATA SOURCE = orders.db ;", "Data Source"), "orders.db");
  EXPECT_EQ(ConnectionStringValue("Data Source=:memory:", "data source"), ":memory:");
  EXPECT_EQ(ConnectionStringValue("Provider=SQLOLEDB.1", "Data Source"), std::nullopt);
  EXPECT_EQ(ConnectionStringValue("", "Data Source"), std::nullopt);
}

TEST(ConnectionStringValue, ReadsQuotedValuesWithSemicolonsAndDoubledQuotes) {
  EXPECT_EQ(ConnectionStringValue("Data Source=\"a;b.db\";Provider=p", "Data Source"), "a;b.db");
  EXPECT_EQ(ConnectionStringValue("Data Source='it''s.db'", "Data Source"), "it's.db");
  EXPECT_EQ(ConnectionStringValue("Data Source=\"open", "Data Source"), "open");
}

TEST(ConnectionStringValue, SkipsPiecesWithoutKeyAndTakesTheFirstOccurrence) {
  EXPECT_EQ(ConnectionStringValue("junk;Data Source=a.db;Data Source=b.db", "Data Source"), "a.db");
  EXPECT_EQ(ConnectionStringValue("Source=x;Data Source=y", "Source"), "x");
  EXPECT_EQ(ConnectionStringValue("MyData Source=x", "Data Source"), std::nullopt);
}

TEST(SqliteConnectionOpen, InMemoryKeepsTheConnectionStringAsGiven) {
  const std::string text = "Provider = Microsoft.Jet.OLEDB.4.0 ; data source = :memory: ";
  auto cnn = SqliteConnection::Create(text);
  EXPECT_EQ(cnn->ConnectionString(), text);
  EXPECT_EQ(cnn->State(), 1);
  EXPECT_NE(cnn->Handle(), nullptr);
}

TEST(SqliteConnectionOpen, OpensAnExistingFile) {
  TempDatabaseFile file("CREATE TABLE T (A INTEGER); INSERT INTO T VALUES (5);");
  auto cnn = file.Connect();
  auto rs = cnn->NewRecordset();
  rs->Open("SELECT A FROM T", cnn);
  EXPECT_EQ(rs->FieldValue(0), "5");
}

TEST(SqliteConnectionOpen, MissingDataSourceIsAClearError) {
  EXPECT_TALVANE_ERROR(SqliteConnection::Create("Provider=SQLOLEDB.1"), db::kErrUnspecified, kSource,
                       "The connection string names no Data Source.");
  EXPECT_TALVANE_ERROR(SqliteConnection::Create("Provider=SQLOLEDB.1;Data Source= ;"), db::kErrUnspecified, kSource,
                       "The connection string names no Data Source.");
}

TEST(SqliteConnectionOpen, MissingFileFailsWithoutCreatingIt) {
  TempDatabaseFile dir;
  const auto missing = std::filesystem::path(dir.Directory()) / "missing.db";
  EXPECT_TALVANE_ERROR(SqliteConnection::Create("Data Source=" + missing.string()), db::kErrUnspecified, kSource,
                       "unable to open database file");
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(SqliteConnectionOpen, FileThatIsNotADatabaseFails) {
  TempDatabaseFile dir;
  const auto path = std::filesystem::path(dir.Directory()) / "notes.txt";
  std::ofstream(path) << "This is plain text, long enough to fill a database header and then some more text.\n";
  EXPECT_TALVANE_ERROR(SqliteConnection::Create("Data Source=" + path.string()), db::kErrUnspecified, kSource,
                       "file is not a database");
}

TEST(SqliteConnectionOpen, DirectoryFails) {
  TempDatabaseFile dir;
  const auto error = CaptureError([&] { SqliteConnection::Create("Data Source=" + dir.Directory()); });
  EXPECT_EQ(error.Number(), db::kErrUnspecified);
  EXPECT_EQ(error.Source(), kSource);
}

TEST(SqliteConnectionState, CloseAndReopen) {
  TempDatabaseFile file("CREATE TABLE T (A INTEGER);");
  auto cnn = file.Connect();
  cnn->Close();
  EXPECT_EQ(cnn->State(), 0);
  EXPECT_EQ(cnn->Handle(), nullptr);
  cnn->Open();
  EXPECT_EQ(cnn->State(), 1);
  auto tables = cnn->OpenSchema(db::kSchemaTables, {"", "", "T", "TABLE"});
  EXPECT_FALSE(tables->Eof());
}

TEST(SqliteConnectionState, ReopenedMemoryDatabaseStartsEmpty) {
  auto cnn = MakeDatabase("CREATE TABLE T (A INTEGER);");
  cnn->Close();
  cnn->Open();
  EXPECT_TRUE(cnn->OpenSchema(db::kSchemaTables, {})->Eof());
}

TEST(SqliteConnectionState, CloseTwiceAndOpenTwiceAreErrors) {
  auto cnn = MakeDatabase("");
  EXPECT_TALVANE_ERROR(cnn->Open(), db::kErrUnspecified, kSource, "Operation is not allowed when the object is open.");
  cnn->Close();
  EXPECT_TALVANE_ERROR(cnn->Close(), db::kErrObjectClosed, kSource, kClosedMessage);
}

TEST(SqliteConnectionState, ClosedConnectionRefusesWork) {
  auto cnn = MakeStandardDatabase();
  cnn->Close();
  EXPECT_TALVANE_ERROR(cnn->OpenSchema(db::kSchemaTables, {}), db::kErrObjectClosed, kSource, kClosedMessage);
  auto rs = cnn->NewRecordset();  // a recordset may be made while closed, not opened
  EXPECT_TALVANE_ERROR(rs->Open("SELECT * FROM Orders", cnn), db::kErrObjectClosed, kSource, kClosedMessage);
  EXPECT_EQ(rs->State(), 0);
  EXPECT_EQ(cnn->OpenRecordsets(), 0);
}

TEST(SqliteConnectionState, DeletedFileStillServesTheOpenConnectionButCannotReopen) {
  TempDatabaseFile file(StandardSchemaSql());
  auto cnn = file.Connect();
  std::filesystem::remove(file.Path());
  auto rs = cnn->NewRecordset();
  rs->Open("SELECT * FROM Orders ;", cnn);  // the open handle keeps the data
  EXPECT_EQ(rs->FieldType("Amount"), 6);
  rs->Close();
  cnn->Close();
  EXPECT_TALVANE_ERROR(cnn->Open(), db::kErrUnspecified, kSource, "unable to open database file");
  EXPECT_EQ(cnn->State(), 0);
}

TEST(SqliteConnectionState, UnknownSchemaKindIsRefused) {
  auto cnn = MakeDatabase("");
  EXPECT_TALVANE_ERROR(cnn->OpenSchema(27, {}), db::kErrUnspecified, kSource,
                       "Object or provider is not capable of performing requested operation.");
  EXPECT_EQ(cnn->OpenRecordsets(), 0);
}

}  // namespace
}  // namespace talvane::test
