#include "support/sqlite_fixture.hpp"

#include <sqlite3.h>
#include <stdlib.h>  // mkdtemp

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace talvane::test {

namespace {

constexpr const char* kStandardSchema = R"sql(
CREATE TABLE AllTypes (
  ID INTEGER PRIMARY KEY,
  ColInt INTEGER, ColIntAbbrev INT, ColMediumint MEDIUMINT, ColBigint BIGINT, ColSmallint SMALLINT,
  ColTinyint TINYINT,
  ColReal REAL, ColFloat FLOAT, ColDouble DOUBLE, ColSingle SINGLE,
  ColMoney MONEY, ColSmallmoney SMALLMONEY, ColCurrency CURRENCY, ColDecimal DECIMAL(10,2),
  ColNumeric NUMERIC(12,4),
  ColDate DATE, ColDatetime DATETIME, ColDatetime2 DATETIME2, ColSmalldatetime SMALLDATETIME,
  ColTimestamp TIMESTAMP, ColTime TIME,
  ColBit BIT, ColBool BOOL, ColBoolean BOOLEAN, ColYesno YESNO,
  ColChar CHAR(10), ColNchar NCHAR(10), ColVarchar VARCHAR(50), ColNvarchar NVARCHAR(50), ColText TEXT,
  ColMemo MEMO, ColNtext NTEXT, ColLongtext LONGTEXT,
  ColBlob BLOB, ColBinary BINARY(16), ColVarbinary VARBINARY(100), ColImage IMAGE,
  ColGuid GUID, ColUniqueidentifier UNIQUEIDENTIFIER,
  ColNone
);
INSERT INTO AllTypes VALUES (1,
  42, 7, 8, 9000000000, 12, 3,
  1.5, 2.25, 3.125, 0.5,
  19.99, 5.5, 7.25, 1234.56, 12.3456,
  '2001-02-03', '2001-02-03 04:05:06', '2001-02-03 04:05:06', '2001-02-03 04:05:00', '2001-02-03 04:05:06', '04:05',
  1, 0, 1, 0,
  'abc', 'def', 'varchar', 'nvarchar', 'text',
  'memo', 'ntext', 'longtext',
  X'00FF', X'0102', X'0304', X'0506',
  '6F9619FF-8B86-D011-B42D-00C04FC964FF', '6F9619FF-8B86-D011-B42D-00C04FC964FF',
  'none');
INSERT INTO AllTypes (ID) VALUES (2);

CREATE TABLE Customers (CustID INTEGER PRIMARY KEY, CustName TEXT, Balance MONEY, RegionID INTEGER, Since DATE,
                        Active BIT);
INSERT INTO Customers VALUES
  (1, 'Alfreds', 150.50, 1, '1999-05-01', 1),
  (2, 'Bottom-Dollar', 0, 2, '2003-11-20', 1),
  (3, 'Chop-suey', -20.25, 1, '2010-01-15', 0),
  (4, 'Du monde entier', 1000, 3, '2015-07-04', 1);

CREATE TABLE Regions (RegionID INTEGER, RegionName TEXT, CustID INTEGER);
INSERT INTO Regions VALUES (1, 'North', 1), (2, 'South', 2), (3, 'West', 4);

CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, CustID INTEGER, Amount MONEY, Status TEXT, OrderDate DATETIME,
                     ShipTime TIME, Placed DATE, Qty INTEGER, Total MONEY);
INSERT INTO Orders VALUES
  (1, 1, 100, 'Open', '2020-01-10 09:30:00', '10:00', '2020-01-10', 2, 200),
  (2, 1, 250.75, 'Shipped', '2020-02-11 14:00:00', '15:30', '2020-02-11', 1, 250.75),
  (3, 2, 99.99, 'Open', '2020-03-12 08:15:00', '09:00', '2020-03-12', 5, 499.95),
  (4, 3, 0, 'Cancelled', '2020-04-13 17:45:00', NULL, '2020-04-13', 0, 0),
  (5, 4, 1200, 'Shipped', '2020-05-14 11:00:00', '12:00', '2020-05-14', 3, 3600);

CREATE TABLE Lines (LineID INTEGER, OrderID INTEGER, CustID INTEGER, Qty INTEGER, Price REAL);
INSERT INTO Lines VALUES
  (1, 1, 1, 1, 50), (2, 1, 1, 1, 150), (3, 2, 1, 1, 250.75),
  (4, 3, 2, 5, 99.99), (5, 5, 4, 2, 500), (6, 5, 4, 1, 200);

CREATE TABLE [Order Lines] ([Line No] INTEGER, OrderID INTEGER, [Unit Price] MONEY, Qty INTEGER);
INSERT INTO [Order Lines] VALUES (1, 1, 50, 1), (2, 1, 150, 1), (1, 2, 250.75, 1);

CREATE TABLE EmptyTable (ID INTEGER, Name TEXT);

CREATE VIEW ActiveCustomers AS SELECT CustID, CustName, Balance FROM Customers WHERE Active = 1;
CREATE VIEW OrderTotals AS SELECT CustID, SUM(Amount) AS TotalAmount FROM Orders GROUP BY CustID;
)sql";

void Exec(sqlite3* handle, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message != nullptr ? message : "unknown SQLite error";
    sqlite3_free(message);
    throw std::runtime_error("test database SQL failed: " + text);
  }
}

std::string MakeTempDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "talvane-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("cannot create a temporary directory");
  return std::string(buffer.data());
}

// Creates the file (the backend itself never creates one) and fills it.
void BuildFile(const std::string& path, const std::string& sql) {
  sqlite3* handle = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(handle);
    throw std::runtime_error("cannot create test database " + path);
  }
  try {
    // An empty database file would have no header yet; the schema table read makes SQLite write one.
    Exec(handle, "PRAGMA synchronous = OFF; PRAGMA user_version = 1;" + sql);
  } catch (...) {
    sqlite3_close_v2(handle);
    throw;
  }
  sqlite3_close_v2(handle);
}

}  // namespace

const std::string& StandardSchemaSql() {
  static const std::string sql = kStandardSchema;
  return sql;
}

std::shared_ptr<db::SqliteConnection> MakeDatabase(const std::string& sql, const std::string& provider) {
  auto connection = db::SqliteConnection::Create("Provider=" + provider + ";Data Source=:memory:");
  RunSql(*connection, sql);
  return connection;
}

std::shared_ptr<db::SqliteConnection> MakeStandardDatabase(const std::string& provider) {
  return MakeDatabase(StandardSchemaSql(), provider);
}

void RunSql(db::SqliteConnection& connection, const std::string& sql) {
  if (connection.Handle() == nullptr) throw std::runtime_error("RunSql: the connection is closed");
  Exec(connection.Handle(), sql);
}

TempDatabaseFile::TempDatabaseFile(const std::string& sql, const std::string& provider)
    : directory_(MakeTempDirectory()),
      path_((std::filesystem::path(directory_) / "test.db").string()),
      connectionString_("Provider=" + provider + ";Data Source=" + path_) {
  try {
    BuildFile(path_, sql);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
    throw;
  }
}

TempDatabaseFile::~TempDatabaseFile() {
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

std::shared_ptr<db::SqliteConnection> TempDatabaseFile::Connect() const {
  return db::SqliteConnection::Create(connectionString_);
}

}  // namespace talvane::test
