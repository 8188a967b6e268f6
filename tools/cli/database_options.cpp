#include "database_options.hpp"

#include <CLI/CLI.hpp>

#include <cctype>

#include "display_text.hpp"
#include "input_error.hpp"
#include "talvane/db/sqlite_connection.hpp"
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

}  // namespace

void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options, bool withDialect) {
  command
      .add_option("-c,--connection", options.connection,
                  "ADO-style connection string of a SQLite database, e.g. \"Data Source=build/examples/sample.db\"; "
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
  for (char& c : dialect) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return std::string("Provider=") + ProviderOf(dialect) + ";" + options.connection;
}

std::shared_ptr<db::Connection> OpenDatabase(const DatabaseOptions& options) {
  try {
    return db::SqliteConnection::Create("Mode=Read;" + EffectiveConnectionString(options));
  } catch (const Error& e) {
    throw InputError("cannot open the database of the connection string " + Quoted(options.connection) + ": " +
                     Printable(e.Message()));
  }
}

}  // namespace talvane::cli
