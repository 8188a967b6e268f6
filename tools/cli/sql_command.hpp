#pragma once
// `talvane sql DEFINITION --connection "..." [--dialect access|sqlserver] [--crlf]`: prints the statement
// the report object builds from a definition file.
#include <iosfwd>
#include <string>

#include "database_options.hpp"

namespace CLI {
class App;
}

namespace talvane::cli {

struct SqlOptions {
  std::string definition;  // a file, or "-" for standard input
  DatabaseOptions database;
  bool crlf = false;
};

void ConfigureSqlCommand(CLI::App& command, int& exitCode);

// Prints the statement to `out`; when the definition fails, prints the failures to `err` and returns 1.
// Input that cannot be used raises InputError.
int RunSql(const SqlOptions& options, std::ostream& out, std::ostream& err);

}  // namespace talvane::cli
