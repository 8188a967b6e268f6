// The `talvane` command-line program: a dispatcher from command names to the commands.
#include <CLI/CLI.hpp>

#include <string>

#include "check_command.hpp"
#include "talvane/definition/definition_reader.hpp"
#include "exit_code.hpp"
#include "program_main.hpp"
#include "run_command.hpp"
#include "scan_command.hpp"
#include "schema_command.hpp"
#include "serve_command.hpp"
#include "sql_command.hpp"
#include "tokens_command.hpp"

namespace {

using namespace talvane;
using namespace talvane::cli;

struct Command {
  const char* name;
  const char* summary;
  bool readsDefinition;
  void (*configure)(CLI::App& command, int& exitCode);
  // The command's own exit codes, when they are not the program's.
  const char* const* exitCodes = nullptr;
};

// Each command adds its arguments to its own subcommand and reports its exit code when it runs.
constexpr Command kCommands[] = {
    {"sql", "Print the SQL statement the report object builds from a definition file", true,
     &ConfigureSqlCommand},
    {"check",
     "Assign every formula and field of a definition and show each failure, with a caret under the item where "
     "it failed; then compile the statement in the SQLite dialect (never running it) and show SQLite's refusal; "
     "then show the library's warnings (--strict: they fail too)",
     true, &ConfigureCheckCommand},
    {"run",
     "Build the statement of a definition in the SQLite dialect, run it on the database (opened read-only) and "
     "print its rows as a table, CSV or JSON; the row count goes to standard error",
     true, &ConfigureRunCommand},
    {"scan",
     "Run many report definitions (files, and folders of *.json files) on the database and show, per report, "
     "its status (clean, exceptions or error), rows, the exceptions new and cleared since the previous scan "
     "(--history) and the time it took, as a text table, JSON, JUnit XML or an HTML page",
     true, &ConfigureScanCommand, &kScanExitCodesHelp},
    {"schema", "List the tables and columns of a database with the data type a formula takes each column as",
     false, &ConfigureSchemaCommand},
    {"serve",
     "Serve the rule editor: a page that checks a definition against the database as it is typed, shows its "
     "statement in each dialect and runs it",
     true, &ConfigureServeCommand},
    {"tokens", "Show how a formula text is cut into items: position, kind and canonical text of each",
     false, &ConfigureTokensCommand},
};

constexpr const char* kExitCodesHelp =
    "Exit codes: 0 done; 1 a formula, a field or the statement failed (with check --strict, also when anything "
    "warned); 2 the command line, the definition file or the database could not be used.";

std::string HelpFooter() {
  return "\n" + DefinitionKeysHelp() + "\n" + kExitCodesHelp + "\n" + kScanExitCodesHelp +
         "\nExample: talvane sql examples/reports/large_orders.json --connection \"Data "
         "Source=build/examples/sample.db\"";
}

// A command's own help names the definition format once, by reference, instead of repeating it.
std::string CommandHelpFooter(const Command& command) {
  const std::string definition = command.readsDefinition ? "The definition file format: talvane --help.\n" : "";
  return "\n" + definition + (command.exitCodes ? *command.exitCodes : kExitCodesHelp);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"talvane: turns the rules of an exception report into one SQL statement"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("talvane ") + TALVANE_VERSION, "Print the version and exit");
  int exitCode = kExitOk;
  for (const Command& command : kCommands) {
    CLI::App& subcommand = *app.add_subcommand(command.name, command.summary);
    subcommand.footer(CommandHelpFooter(command));
    command.configure(subcommand, exitCode);
  }
  // Set after the commands are added, so that they do not inherit it.
  app.footer(HelpFooter());
  return RunCommandLine(app, "talvane", argc, argv, exitCode);
}
