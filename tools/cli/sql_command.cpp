#include "sql_command.hpp"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

#include "talvane/definition/definition_reader.hpp"
#include "exit_code.hpp"
#include "failure_printer.hpp"
#include "talvane/definition/report_builder.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/report/exception.hpp"

namespace talvane::cli {

namespace {

// The library ends lines with "\r\n"; a terminal, a pipe or a diff on this side wants "\n".
std::string WithUnixLineBreaks(const std::string& statement) {
  std::string text;
  text.reserve(statement.size());
  std::size_t from = 0;
  for (std::size_t crlf = statement.find("\r\n"); crlf != std::string::npos; crlf = statement.find("\r\n", from)) {
    text.append(statement, from, crlf - from);
    from = crlf + 1;  // the line feed stays
  }
  text.append(statement, from);
  return text;
}

}  // namespace

int RunSql(const SqlOptions& options, std::ostream& out, std::ostream& err) {
  const Definition definition = LoadDefinition(options.definition);
  const std::shared_ptr<db::Connection> connection = OpenDatabase(options.database);
  const BuiltReport built = BuildReport(definition, connection);
  if (!built.statement) {
    PrintNoStatement(built.failures, definition.source, err);
    return kExitFailed;
  }
  out << (options.crlf ? *built.statement : WithUnixLineBreaks(*built.statement));
  out.flush();
  return kExitOk;
}

void ConfigureSqlCommand(CLI::App& command, int& exitCode) {
  auto options = std::make_shared<SqlOptions>();
  command.add_option("definition", options->definition, "The definition file (JSON), or - for standard input")
      ->required();
  AddDatabaseOptions(command, options->database, true);
  command.add_flag("--crlf", options->crlf, "End lines with \\r\\n, exactly as the library writes them (default: \\n)");
  command.callback([options, &exitCode] { exitCode = RunSql(*options, std::cout, std::cerr); });
}

}  // namespace talvane::cli
