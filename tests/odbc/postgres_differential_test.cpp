// The PostgreSQL dialect against the SQLite one: the sample database (its thinned copy, as the check property
// uses it) is copied into the private PostgreSQL server of the OdbcPostgres fixture, and every example report
// and thousands of generated definitions that pass check on both databases must give the same rows on both:
// as multisets, and in the same order of their ORDER BY keys. SQLite's dialect is the oracle: it is proven
// against SQLite's own reading of the statements by the end-to-end and property tests.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>
#include <unistd.h>
#include <stdexcept>

#include "database_options.hpp"
#include "talvane/definition/definition_check.hpp"
#include "definition_generator.hpp"
#include "odbc_test_support.hpp"
#include "support/expect_error.hpp"
#include "talvane/db/odbc_connection.hpp"
#include "talvane/definition/definition_reader.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string ServerString(const std::string& database) {
  std::ifstream portFile(std::string(TALVANE_POSTGRES_CLUSTER) + "/port");
  std::string port;
  portFile >> port;
  return DriverString(TALVANE_POSTGRES_ODBC_DRIVER,
                      "Server=127.0.0.1;Port=" + port + ";Database=" + database + ";UID=talvane;BoolsAsChar=0");
}

void Execute(db::Connection& connection, const std::string& sql) {
  connection.NewRecordset()->Open(sql, connection.shared_from_this());
}

// The PostgreSQL type of a SQLite declared type, by the same base names the SQLite backend reads.
std::string ServerType(std::string declared) {
  declared = declared.substr(0, declared.find('('));
  for (char& c : declared) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (declared == "TINYINT" || declared == "SMALLINT") return "smallint";
  if (declared == "INT" || declared == "INTEGER" || declared == "MEDIUMINT") return "integer";
  if (declared == "BIGINT") return "bigint";
  if (declared == "SINGLE") return "real";
  if (declared == "REAL" || declared == "FLOAT" || declared == "DOUBLE") return "double precision";
  if (declared == "MONEY" || declared == "SMALLMONEY" || declared == "CURRENCY") return "numeric(19,4)";
  if (declared == "DECIMAL" || declared == "NUMERIC") return "numeric";
  if (declared == "DATE") return "date";
  if (declared == "DATETIME" || declared == "DATETIME2" || declared == "SMALLDATETIME" || declared == "TIMESTAMP") {
    return "timestamp";
  }
  if (declared == "TIME") return "time";
  if (declared == "BIT" || declared == "BOOL" || declared == "BOOLEAN" || declared == "YESNO") return "boolean";
  if (declared == "GUID" || declared == "UNIQUEIDENTIFIER") return "uuid";
  if (declared == "BLOB" || declared == "BINARY" || declared == "VARBINARY" || declared == "IMAGE") return "bytea";
  if (declared == "CHAR" || declared == "NCHAR" || declared == "VARCHAR" || declared == "NVARCHAR") return "varchar";
  return "text";
}

std::string Literal(sqlite3_stmt* row, int column) {
  switch (sqlite3_column_type(row, column)) {
    case SQLITE_NULL:
      return "NULL";
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(row, column));
      std::string hex = "'\\x";
      char pair[3];
      for (int i = 0; i < sqlite3_column_bytes(row, column); ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        hex += pair;
      }
      return hex + "'";
    }
    default: {
      std::string text = "'";
      for (const char c : std::string(reinterpret_cast<const char*>(sqlite3_column_text(row, column)))) {
        if (c == '\'') text += '\'';
        text += c;
      }
      return text + "'";
    }
  }
}

// The rows of a query on the SQLite file, each as its columns' texts (NULL as empty).
std::vector<std::vector<std::string>> SourceRows(sqlite3* source, const std::string& sql) {
  std::vector<std::vector<std::string>> result;
  sqlite3_stmt* rows = nullptr;
  sqlite3_prepare_v2(source, sql.c_str(), -1, &rows, nullptr);
  while (sqlite3_step(rows) == SQLITE_ROW) {
    std::vector<std::string>& row = result.emplace_back();
    for (int c = 0; c < sqlite3_column_count(rows); ++c) {
      const unsigned char* text = sqlite3_column_text(rows, c);
      row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
  }
  sqlite3_finalize(rows);
  return result;
}

// The table's primary key and foreign keys, as the file declares them, so that the server's catalogue offers
// the same paths of foreign keys. The foreign keys are not validated: the copy keeps the file's orphan rows.
void CopyKeys(sqlite3* source, const std::string& table, db::Connection& server) {
  std::string key;
  for (const auto& column : SourceRows(source, "SELECT name FROM pragma_table_info('" + table + "') WHERE pk > 0 ORDER BY pk")) {
    key += (key.empty() ? "\"" : ", \"") + column[0] + "\"";
  }
  if (!key.empty()) Execute(server, "ALTER TABLE \"" + table + "\" ADD PRIMARY KEY (" + key + ")");
  for (const auto& fk : SourceRows(source, "SELECT \"table\", \"from\", \"to\" FROM pragma_foreign_key_list('" + table + "')")) {
    Execute(server, "ALTER TABLE \"" + table + "\" ADD FOREIGN KEY (\"" + fk[1] + "\") REFERENCES \"" + fk[0] + "\"" +
                        (fk[2].empty() ? "" : " (\"" + fk[2] + "\")") + " NOT VALID");
  }
}

// Creates every table of the SQLite file on the server, names spelt as in the file, and copies its rows.
void CopyDatabase(const std::filesystem::path& file, db::Connection& server) {
  sqlite3* source = nullptr;
  ASSERT_EQ(sqlite3_open_v2(file.c_str(), &source, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  std::vector<std::string> tables;
  sqlite3_stmt* list = nullptr;
  sqlite3_prepare_v2(source, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid", -1, &list, nullptr);
  while (sqlite3_step(list) == SQLITE_ROW) tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
  sqlite3_finalize(list);
  for (const std::string& table : tables) {
    sqlite3_stmt* columns = nullptr;
    sqlite3_prepare_v2(source, ("SELECT name, type FROM pragma_table_info('" + table + "')").c_str(), -1, &columns,
                       nullptr);
    std::string create = "CREATE TABLE \"" + table + "\" (";
    for (int i = 0; sqlite3_step(columns) == SQLITE_ROW; ++i) {
      create += std::string(i ? ", " : "") + "\"" + reinterpret_cast<const char*>(sqlite3_column_text(columns, 0)) +
                "\" " + ServerType(reinterpret_cast<const char*>(sqlite3_column_text(columns, 1)));
    }
    sqlite3_finalize(columns);
    Execute(server, create + ")");
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(source, ("SELECT * FROM \"" + table + "\"").c_str(), -1, &rows, nullptr);
    std::string insert;
    while (sqlite3_step(rows) == SQLITE_ROW) {
      insert += insert.empty() ? "INSERT INTO \"" + table + "\" VALUES (" : ", (";
      for (int c = 0; c < sqlite3_column_count(rows); ++c) insert += (c ? ", " : "") + Literal(rows, c);
      insert += ")";
    }
    sqlite3_finalize(rows);
    if (!insert.empty()) Execute(server, insert);
  }
  for (const std::string& table : tables) CopyKeys(source, table, server);
  sqlite3_close(source);
}

// A value as both databases should agree on it: letter case aside (a uuid's digits), every number in it
// written alike (3.5000 and 3.50, 2 and 2.0), a time with its seconds, a blob as a mark.
std::string Comparable(const db::Recordset& rows, int32_t column) {
  if (rows.FieldIsNull(column)) return "<null>";
  const int32_t type = rows.FieldType(column);
  if (type == 128 || type == 204 || type == 205) return "<blob>";
  std::string text = rows.FieldValue(column);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const std::regex number(R"(-?\d+(\.\d+)?(e[-+]?\d+)?)");
  static const std::regex shortTime(R"(^(\d\d:\d\d)$)");
  text = std::regex_replace(text, shortTime, "$1:00");
  std::string out;
  auto from = text.cbegin();
  for (std::sregex_iterator it(text.begin(), text.end(), number), end; it != end; ++it) {
    out.append(from, text.cbegin() + it->position());
    char digits[40];
    std::snprintf(digits, sizeof digits, "%.9g", std::strtod(it->str().c_str(), nullptr));
    out += digits;
    from = text.cbegin() + it->position() + it->length();
  }
  return out.append(from, text.cend());
}

Rows ReadAll(const std::shared_ptr<db::Connection>& connection, const std::string& statement) {
  const auto rows = connection->NewRecordset();
  rows->Open(statement, connection);
  Rows read;
  for (; !rows->Eof(); rows->MoveNext()) {
    std::vector<std::string>& row = read.emplace_back();
    for (int32_t c = 0; c < rows->FieldCount(); ++c) row.push_back(Comparable(*rows, c));
  }
  return read;
}

std::string Shown(const Rows& rows) {
  std::string text;
  for (std::size_t i = 0; i < rows.size() && i < 8; ++i) {
    for (const std::string& value : rows[i]) text += value + " | ";
    text += "\n";
  }
  return text + std::to_string(rows.size()) + " rows";
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + separator.size();
  }
}

// The output columns the ORDER BY of the SQLite statement orders by, in its order; none when an entry is not an
// output column as written (then only the multisets are compared).
std::vector<std::size_t> OrderColumns(const std::string& statement) {
  const std::size_t orderBy = statement.find("ORDER BY ");
  const std::size_t from = statement.find(" \r\nFROM");
  if (orderBy == std::string::npos || from == std::string::npos) return {};
  const std::vector<std::string> selected = Split(statement.substr(7, from - 7), ", ");
  std::string entries = statement.substr(orderBy + 9);
  while (!entries.empty() && (entries.back() == '\n' || entries.back() == '\r')) entries.pop_back();
  std::vector<std::size_t> columns;
  for (std::string entry : Split(entries, ", ")) {
    entry = entry.substr(0, entry.find(" COLLATE NOCASE"));
    std::size_t column = 0;
    while (column < selected.size() && selected[column].substr(0, selected[column].find(" AS ")) != entry) ++column;
    if (column == selected.size()) return {};
    columns.push_back(column);
  }
  return columns;
}

Rows OrderKeys(const std::vector<std::size_t>& columns, const Rows& rows) {
  Rows keys;
  for (const auto& row : rows) {
    std::vector<std::string>& key = keys.emplace_back();
    for (const std::size_t column : columns) key.push_back(column < row.size() ? row[column] : "");
  }
  return keys;
}

// A copy of the sample database with a share of its rows, as the check property thins it: each join and set
// multiplies fewer rows.
class ThinnedSample {
 public:
  ThinnedSample() {
    path_ = std::filesystem::temp_directory_path() / ("talvane-pg-differential-" + std::to_string(getpid()) + ".db");
    std::filesystem::remove(path_);
    Execute(TALVANE_SAMPLE_DB, SQLITE_OPEN_READONLY, "VACUUM INTO '" + path_.string() + "'");
    Execute(path_, SQLITE_OPEN_READWRITE,
            "DELETE FROM OrderLines WHERE LineID % 5 <> 0; DELETE FROM Orders WHERE OrderID % 3 <> 0; "
            "DELETE FROM Customers WHERE CustomerID % 2 <> 0;");
  }
  ~ThinnedSample() { std::filesystem::remove(path_); }
  ThinnedSample(const ThinnedSample&) = delete;
  ThinnedSample& operator=(const ThinnedSample&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  static void Execute(const std::filesystem::path& database, int flags, const std::string& sql) {
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(database.c_str(), &handle, flags, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(handle);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot thin the sample database " + database.string());
  }
  std::filesystem::path path_;
};

bool SqlServerRefusesToo(const std::string& message) {
  return message.find("must appear in the GROUP BY clause") != std::string::npos ||
         message.find("SQLSTATE 22012") != std::string::npos ||
         (message.find("function sum(") != std::string::npos && message.find("does not exist") != std::string::npos);
}

// Differences the dialect leaves as they are (docs/formula-language.md): a blob column compared with a text,
// which SQLite orders after every text and PostgreSQL compares as its hexadecimal text; a uuid column compared
// with another column, which SQL Server refuses (the types are incompatible) and the two others compare
// each in its own way; a set named in another letter case than where it is defined, which SQL Server and
// SQLite match and PostgreSQL does not.
bool LeftAsItIs(const std::string& json, const std::string& detail) {
  static const std::regex blobComparison(R"((Photo|Checksum|Label|Scan)\]? *(=|<|>|IN|BETWEEN|LIKE))");
  static const std::regex uuidWithColumn(R"((AccountGuid|Sku)\]? *[=<>]+ *\[?[A-Za-z])");
  return std::regex_search(json, blobComparison) || std::regex_search(json, uuidWithColumn) ||
         detail.find("missing FROM-clause entry for table") != std::string::npos;
}

struct Outcome {
  // kAsSqlServer: PostgreSQL refuses what SQL Server refuses too and SQLite lets pass (a selected column
  // neither grouped nor aggregated, a division by zero).
  enum class Kind { kSkipped, kSame, kAsSqlServer, kDifferent } kind = Kind::kSkipped;
  std::string detail;
};

class PostgresDifferential : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto admin = db::OdbcConnection::Create(ServerString("talvane"));
    Execute(*admin, "DROP DATABASE IF EXISTS sample");
    Execute(*admin, "CREATE DATABASE sample");
    thinned_ = new ThinnedSample();
    sqlite_ = cli::OpenDatabase({"Data Source=" + thinned_->Path().string(), "sqlite"});
    sqliteAsSqlServer_ = cli::OpenDatabase({"Data Source=" + thinned_->Path().string(), "sqlserver"});
    postgres_ = db::OdbcConnection::Create("Provider=PostgreSQL;" + ServerString("sample"));
    CopyDatabase(thinned_->Path(), *postgres_);
    postgresAsSqlServer_ = db::OdbcConnection::Create(ServerString("sample"));
  }
  static void TearDownTestSuite() {
    sqlite_.reset();
    sqliteAsSqlServer_.reset();
    postgres_.reset();
    postgresAsSqlServer_.reset();
    delete thinned_;
  }

  // Both statements of a definition that passes check on both databases, run and compared.
  static Outcome Compare(const std::string& json) {
    const Definition definition = ParseDefinition(json, "generated");
    const CheckResult onSqlite = CheckDefinition(definition, sqliteAsSqlServer_, sqlite_);
    if (!onSqlite.failures.empty()) return {};
    const CheckResult onPostgres = CheckDefinition(definition, postgresAsSqlServer_, postgres_);
    if (!onPostgres.failures.empty() && SqlServerRefusesToo(onPostgres.failures[0].message)) {
      return {Outcome::Kind::kAsSqlServer, {}};
    }
    if (!onPostgres.failures.empty()) {
      return {Outcome::Kind::kDifferent, "PostgreSQL refuses what SQLite takes: " + onPostgres.failures[0].message +
                                             "\n" + onPostgres.failures[0].text};
    }
    Rows left;
    Rows right;
    try {
      left = ReadAll(sqlite_, *onSqlite.sqliteStatement);
    } catch (const Error&) {
      return {};  // a statement that fails while it runs on SQLite (too large a number) proves nothing
    }
    try {
      right = ReadAll(postgres_, *onPostgres.sqliteStatement);
    } catch (const Error& e) {
      if (SqlServerRefusesToo(e.Message())) return {Outcome::Kind::kAsSqlServer, {}};
      return {Outcome::Kind::kDifferent, "PostgreSQL failed while running: " + e.Message() + "\n" +
                                             *onPostgres.sqliteStatement};
    }
    const std::vector<std::size_t> ordered = OrderColumns(*onSqlite.sqliteStatement);
    const Rows leftKeys = OrderKeys(ordered, left);
    const Rows rightKeys = OrderKeys(ordered, right);
    std::sort(left.begin(), left.end());
    std::sort(right.begin(), right.end());
    if (left != right) {
      return {Outcome::Kind::kDifferent, "rows differ\nSQLite:\n" + Shown(left) + "\nPostgreSQL:\n" + Shown(right) +
                                             "\n" + *onPostgres.sqliteStatement};
    }
    if (leftKeys != rightKeys) {
      return {Outcome::Kind::kDifferent, "order differs\n" + *onPostgres.sqliteStatement};
    }
    return {Outcome::Kind::kSame, {}};
  }

  static ThinnedSample* thinned_;
  static std::shared_ptr<db::Connection> sqlite_;
  static std::shared_ptr<db::Connection> sqliteAsSqlServer_;
  static std::shared_ptr<db::Connection> postgres_;
  static std::shared_ptr<db::Connection> postgresAsSqlServer_;
};

ThinnedSample* PostgresDifferential::thinned_ = nullptr;
std::shared_ptr<db::Connection> PostgresDifferential::sqlite_;
std::shared_ptr<db::Connection> PostgresDifferential::sqliteAsSqlServer_;
std::shared_ptr<db::Connection> PostgresDifferential::postgres_;
std::shared_ptr<db::Connection> PostgresDifferential::postgresAsSqlServer_;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST_F(PostgresDifferential, ExampleReportsGiveTheSameRows) {
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(TALVANE_SOURCE_DIR) + "/examples/reports")) {
    const Outcome outcome = Compare(ReadFile(entry.path()));
    EXPECT_NE(outcome.kind, Outcome::Kind::kDifferent) << entry.path() << "\n" << outcome.detail;
    compared += outcome.kind == Outcome::Kind::kSame;
  }
  EXPECT_GE(compared, 3);
  // A count of a text column is typed as a text at level 1, yet compares as the number it is (3 < 10).
  const Outcome count = Compare(R"({"mainTable": "Regions", "mainField": "RegionID",
      "fields": [{"field": "Regions.RegionID"}], "formulas": [{"text": "COUNT(Customers.CustomerName) < 10"}]})");
  EXPECT_EQ(count.kind, Outcome::Kind::kSame) << count.detail;
}

TEST_F(PostgresDifferential, GeneratedDefinitionsGiveTheSameRows) {
  constexpr int kWanted = 2000;
  const auto start = std::chrono::steady_clock::now();
  cli::test::DefinitionGenerator generator(20240613);
  int generated = 0;
  int same = 0;
  int asSqlServer = 0;
  int leftAsItIs = 0;
  std::vector<std::string> differences;
  while (same + leftAsItIs + static_cast<int>(differences.size()) < kWanted && generated < 10 * kWanted) {
    const std::string json = generator.Next();
    ++generated;
    const Outcome outcome = Compare(json);
    if (outcome.kind == Outcome::Kind::kSame) ++same;
    if (outcome.kind == Outcome::Kind::kAsSqlServer) ++asSqlServer;
    if (outcome.kind == Outcome::Kind::kDifferent && LeftAsItIs(json, outcome.detail)) {
      ++leftAsItIs;
    } else if (outcome.kind == Outcome::Kind::kDifferent) {
      differences.push_back(json + "\n" + outcome.detail);
    }
  }
  std::printf("PostgreSQL differential: %d definitions generated, %d compared (%zu differed, %d in the known "
              "ways), %d refused by PostgreSQL as SQL Server refuses them, %.1f s\n",
              generated, same + leftAsItIs + static_cast<int>(differences.size()), differences.size(), leftAsItIs,
              asSqlServer,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  EXPECT_GE(same + leftAsItIs + static_cast<int>(differences.size()), kWanted);
  std::string first;
  for (std::size_t i = 0; i < differences.size() && i < 5; ++i) first += differences[i] + "\n\n";
  if (const char* all = std::getenv("TALVANE_DIFFERENCES")) {
    std::ofstream out(all);
    for (const std::string& difference : differences) out << difference << "\n=====\n";
  }
  EXPECT_TRUE(differences.empty()) << differences.size() << " differences; the first:\n" << first;
}

// The server compiles the statement of check: a text PostgreSQL cannot compile (here, a function it does not
// have) fails with the server's own message.
TEST_F(PostgresDifferential, CheckFailsWithTheServersMessage) {
  const Error refused = CaptureError([] { postgres_->Compile("SELECT ISNULL(\"Orders\".\"Amount\", 0) FROM \"Orders\""); });
  EXPECT_EQ(refused.Number(), db::kErrCommandText) << refused.Message();
  EXPECT_NE(refused.Message().find("isnull"), std::string::npos) << refused.Message();
  EXPECT_NO_THROW(postgres_->Compile("SELECT COALESCE(\"Orders\".\"Amount\", 0) FROM \"Orders\""));
}

}  // namespace
}  // namespace talvane::test
