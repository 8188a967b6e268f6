#pragma once
// The options that name the database of a command (--connection, --dialect) and opening it.
#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace talvane::db {
class Connection;
}

namespace talvane::cli {

struct DatabaseOptions {
  std::string connection;
  // Empty, "access", "sqlserver", "sqlite" or "postgresql".
  std::string dialect;
};

// Writes a warning line to standard error for a provider the library does not know and, in a SQLite connection string,
// for each key the SQLite backend does not read: both are used as given, but are most often typing mistakes.
void WarnAboutConnectionString(const std::string& connection);

// Adds --connection (required, warned about as above) and, when `withDialect`, --dialect to a command.
void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options, bool withDialect);

// The --dialect values: one per dialect, as the command line names it.
std::vector<std::string> DialectOptions();

// The connection string handed to the library: the user's string, with the provider of the chosen dialect
// written in front of it. The library and the database both take the first occurrence of a key, so the
// written provider wins over one the string already names.
std::string EffectiveConnectionString(const DatabaseOptions& options);

// Opens the database read-only ("Mode=Read" is written in front of the connection string); raises InputError
// with one line when it cannot be opened. Never creates a file and never changes it.
std::shared_ptr<db::Connection> OpenDatabase(const DatabaseOptions& options);

// The dialect option of the database at the other end, by the product it names (SQLite for a SQLite file, the
// driver's SQL_DBMS_NAME over ODBC); raises InputError with one line naming the product when talvane has no
// dialect for it.
std::string DatabaseDialect(const DatabaseOptions& options);

// The database opened for running statements: with the provider of --dialect when given, else of the
// database's own dialect (DatabaseDialect).
std::shared_ptr<db::Connection> OpenForRunning(const DatabaseOptions& options);

}  // namespace talvane::cli
