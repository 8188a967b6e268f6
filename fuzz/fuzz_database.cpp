#include "fuzz_database.hpp"

#include <sqlite3.h>

#include <cstdlib>
#include <string>

namespace talvane::fuzz {

namespace {

// Every column type family the library maps (numbers, money, dates, times, booleans, texts, blobs, none),
// a table whose names need brackets, and a table without rows.
constexpr const char* kSchema = R"sql(
CREATE TABLE Customers (CustID INTEGER PRIMARY KEY, CustName TEXT, Balance MONEY, RegionID INTEGER, Since DATE,
                        Active BIT);
INSERT INTO Customers VALUES (1, 'Alfreds', 150.5, 1, '1999-05-01', 1), (2, 'O''Brien', 0, 2, '2003-11-20', 0);
CREATE TABLE Regions (RegionID INTEGER, RegionName TEXT, CustID INTEGER);
INSERT INTO Regions VALUES (1, 'North', 1);
CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, CustID INTEGER, Amount MONEY, Status TEXT, OrderDate DATETIME,
                     ShipTime TIME, Placed DATE, Qty INTEGER, Total MONEY);
INSERT INTO Orders VALUES (1, 1, 100, 'Open', '2020-01-10 09:30:00', '10:00', '2020-01-10', 2, 200);
CREATE TABLE Lines (LineID INTEGER, OrderID INTEGER, CustID INTEGER, Qty INTEGER, Price REAL);
INSERT INTO Lines VALUES (1, 1, 1, 1, 50);
CREATE TABLE [Order Lines] ([Line No] INTEGER, OrderID INTEGER, [Unit Price] MONEY, Qty INTEGER, CustID INTEGER);
CREATE TABLE Misc (CustID INTEGER, Flag BOOLEAN, Note NVARCHAR(50), Memo MEMO, Stamp TIMESTAMP, Code GUID,
                   Data BLOB, Big BIGINT, Ratio DECIMAL(10,2), Anything);
CREATE VIEW OpenOrders AS SELECT * FROM Orders WHERE Status = 'Open';
)sql";

std::shared_ptr<db::SqliteConnection> Build(const char* provider) {
  auto connection = db::SqliteConnection::Create(std::string("Provider=") + provider + ";Data Source=:memory:");
  char* message = nullptr;
  if (sqlite3_exec(connection->Handle(), kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
    sqlite3_free(message);
    std::abort();  // the fixed schema itself is broken: nothing can be fuzzed
  }
  return connection;
}

}  // namespace

const std::shared_ptr<db::SqliteConnection>& SqlServerDatabase() {
  static const auto connection = Build("SQLOLEDB.1");
  return connection;
}

const std::shared_ptr<db::SqliteConnection>& AccessDatabase() {
  static const auto connection = Build("Microsoft.Jet.OLEDB.4.0");
  return connection;
}

const std::shared_ptr<db::SqliteConnection>& SqliteDatabase() {
  static const auto connection = Build("SQLite");
  return connection;
}

}  // namespace talvane::fuzz
