#include "check_command.hpp"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/definition_check.hpp"
#include "exit_code.hpp"
#include "failure_printer.hpp"
#include "talvane/db/connection.hpp"

namespace talvane::cli {

namespace {

constexpr const char* kCheckNotes =
    "\nFailures come first, then warnings: what the library accepts but what probably does not mean what it "
    "says (a literal on the left of a comparison, BETWEEN bounds the wrong way round, AND and OR mixed, a set "
    "that begins with OR, ...). Warnings are shown for every formula and field that did not fail, even when "
    "something else did; they change the exit code only with --strict.\n"
    "A field reference must name a column of a table or of a set of this definition. The whole definition is "
    "applied before references are checked, so a set whose formulas come later in the file is known: a "
    "reference that names neither is a failure, not a warning (its statement could not run).\n";

std::string Counted(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "2 failures", "no failures, 1 warning", ...
std::string Findings(const CheckResult& result) {
  std::string text = result.failures.empty() ? "no failures" : Counted(result.failures.size(), "failure", "failures");
  if (!result.warnings.empty()) text += ", " + Counted(result.warnings.size(), "warning", "warnings");
  return text;
}

void PrintResult(const CheckResult& result, std::ostream& out) {
  PrintFailures(result.failures, out);
  if (!result.failures.empty() && !result.warnings.empty()) out << '\n';
  PrintWarnings(result.warnings, out);
  if (!result.failures.empty() || !result.warnings.empty()) out << '\n';
}

}  // namespace

int RunCheck(const CheckOptions& options, std::ostream& out) {
  const Definition definition = LoadDefinition(options.definition);
  const std::shared_ptr<db::Connection> connection = OpenDatabase(options.database);
  const std::shared_ptr<db::Connection> sqliteConnection = OpenDatabase({options.database.connection, "sqlite"});
  const CheckResult result = CheckDefinition(definition, connection, sqliteConnection);
  PrintResult(result, out);
  out << definition.source << ": " << Findings(result) << " ("
      << Counted(definition.formulas.size(), "formula", "formulas") << ", "
      << Counted(definition.fields.size(), "field", "fields") << ")";
  if (!result.failures.empty()) {
    out << '\n';
    return kExitFailed;
  }
  out << "; the statement builds";
  const bool warningsFail = options.strict && !result.warnings.empty();
  out << (warningsFail ? ", but --strict fails on warnings\n" : "\n");
  return warningsFail ? kExitFailed : kExitOk;
}

void ConfigureCheckCommand(CLI::App& command, int& exitCode) {
  auto options = std::make_shared<CheckOptions>();
  command.add_option("definition", options->definition, "The definition file (JSON), or - for standard input")
      ->required();
  AddDatabaseOptions(command, options->database, true);
  command.add_flag("--strict", options->strict, "Exit with 1 when anything warns, as when anything fails");
  command.footer(kCheckNotes + command.get_footer());
  command.callback([options, &exitCode] { exitCode = RunCheck(*options, std::cout); });
}

}  // namespace talvane::cli
