#include "database_options.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <optional>
#include <string_view>

#include "display_text.hpp"
#include "input_error.hpp"
#include "talvane/db/sqlite_connection.hpp"
#ifdef TALVANE_HAVE_ODBC
#include "talvane/db/odbc_connection.hpp"
#endif
#include "talvane/foundation/clean_text.hpp"
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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string LowerKey(std::string_view piece) {
  piece = piece.substr(0, piece.find('='));
  std::string key;
  for (char c : piece) {
    if (!IsBlank(c)) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

// The value of the first piece whose key, lower-cased and without blanks, is `key`; nullopt without one.
std::optional<std::string_view> PieceValue(std::string_view connectionString, std::string_view key) {
  std::size_t start = 0;
  while (start <= connectionString.size()) {
    const std::size_t end = std::min(connectionString.find(';', start), connectionString.size());
    const std::string_view piece = connectionString.substr(start, end - start);
    const std::size_t equals = piece.find('=');
    if (equals != std::string_view::npos && LowerKey(piece) == key) return piece.substr(equals + 1);
    start = end + 1;
  }
  return std::nullopt;
}

// A string with a Driver or DSN key names an ODBC data source; any other (Data Source=...) a SQLite file.
bool NamesOdbcSource(std::string_view connectionString) {
  return PieceValue(connectionString, "driver") || PieceValue(connectionString, "dsn");
}

bool IsKnownProvider(std::string_view provider) {
  while (!provider.empty() && IsBlank(provider.front())) provider.remove_prefix(1);
  while (!provider.empty() && IsBlank(provider.back())) provider.remove_suffix(1);
  const std::string upper = UpperAscii(provider);
  for (const char* known : {kAccessProvider, kSqlServerProvider, kSqliteProvider}) {
    if (upper == UpperAscii(known)) return true;
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
      ->required()
      ->each(WarnAboutConnectionString);
  if (withDialect) {
    command
        .add_option("-d,--dialect", options.dialect,
                    "access, sqlserver or sqlite: writes the provider of that dialect into the connection string")
        ->check(CLI::IsMember({"access", "sqlserver", "sqlite"}, CLI::ignore_case));
  }
}

void WarnAboutConnectionString(const std::string& connection) {
  std::ostream& err = std::cerr;
  const std::optional<std::string_view> provider = PieceValue(connection, "provider");
  if (provider && !IsKnownProvider(*provider)) {
    err << "talvane: warning: the provider " << Quoted(*provider) << " is none of " << kAccessProvider << ", "
        << kSqlServerProvider << " and " << kSqliteProvider << ", so it stands for SQL Server\n";
  }
  if (NamesOdbcSource(connection)) return;  // the driver takes the other keys
  for (const std::string& key : db::SqliteConnection::UnusedKeys(connection)) {
    err << "talvane: warning: the connection string's key " << Quoted(key)
        << " is ignored (a SQLite database reads Data Source, Provider, Mode and Timeout)\n";
  }
}

std::string EffectiveConnectionString(const DatabaseOptions& options) {
  if (options.dialect.empty()) return options.connection;
  std::string dialect = options.dialect;  // the option takes any letter case
  for (char& c : dialect) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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
