#pragma once
// What checking a definition finds, before anything is printed: the failures of applying it to a report (the
// library's and the checks' own), the compile step of its statement in the SQLite dialect, and the library's
// warnings. `talvane check`, the editor's server and the Python package's Report.check() share it.
#include <memory>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "talvane/definition/check_warnings.hpp"
#include "talvane/definition/check_failure.hpp"
#include "talvane/definition/definition.hpp"

namespace talvane::db {
class Connection;
}

namespace talvane {

/// What checking a definition found.
struct CheckResult {
  /// Every failure, in the order of the definition.
  std::vector<CheckFailure> failures;
  /// The warnings of the formulas and fields that did not fail.
  std::vector<CheckWarning> warnings;
  /// The statement in the dialect of the connection, when the definition applied without failures.
  std::optional<std::string> statement;
  /// The statement in the database's own dialect, when nothing failed (it compiled on the database). The name
  /// is the editor's, from when every database was a SQLite file.
  std::optional<std::string> sqliteStatement;
};

// Opens the same database with the provider of its own dialect. A talvane::Error it raises is passed on;
// any other std::runtime_error (the database has no dialect of ours) is the statement's failure.
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
std::optional<CheckFailure> NoOutputFieldsFailure(const Definition& definition, const std::string& statement);

}  // namespace talvane
