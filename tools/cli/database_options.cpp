#include "database_options.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <optional>
#include <string_view>

#include "display_text.hpp"
#include "input_error.hpp"
#include "talvane/db/sqlite_connection.hpp"
#ifdef TALVANE_HAVE_ODBC
#include "talvane/db/odbc_connection.hpp"
#endif
#include "talvane/foundation/ascii_text.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/dialects.hpp"

namespace talvane::cli {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string LowerKey(std::string_view piece) {
  piece = piece.substr(0, piece.find('='));
  std::string key;
  for (char c : piece) {
    if (!IsBlank(c)) key += LowerChar(c);
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
  return DialectOfProvider(provider).has_value();
}

// The providers that choose a dialect, as the warning lists them: "A, B, C and D".
std::string KnownProviders() {
  const std::vector<DATABASETYPEENU> dialects = EveryDialect();
  std::string list;
  for (std::size_t i = 0; i < dialects.size(); ++i) {
    if (i > 0) list += i + 1 == dialects.size() ? " and " : ", ";
    list += ProviderOfDialect(dialects[i]);
  }
  return list;
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
                  "its Provider chooses the dialect (Microsoft.Jet.OLEDB.4.0: Access, SQLite: SQLite, PostgreSQL: "
                  "PostgreSQL, anything else: SQL Server); the database is opened read-only")
      ->required()
      ->each(WarnAboutConnectionString);
  if (withDialect) {
    command
        .add_option("-d,--dialect", options.dialect,
                    "access, sqlserver, sqlite or postgresql: writes the provider of that dialect into the connection "
                    "string")
        ->check(CLI::IsMember(DialectOptions(), CLI::ignore_case));
  }
}

std::vector<std::string> DialectOptions() {
  std::vector<std::string> options;
  for (const DATABASETYPEENU dialect : EveryDialect()) options.emplace_back(OptionOfDialect(dialect));
  return options;
}

void WarnAboutConnectionString(const std::string& connection) {
  std::ostream& err = std::cerr;
  const std::optional<std::string_view> provider = PieceValue(connection, "provider");
  if (provider && !IsKnownProvider(*provider)) {
    err << "talvane: warning: the provider " << Quoted(*provider) << " is none of " << KnownProviders()
        << ", so it stands for SQL Server\n";
  }
  if (NamesOdbcSource(connection)) return;  // the driver takes the other keys
  for (const std::string& key : db::SqliteConnection::UnusedKeys(connection)) {
    err << "talvane: warning: the connection string's key " << Quoted(key)
        << " is ignored (a SQLite database reads Data Source, Provider, Mode and Timeout)\n";
  }
}

std::string EffectiveConnectionString(const DatabaseOptions& options) {
  if (options.dialect.empty()) return options.connection;
  const DATABASETYPEENU dialect = DialectOfOption(options.dialect).value_or(kSQLServer);
  return "Provider=" + std::string(ProviderOfDialect(dialect)) + ";" + options.connection;
}

std::shared_ptr<db::Connection> OpenDatabase(const DatabaseOptions& options) {
  try {
    return OpenBackend("Mode=Read;" + EffectiveConnectionString(options));
  } catch (const Error& e) {
    throw InputError("cannot open the database of the connection string " + Quoted(options.connection) + ": " +
                     Printable(e.Message()));
  }
}

std::string DatabaseDialect(const DatabaseOptions& options) {
  const std::shared_ptr<db::Connection> connection = OpenDatabase({options.connection, ""});
  try {
    return std::string(OptionOfDialect(DialectOfDatabase(*connection)));
  } catch (const Error& e) {
    throw InputError(Printable(e.Message()));
  }
}

std::shared_ptr<db::Connection> OpenForRunning(const DatabaseOptions& options) {
  return OpenDatabase({options.connection, options.dialect.empty() ? DatabaseDialect(options) : options.dialect});
}

}  // namespace talvane::cli
