#pragma once
// Real SQLite databases for tests, built from SQL text.
//
// StandardSchemaSql() builds this schema (every table has a few rows unless noted):
//
//   AllTypes        one column per declared type the backend maps, with the ADO code each one reports:
//                   ID INTEGER PRIMARY KEY (3),
//                   ColInt INTEGER (3), ColIntAbbrev INT (3), ColMediumint MEDIUMINT (3), ColBigint BIGINT (20),
//                   ColSmallint SMALLINT (2), ColTinyint TINYINT (17),
//                   ColReal REAL (5), ColFloat FLOAT (5), ColDouble DOUBLE (5), ColSingle SINGLE (4),
//                   ColMoney MONEY (6), ColSmallmoney SMALLMONEY (6), ColCurrency CURRENCY (6),
//                   ColDecimal DECIMAL(10,2) (131), ColNumeric NUMERIC(12,4) (131),
//                   ColDate DATE (133), ColDatetime DATETIME (135), ColDatetime2 DATETIME2 (135),
//                   ColSmalldatetime SMALLDATETIME (135), ColTimestamp TIMESTAMP (135), ColTime TIME (134),
//                   ColBit BIT (11), ColBool BOOL (11), ColBoolean BOOLEAN (11), ColYesno YESNO (11),
//                   ColChar CHAR(10) (129), ColNchar NCHAR(10) (130), ColVarchar VARCHAR(50) (200),
//                   ColNvarchar NVARCHAR(50) (202), ColText TEXT (202),
//                   ColMemo MEMO (203), ColNtext NTEXT (203), ColLongtext LONGTEXT (203),
//                   ColBlob BLOB (205), ColBinary BINARY(16) (205), ColVarbinary VARBINARY(100) (205),
//                   ColImage IMAGE (205), ColGuid GUID (72), ColUniqueidentifier UNIQUEIDENTIFIER (72),
//                   ColNone, declared without a type (12).
//                   Row 1 holds a value in every column, row 2 NULL everywhere but ID.
//   Customers       CustID INTEGER PRIMARY KEY, CustName TEXT, Balance MONEY, RegionID INTEGER, Since DATE,
//                   Active BIT                                          (4 rows, CustID 1..4)
//   Regions         RegionID INTEGER, RegionName TEXT, CustID INTEGER   (3 rows)
//   Orders          OrderID INTEGER PRIMARY KEY, CustID INTEGER, Amount MONEY, Status TEXT, OrderDate DATETIME,
//                   ShipTime TIME, Placed DATE, Qty INTEGER, Total MONEY (5 rows, OrderID 1..5)
//   Lines           LineID INTEGER, OrderID INTEGER, CustID INTEGER, Qty INTEGER, Price REAL   (6 rows)
//   [Order Lines]   [Line No] INTEGER, OrderID INTEGER, [Unit Price] MONEY, Qty INTEGER      (3 rows)
//   EmptyTable      ID INTEGER, Name TEXT                               (no rows)
//   Views (never found by the tables schema): ActiveCustomers (CustID, CustName, Balance of active customers),
//   OrderTotals (CustID, TotalAmount: SUM(Amount) per customer).
//
// Dates are stored as text 'YYYY-MM-DD', times as 'HH:MM', date-times as 'YYYY-MM-DD HH:MM:SS', bits as 0/1.
#include <memory>
#include <string>

#include "talvane/db/sqlite_connection.hpp"

namespace talvane::test {

inline constexpr const char* kSqlServerProvider = "SQLOLEDB.1";
inline constexpr const char* kAccessProvider = "Microsoft.Jet.OLEDB.4.0";

// The SQL text of the standard schema described above.
const std::string& StandardSchemaSql();

// An in-memory database built from `sql`; its connection string is "Provider=<provider>;Data Source=:memory:".
// Raises std::runtime_error with SQLite's message when the SQL fails.
std::shared_ptr<db::SqliteConnection> MakeDatabase(const std::string& sql,
                                                   const std::string& provider = kSqlServerProvider);
// MakeDatabase(StandardSchemaSql(), provider).
std::shared_ptr<db::SqliteConnection> MakeStandardDatabase(const std::string& provider = kSqlServerProvider);

// Runs SQL statements on an open connection; raises std::runtime_error with SQLite's message on failure.
void RunSql(db::SqliteConnection& connection, const std::string& sql);

// A database file in a fresh temporary directory, built from `sql`; the directory is removed when the object
// goes away. Close every connection to it first.
class TempDatabaseFile {
 public:
  explicit TempDatabaseFile(const std::string& sql = "", const std::string& provider = kSqlServerProvider);
  ~TempDatabaseFile();
  TempDatabaseFile(const TempDatabaseFile&) = delete;
  TempDatabaseFile& operator=(const TempDatabaseFile&) = delete;

  const std::string& Directory() const { return directory_; }
  const std::string& Path() const { return path_; }
  // "Provider=<provider>;Data Source=<path>".
  const std::string& ConnectionString() const { return connectionString_; }
  // A new connection to the file.
  std::shared_ptr<db::SqliteConnection> Connect() const;

 private:
  std::string directory_;
  std::string path_;
  std::string connectionString_;
};

}  // namespace talvane::test
