#include "database_options.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <string_view>

#include "display_text.hpp"
#include "input_error.hpp"
#include "talvane/db/sqlite_connection.hpp"
#ifdef TALVANE_HAVE_ODBC
#include "talvane/db/odbc_connection.hpp"
#endif
#include "talvane/foundation/ascii_text.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::cli {

namespace {

// The providers the library recognises, one for each dialect.
constexpr const char* kAccessProvider = "Microsoft.Jet.OLEDB.4.0";
constexpr const char* kSqlServerProvider = "SQLOLEDB.1";
constexpr const char* kSqliteProvider = "SQLite";

const char* ProviderOf(const std::string& dialect) {
  if (dialect == "access") return kAccessProvider;
  if (dialect == "sqlite") return kSqliteProvider;
  return kSqlServerProvider;
}

std::string LowerKey(std::string_view piece) {
  piece = piece.substr(0, piece.find('='));
  std::string key;
  for (char c : piece) {
    if (!IsBlank(c)) key += LowerChar(c);
  }
  return key;
}

// A string with a Driver or DSN key names an ODBC data source; any other (Data Source=...) a SQLite file.
bool NamesOdbcSource(std::string_view connectionString) {
  std::size_t start = 0;
  while (start <= connectionString.size()) {
    const std::size_t end = std::min(connectionString.find(';', start), connectionString.size());
    const std::string_view piece = connectionString.substr(start, end - start);
    if (piece.find('=') != std::string_view::npos) {
      const std::string key = LowerKey(piece);
      if (key == "driver" || key == "dsn") return true;
    }
    start = end + 1;
  }
  return false;
}

std::shared_ptr<db::Connection> OpenBackend(const std::string& connectionString) {
  if (!NamesOdbcSource(connectionString)) return db::SqliteConnection::Create(connectionString);
#ifdef TALVANE_HAVE_ODBC
  return db::OdbcConnection::Create(connectionString);
#else
  Raise(db::kErrUnspecified, "talvane", "this build has no ODBC backend (Driver= and DSN= need unixODBC)");
#endif
}

}  // namespace

void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options, bool withDialect) {
  command
      .add_option("-c,--connection", options.connection,
                  "ADO-style connection string of a SQLite database, e.g. \"Data Source=build/examples/sample.db\", or an "
                  "ODBC one (a Driver or DSN key), e.g. \"Driver=PostgreSQL Unicode;Server=...;Database=...\"; "
                  "its Provider chooses the dialect (Microsoft.Jet.OLEDB.4.0: Access, SQLite: SQLite, anything else: "
                  "SQL Server); the database is opened read-only")
      ->required();
  if (withDialect) {
    command
        .add_option("-d,--dialect", options.dialect,
                    "access, sqlserver or sqlite: writes the provider of that dialect into the connection string")
        ->check(CLI::IsMember({"access", "sqlserver", "sqlite"}, CLI::ignore_case));
  }
}

std::string EffectiveConnectionString(const DatabaseOptions& options) {
  if (options.dialect.empty()) return options.connection;
  std::string dialect = options.dialect;  // the option takes any letter case
  for (char& c : dialect) c = LowerChar(c);
  return std::string("Provider=") + ProviderOf(dialect) + ";" + options.connection;
}

std::shared_ptr<db::Connection> OpenDatabase(const DatabaseOptions& options) {
  try {
    return OpenBackend("Mode=Read;" + EffectiveConnectionString(options));
  } catch (const Error& e) {
    throw InputError("cannot open the database of the connection string " + Quoted(options.connection) + ": " +
                     Printable(e.Message()));
  }
}

}  // namespace talvane::cli
