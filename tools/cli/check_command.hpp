#pragma once
// `talvane check DEFINITION --connection "..." [--dialect access|sqlserver|sqlite] [--strict]`: assigns every
// formula and field of a definition and shows each failure with a caret under the item where it failed; when
// none fails, compiles the statement in the SQLite dialect on the database, without running it, and shows
// SQLite's refusal as a failure of the statement. Then shows the library's warnings.
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
  // Warnings fail the check too.
  bool strict = false;
};

void ConfigureCheckCommand(CLI::App& command, int& exitCode);

// Prints the failures, then the warnings, then a summary line to `out`; returns 1 when anything failed, or
// when `strict` and anything warned. Input that cannot be used raises InputError.
int RunCheck(const CheckOptions& options, std::ostream& out);

}  // namespace talvane::cli
