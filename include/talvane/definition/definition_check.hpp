#pragma once
// What checking a definition finds, before anything is printed: the failures of applying it to a report (the
// library's and the checks' own), the compile step of its statement in the SQLite dialect, and the library's
// warnings. `talvane check`, the editor's server and the Python package's Report.check() share it.
#include <memory>
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

struct CheckResult {
  std::vector<CheckFailure> failures;
  std::vector<CheckWarning> warnings;
  // The statement in the dialect of the connection, when the definition applied without failures.
  std::optional<std::string> statement;
  // The statement in the SQLite dialect, when nothing failed (it compiled on the database).
  std::optional<std::string> sqliteStatement;
};

// Applies the definition on `connection` and, when nothing fails, builds it again on `sqliteConnection` (the
// same database with the SQLite provider; it may be `connection` itself) and compiles that statement without
// running it. A report without output fields fails with a message of its own instead of being compiled.
// Warnings are collected whether or not anything failed, for the formulas and fields that did not fail.
CheckResult CheckDefinition(const Definition& definition, const std::shared_ptr<db::Connection>& connection,
                            const std::shared_ptr<db::Connection>& sqliteConnection);

// The failure of a report without output fields, whose statement (`SELECT  FROM ...`) selects nothing and
// cannot run; none when the definition has fields.
std::optional<CheckFailure> NoOutputFieldsFailure(const Definition& definition, const std::string& statement);

}  // namespace talvane
