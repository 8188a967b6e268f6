#include "serve_options.hpp"

#include <CLI/CLI.hpp>

#include "whole_number_check.hpp"

namespace talvane::cli {

namespace {

constexpr const char* kServeNotes =
    "\nThe page lists the tables and columns of the database, checks each formula as it is typed (the failing "
    "item underlined, with the error's number and message, and the library's warnings), shows the statement "
    "in the SQL Server, Access or SQLite dialect, and runs it in the SQLite dialect (at most 1000 rows). "
    "Definitions are opened from and saved to files by the browser; the server reads no file but the one of "
    "--definition. The database is opened read-only for every request. Stop the server with Ctrl-C.\n";

}  // namespace

void AddServeOptions(CLI::App& command, ServeOptions& options) {
  command
      .add_option("-c,--connection", options.connection,
                  "ADO-style connection string of a SQLite database, e.g. \"Data Source=build/examples/sample.db\"")
      ->required();
  command
      .add_option("-p,--port", options.port, "The port to listen on (default 8400); 0 lets the system choose one")
      ->check(WholeNumberCheck(0, 65535));
  command.add_option("-b,--bind", options.bind, "The address to listen on (default 127.0.0.1)");
  command.add_option("--definition", options.definition, "A definition file (JSON) the page starts with");
  command.footer(kServeNotes + command.get_footer());
}

std::vector<std::string> ServeArguments(const ServeOptions& options) {
  // One argument per option, so that a value that begins with a dash is not taken for an option.
  std::vector<std::string> arguments{"--connection=" + options.connection, "--port=" + std::to_string(options.port),
                                     "--bind=" + options.bind};
  if (!options.definition.empty()) arguments.push_back("--definition=" + options.definition);
  return arguments;
}

}  // namespace talvane::cli
