#include "check_property.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "talvane/definition/definition_check.hpp"
#include "talvane/definition/definition_writer.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/report_rows.hpp"

namespace talvane::fuzz {

void RequireWhatCheckPassesRuns(Exception& report, const std::shared_ptr<db::Connection>& sqlite) {
  CheckResult result;
  try {
    result = CheckDefinition(DefinitionOf(report), sqlite, sqlite);
  } catch (const Error&) {
    return;  // a state that cannot be read back (a formula without a connection, ...) is no definition
  }
  if (!result.failures.empty()) return;
  if (!result.sqliteStatement) {
    std::fprintf(stderr, "check passed without a SQLite statement\n");
    std::abort();
  }
  try {
    ReportRows rows(sqlite, *result.sqliteStatement);
    while (rows.Next()) {
    }
  } catch (const Error& e) {
    std::fprintf(stderr, "check passed a statement that does not run: %s\n----\n%s\n----\n", e.Message().c_str(),
                 result.sqliteStatement->c_str());
    std::abort();
  }
}

}  // namespace talvane::fuzz
