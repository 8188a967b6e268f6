#pragma once
// What `talvane check` finds in a definition, before anything is printed: the failures of applying it to a
// report (the library's and the program's own), the compile step of its statement in the SQLite dialect, and
// the library's warnings. The command prints the result; the property test and the report fuzz target use it
// in-process.
#include <memory>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "check_warnings.hpp"
#include "failure.hpp"
#include "talvane/definition/definition.hpp"

namespace talvane::db {
class Connection;
}

namespace talvane::cli {


struct CheckResult {
  std::vector<Failure> failures;
  std::vector<CheckWarning> warnings;
  // The statement in the dialect of the connection, when the definition applied without failures.
  std::optional<std::string> statement;
  // The statement in the database's own dialect, when nothing failed (it compiled on the database). The name
  // is the editor's, from when every database was a SQLite file.
  std::optional<std::string> sqliteStatement;
};

// Opens the same database with the provider of its own dialect (OpenForRunning); raises InputError when
// there is none.
using CompileConnection = std::function<std::shared_ptr<db::Connection>()>;

// Applies the definition on `connection` and, when nothing fails, builds it again on the connection
// `openForCompile` gives (the database in its own dialect) and has the database compile that statement
// without running it; a database of no dialect is a failure of the statement. A report without output
// fields fails with a message of its own instead of being compiled. Warnings are collected whether or not
// anything failed, for the formulas and fields that did not fail.
CheckResult CheckDefinition(const Definition& definition, const std::shared_ptr<db::Connection>& connection,
                            const CompileConnection& openForCompile);
// The same, compiled on a connection already open in the dialect it is to be compiled in.
CheckResult CheckDefinition(const Definition& definition, const std::shared_ptr<db::Connection>& connection,
                            const std::shared_ptr<db::Connection>& compileConnection);

// The failure of a report without output fields, whose statement (`SELECT  FROM ...`) selects nothing and
// cannot run; none when the definition has fields.
std::optional<Failure> NoOutputFieldsFailure(const Definition& definition, const std::string& statement);

}  // namespace talvane::cli
