#include "talvane/definition/definition_check.hpp"

#include <utility>

#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/printable_text.hpp"
#include "talvane/definition/report_builder.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/statement_on.hpp"

namespace talvane {

namespace {

constexpr const char* kNoOutputFields =
    "the report has no output fields: its statement selects nothing and cannot run (add at least one field)";

CheckFailure StatementFailure(const std::string& statement, std::string message) {
  CheckFailure failure;
  failure.subject = CheckFailure::Subject::kStatement;
  failure.text = StatementOnOneLine(statement);
  failure.message = std::move(message);
  return failure;
}

CheckFailure CompileFailure(const std::string& statement, const Error& e) {
  CheckFailure failure = StatementFailure(statement, e.Message());
  failure.errorNumber = e.Number();
  failure.source = e.Source();
  return failure;
}

// The statement of a definition that applied without failures, in the SQLite dialect, compiled (never run)
// on the database: what the library lets pass but SQLite refuses (a join on a key column the joined table
// lacks, a main table that does not exist) fails here. The report built is rendered again on the SQLite
// connection, whose provider gives the dialect, and handed back its own connection afterwards: nothing is
// parsed or probed a second time.
void CompileInSqlite(const BuiltReport& built, const std::shared_ptr<db::Connection>& sqliteConnection,
                     CheckResult& result) {
  Exception& report = *built.report;
  std::string statement;
  if (report.DatabaseType() == kSQLite) {
    statement = *built.statement;
  } else {
    try {
      statement = StatementOn(report, sqliteConnection);
    } catch (const Error& e) {
      result.failures.push_back(CompileFailure("", e));
      return;
    }
  }
  try {
    sqliteConnection->Compile(statement);
  } catch (const Error& e) {
    result.failures.push_back(CompileFailure(statement, e));
    return;
  }
  result.sqliteStatement = std::move(statement);
}

}  // namespace

std::optional<CheckFailure> NoOutputFieldsFailure(const Definition& definition, const std::string& statement) {
  if (!definition.fields.empty()) return std::nullopt;
  return StatementFailure(statement, kNoOutputFields);
}

CheckResult CheckDefinition(const Definition& definition, const std::shared_ptr<db::Connection>& connection,
                            const std::shared_ptr<db::Connection>& sqliteConnection) {
  const BuiltReport built = BuildReport(definition, connection);
  CheckResult result;
  result.warnings = CollectWarnings(definition, built);
  result.failures = built.failures;
  result.statement = built.statement;
  if (!result.failures.empty()) return result;
  if (std::optional<CheckFailure> noFields = NoOutputFieldsFailure(definition, *built.statement)) {
    result.failures.push_back(std::move(*noFields));
    return result;
  }
  CompileInSqlite(built, sqliteConnection, result);
  return result;
}

}  // namespace talvane
