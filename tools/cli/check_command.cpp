#include "check_command.hpp"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <vector>

#include "definition.hpp"
#include "display_text.hpp"
#include "exit_code.hpp"
#include "failure_printer.hpp"
#include "report_builder.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"

namespace talvane::cli {

namespace {

std::string Counted(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

Failure StatementFailure(const std::string& statement, const Error& e) {
  Failure failure;
  failure.subject = Failure::Subject::kStatement;
  failure.text = StatementOnOneLine(statement);
  failure.errorNumber = e.Number();
  failure.source = e.Source();
  failure.message = e.Message();
  return failure;
}

// The definition's statement in the SQLite dialect, compiled (never run) on the database: what the library
// lets pass but SQLite refuses (a join on a key column the joined table lacks, a main table that does not
// exist, an empty select list) fails here.
std::vector<Failure> CompileFailures(const Definition& definition, const DatabaseOptions& database) {
  const std::shared_ptr<db::Connection> connection = OpenDatabase({database.connection, "sqlite"});
  const BuiltReport built = BuildReport(definition, connection);
  if (!built.statement) return built.failures;
  try {
    connection->Compile(*built.statement);
  } catch (const Error& e) {
    return {StatementFailure(*built.statement, e)};
  }
  return {};
}

}  // namespace

int RunCheck(const CheckOptions& options, std::ostream& out) {
  const Definition definition = LoadDefinition(options.definition);
  const std::shared_ptr<db::Connection> connection = OpenDatabase(options.database);
  BuiltReport built = BuildReport(definition, connection);
  if (built.failures.empty()) built.failures = CompileFailures(definition, options.database);
  const std::string contents = Counted(definition.formulas.size(), "formula", "formulas") + ", " +
                               Counted(definition.fields.size(), "field", "fields");
  if (!built.failures.empty()) {
    PrintFailures(built.failures, out);
    out << '\n';
    out << definition.source << ": " << Counted(built.failures.size(), "failure", "failures") << " (" << contents
        << ")\n";
    return kExitFailed;
  }
  out << definition.source << ": no failures (" << contents << "); the statement builds\n";
  return kExitOk;
}

void ConfigureCheckCommand(CLI::App& command, int& exitCode) {
  auto options = std::make_shared<CheckOptions>();
  command.add_option("definition", options->definition, "The definition file (JSON), or - for standard input")
      ->required();
  AddDatabaseOptions(command, options->database, true);
  command.callback([options, &exitCode] { exitCode = RunCheck(*options, std::cout); });
}

}  // namespace talvane::cli
