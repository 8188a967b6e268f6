#include "run_command.hpp"

#include <CLI/CLI.hpp>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>

#include "database_options.hpp"
#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/definition_check.hpp"
#include "display_text.hpp"
#include "exit_code.hpp"
#include "failure_printer.hpp"
#include "output_sink.hpp"
#include "talvane/definition/report_builder.hpp"
#include "row_writer.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/foundation/ascii_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/report_rows.hpp"
#include "value_text.hpp"
#include "whole_number_check.hpp"

namespace talvane::cli {

namespace {

constexpr const char* kConnectionHelp =
    "ADO-style connection string of a SQLite database, e.g. \"Data Source=build/examples/sample.db\", or an "
    "ODBC one (a Driver or DSN key). The statement is built in the dialect of the database it reaches (SQLite, "
    "or what the ODBC driver names: PostgreSQL, Microsoft SQL Server, ACCESS) whatever Provider the string "
    "names, and the database is opened read-only";
constexpr const char* kDialectHelp =
    "access, sqlserver, sqlite or postgresql: builds the statement in that dialect instead of the database's own "
    "(needed for a database talvane knows no dialect of)";
constexpr const char* kFormatHelp =
    "table, csv or json; the default is table when standard output is a terminal, csv otherwise.\n"
    "table: a header line, a line of dashes, then one line per row, columns separated by two blanks and aligned "
    "to the widest of the header and the first 1000 rows (held until then; a longer value further down pushes "
    "the rest of its line right); NULL is an empty cell, numbers are aligned right, control characters in text "
    "are escaped.\n"
    "csv: RFC 4180, a header row, records ended by \\r\\n; NULL is an empty field, empty text \"\".\n"
    "json: an array of objects, one per row and line, keyed by column name; numbers as numbers, NULL as null.\n"
    "Every format shows a blob as hexadecimal digits, two per byte";

constexpr const char* kRunNotes =
    "\nThe rows are printed as they are read, and their count (\"12 rows\") goes to standard error. A reader "
    "that stops early (talvane run ... | head) ends the run quietly, with exit code 0. A statement the database "
    "refuses, or that fails part-way, gives one line on standard error with the database's message and the "
    "statement, and exit code 1.\n";

bool LimitReached(const RunOptions& options, const ReportRows& rows) {
  return options.limit >= 0 && rows.RowCount() >= options.limit;
}

// Prints the rows until they end, the limit is reached or the reader goes away.
void PrintRows(const RunOptions& options, ReportRows& rows, OutputSink& out) {
  const std::unique_ptr<RowWriter> writer = MakeRowWriter(options.format, out);
  writer->Begin(rows);
  while (!out.Closed() && !LimitReached(options, rows) && rows.Next()) writer->Row(rows);
  writer->End();
  out.Flush();
}

void PrintStatementFailure(const Error& e, const std::string& statement, std::ostream& err) {
  err << "talvane: the statement failed: error " << ErrorNumberText(e.Number()) << " (" << Printable(e.Source())
      << "): " << MessageLines(e.Message(), "  ") << "; statement: " << StatementOnOneLine(statement) << '\n';
}

std::string DefaultFormat() { return isatty(STDOUT_FILENO) ? "table" : "csv"; }

std::string Lowercase(std::string text) {
  for (char& c : text) c = LowerChar(c);
  return text;
}

}  // namespace

int RunRows(const RunOptions& options, OutputSink& out, std::ostream& err) {
  const Definition definition = LoadDefinition(options.definition);
  const std::shared_ptr<db::Connection> connection = OpenForRunning({options.connection, options.dialect});
  const BuiltReport built = BuildReport(definition, connection);
  if (!built.statement) {
    PrintNoStatement(built.failures, definition.source, err);
    return kExitFailed;
  }
  if (const std::optional<CheckFailure> noFields = NoOutputFieldsFailure(definition, *built.statement)) {
    PrintNoStatement({*noFields}, definition.source, err);
    return kExitFailed;
  }
  std::unique_ptr<ReportRows> rows;
  try {
    rows = std::make_unique<ReportRows>(connection, *built.statement);
    PrintRows(options, *rows, out);
  } catch (const Error& e) {
    out.Flush();
    PrintStatementFailure(e, *built.statement, err);
    return kExitFailed;
  }
  if (!out.Closed()) err << RowCountText(rows->RowCount()) << '\n';
  return kExitOk;
}

void ConfigureRunCommand(CLI::App& command, int& exitCode) {
  auto options = std::make_shared<RunOptions>();
  command.add_option("definition", options->definition, "The definition file (JSON), or - for standard input")
      ->required();
  command.add_option("-c,--connection", options->connection, kConnectionHelp)
      ->required()
      ->each(WarnAboutConnectionString);
  command.add_option("-d,--dialect", options->dialect, kDialectHelp)
      ->check(CLI::IsMember(DialectOptions(), CLI::ignore_case));
  command.add_option("-f,--format", options->format, kFormatHelp)
      ->check(CLI::IsMember({"table", "csv", "json"}, CLI::ignore_case));
  command.add_option("-n,--limit", options->limit, "Print at most N rows (default: every row)")
      ->check(WholeNumberCheck(0, std::numeric_limits<int64_t>::max()));
  command.footer(kRunNotes + command.get_footer());
  command.callback([options, &exitCode] {
    options->format = options->format.empty() ? DefaultFormat() : Lowercase(options->format);
    options->dialect = Lowercase(options->dialect);
    // A reader that goes away shows as a failed write (EPIPE), which ends the run quietly.
    std::signal(SIGPIPE, SIG_IGN);
    OutputSink out(STDOUT_FILENO);
    exitCode = RunRows(*options, out, std::cerr);
  });
}

}  // namespace talvane::cli
