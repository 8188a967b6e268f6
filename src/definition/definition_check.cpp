#include "talvane/definition/definition_check.hpp"

#include <utility>

#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/printable_text.hpp"
#include "talvane/definition/report_builder.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/dialects.hpp"
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

// The statement of a definition that applied without failures, in the database's own dialect, compiled
// (never run) on the database: what the library lets pass but the database refuses (a join on a key column
// the joined table lacks, a main table that does not exist) fails here. The report built is rendered again on
// the connection whose provider gives that dialect, and handed back its own connection afterwards: nothing is
// parsed or probed a second time.
void CompileOnDatabase(const BuiltReport& built, const CompileConnection& openForCompile, CheckResult& result) {
  std::shared_ptr<db::Connection> database;
  try {
    database = openForCompile();
  } catch (const Error&) {
    throw;
  } catch (const std::runtime_error& e) {  // a database of no dialect of ours
    result.failures.push_back(StatementFailure(*built.statement, e.what()));
    return;
  }
  Exception& report = *built.report;
  std::string statement;
  if (DialectOfProduct(database->DatabaseProduct()) == report.DatabaseType()) {
    statement = *built.statement;
  } else {
    try {
      statement = StatementOn(report, database);
    } catch (const Error& e) {
      result.failures.push_back(CompileFailure("", e));
      return;
    }
  }
  try {
    database->Compile(statement);
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
                            const CompileConnection& openForCompile) {
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
  CompileOnDatabase(built, openForCompile, result);
  return result;
}

CheckResult CheckDefinition(const Definition& definition, const std::shared_ptr<db::Connection>& connection,
                            const std::shared_ptr<db::Connection>& compileConnection) {
  return CheckDefinition(definition, connection, [&compileConnection] { return compileConnection; });
}

}  // namespace talvane
