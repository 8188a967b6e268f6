#pragma once
// `talvane check DEFINITION --connection "..." [--dialect access|sqlserver|sqlite]`: assigns every formula
// and field of a definition and shows each failure with a caret under the item where it failed; when none
// fails, compiles the statement in the SQLite dialect on the database, without running it, and shows
// SQLite's refusal as a failure of the statement.
#include <iosfwd>
#include <string>

#include "database_options.hpp"

namespace CLI {
class App;
}

namespace talvane::cli {

struct CheckOptions {
  std::string definition;  // a file, or "-" for standard input
  DatabaseOptions database;
};

void ConfigureCheckCommand(CLI::App& command, int& exitCode);

// Prints the failures, or that there are none, to `out`; returns 1 when anything failed. Input that cannot
// be used raises InputError.
int RunCheck(const CheckOptions& options, std::ostream& out);

}  // namespace talvane::cli
