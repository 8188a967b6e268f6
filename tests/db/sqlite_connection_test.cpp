// The SQLite connection: connection strings, opening and closing, and the errors of sources that cannot open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/sqlite/connection_string.hpp"
#include "support/counting_connection.hpp"
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

TEST(SqliteConnectionAlias, SharesTheOpenDatabaseAndClosesWithIt) {
  auto owner = MakeDatabase("CREATE TABLE T (A INTEGER); INSERT INTO T VALUES (5);");
  std::shared_ptr<SqliteConnection> alias = owner->Alias("Provider=SQLite;Data Source=:memory:");
  EXPECT_EQ(alias->ConnectionString(), "Provider=SQLite;Data Source=:memory:");
  auto rs = alias->NewRecordset();
  rs->Open("SELECT A FROM T", alias);  // the owner's in-memory tables, not a fresh database
  EXPECT_EQ(rs->FieldValue(0), "5");
  rs->Close();
  alias.reset();  // dropping the alias leaves the owner open
  EXPECT_EQ(owner->State(), 1);

  alias = owner->Alias("Provider=SQLite;Data Source=:memory:");
  alias->Close();  // as does closing it
  EXPECT_EQ(owner->State(), 1);
  alias = owner->Alias("Provider=SQLite;Data Source=:memory:");
  owner->Close();
  EXPECT_EQ(alias->State(), 0);
  EXPECT_TALVANE_ERROR(alias->OpenSchema(db::kSchemaTables, {}), db::kErrObjectClosed, kSource, kClosedMessage);
  EXPECT_TALVANE_ERROR(alias->Compile("SELECT 1"), db::kErrObjectClosed, kSource, kClosedMessage);
  owner->Open();  // a reopened owner does not reopen its old aliases
  EXPECT_EQ(alias->State(), 0);
}

// Mode=Read opens the file read-only: what writes fails, whatever the recordset's lock allows.
TEST(SqliteConnectionReadOnly, ModeReadRefusesWritesInAnyLetterCase) {
  struct ModeCase {
    const char* mode;
    bool readOnly;
  };
  TempDatabaseFile file("CREATE TABLE T (A INTEGER); INSERT INTO T VALUES (5);");
  for (const ModeCase& c : {ModeCase{"Mode=Read;", true}, ModeCase{"mode = READ ;", true},
                            ModeCase{"Mode=ReadWrite;", false}, ModeCase{"", false}}) {
    auto cnn = SqliteConnection::Create(c.mode + file.ConnectionString());
    auto rs = cnn->NewRecordset();
    rs->Open("SELECT A FROM T", cnn);
    EXPECT_EQ(rs->FieldValue(0), "5") << c.mode;
    rs->Close();
    const auto write = [&] { rs->Open("INSERT INTO T VALUES (6)", cnn, -1, 3); };
    if (c.readOnly) {
      EXPECT_TALVANE_ERROR(write(), db::kErrUnspecified, kSource, "attempt to write a readonly database");
    } else {
      EXPECT_NO_THROW(write()) << c.mode;
    }
  }
}

struct CompileCase {
  const char* name;
  std::string sql;
  int32_t number;  // 0 when it compiles
  const char* message;
};

TEST(SqliteConnectionCompile, CompilesWithoutRunningAndReportsWhatSqliteRefuses) {
  const CompileCase cases[] = {
      {"select", "SELECT CustName FROM Customers", 0, ""},
      {"writeNeverRuns", "DELETE FROM Customers", 0, ""},
      {"missingTable", "SELECT * FROM Nope", db::kErrNoSuchTable, "no such table: Nope"},
      {"missingColumn", "SELECT Customers.Nope FROM Customers", db::kErrCommandText, "no such column: Customers.Nope"},
      {"emptySelectList", "SELECT  FROM Customers", db::kErrCommandText, "near \"FROM\": syntax error"},
      {"secondStatement", "SELECT 1; DELETE FROM Customers", db::kErrCommandText,
       "Only one statement can be run at a time."},
      {"nul", std::string("SELECT 1\0", 9), db::kErrCommandText, "The command text holds a NUL character."},
  };
  auto cnn = MakeStandardDatabase();
  for (const CompileCase& c : cases) {
    if (c.number == 0) {
      EXPECT_TRUE(cnn->Compile(c.sql)) << c.name;
    } else {
      EXPECT_TALVANE_ERROR(cnn->Compile(c.sql), c.number, kSource, c.message);
    }
  }
  auto rs = cnn->NewRecordset();
  rs->Open("SELECT count(*) FROM Customers", cnn);
  EXPECT_EQ(rs->FieldValue(0), "4") << "nothing compiled was run";
  rs->Close();
  EXPECT_EQ(cnn->OpenRecordsets(), 0);

  EXPECT_FALSE(CountingConnection::Create(cnn)->Compile("SELECT 1")) << "a backend that cannot compile says so";
  cnn->Close();
  EXPECT_TALVANE_ERROR(cnn->Compile("SELECT 1"), db::kErrObjectClosed, kSource, kClosedMessage);
}

}  // namespace
}  // namespace talvane::test
