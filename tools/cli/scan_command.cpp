#include "scan_command.hpp"

#include <CLI/CLI.hpp>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>

#include "database_options.hpp"
#include "input_error.hpp"
#include "scan_html_format.hpp"
#include "scan_json_format.hpp"
#include "scan_junit_format.hpp"
#include "scan_text_format.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/scan/scanner.hpp"

namespace talvane::cli {

const char* const kScanExitCodesHelp =
    "Exit codes of scan: 0 every report is clean; 1 some report has exceptions and none failed; 2 some report "
    "failed (its definition could not be read or applied, or its statement failed), or the command line or the "
    "history file could not be used.";

namespace {

constexpr const char* kPathsHelp =
    "Definition files (JSON) and folders; a folder stands for every *.json file in it and its subfolders. The "
    "reports run and are shown in path order";
constexpr const char* kFormatHelp =
    "text (default): a table of report, status, rows, new, cleared and time, each failed report's error, and a "
    "line of totals.\n"
    "json: {\"reports\": [...], \"totals\": {...}}; each report has path, description, status, rows, new, "
    "cleared (null without --history), keys, sample, seconds, statement, trend and error (null or number, "
    "source, description, item, position).\n"
    "junit: JUnit XML, one testcase per report; exceptions are a failure, a failed report an error.\n"
    "html: one self-contained page with a bar chart of the exceptions per report and, with --history, a trend "
    "line of each";
constexpr const char* kHistoryHelp =
    "A SQLite file (created when missing) that keeps each scan: per report its status, row count and the "
    "identities of its exceptions (the main field's value, or the whole row). Each report then shows the "
    "exceptions new since its previous scan and those cleared. Tables: scans(scan, finished), reports(scan, "
    "path, status, rows), exceptions(scan, path, identity)";
constexpr const char* kScanNotes =
    "\nEach report is read, applied to a report object on the database (opened read-only), checked, and its "
    "statement run in the dialect of the database it reaches; a report that fails is shown with its first error and the scan goes "
    "on. While the scan runs, a progress line goes to standard error when that is a terminal.\n";

std::string Formatted(const std::string& format, const ScanSummary& summary) {
  if (format == "json") return ScanJson(summary);
  if (format == "junit") return ScanJunit(summary);
  if (format == "html") return ScanHtml(summary);
  return ScanText(summary);
}

void Write(const std::string& output, const std::string& text) {
  if (output.empty()) {
    std::cout << text << std::flush;
    return;
  }
  std::ofstream file(output, std::ios::binary);
  file << text;
  file.close();
  if (!file) throw InputError("cannot write the output file \"" + output + "\"");
}

// "[3/10] 1.2 s" over itself on a terminal.
std::function<void(std::size_t, std::size_t)> ProgressLine(std::chrono::steady_clock::time_point start) {
  if (!isatty(STDERR_FILENO)) return nullptr;
  return [start](std::size_t done, std::size_t total) {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "\r[%zu/%zu] %.1f s", done, total, elapsed);
    if (done == total) std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
  };
}

}  // namespace

int RunScan(const ScanCommandOptions& options) {
  const auto start = std::chrono::steady_clock::now();
  ScanOptions scan;
  scan.connection = options.connection;
  scan.history = options.history;
  scan.jobs = options.jobs;
  scan.sample = options.sample;
  scan.open = [](const std::string& connectionString) { return OpenDatabase({connectionString, ""}); };
  scan.progress = ProgressLine(start);
  std::vector<ScanResult> results;
  try {
    results = Scan(options.paths, scan);
  } catch (const Error& e) {
    throw InputError("cannot use the history file \"" + options.history + "\": " + e.Message());
  }
  const ScanSummary summary{results, !options.history.empty(),
                            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
  Write(options.output, Formatted(options.format, summary));
  return summary.ExitCode();
}

void ConfigureScanCommand(CLI::App& command, int& exitCode) {
  auto options = std::make_shared<ScanCommandOptions>();
  command.add_option("paths", options->paths, kPathsHelp)->required();
  command.add_option("-c,--connection", options->connection,
                     "ADO-style connection string of the database, e.g. \"Data Source=build/examples/sample.db\"")
      ->required();
  command.add_option("-f,--format", options->format, kFormatHelp)
      ->transform(CLI::IsMember({"text", "json", "junit", "html"}, CLI::ignore_case));
  command.add_option("-o,--output", options->output, "Write the output to this file instead of standard output");
  command.add_option("--history", options->history, kHistoryHelp);
  command.add_option("-j,--jobs", options->jobs, "Reports run at once, each on a connection of its own (default 1)")
      ->check(CLI::Range(1, 64));
  command.add_option("--sample", options->sample, "Rows kept of each report to show (default 20)")
      ->check(CLI::Range(0, 1000000));
  command.footer(kScanNotes + command.get_footer());
  command.callback([options, &exitCode] { exitCode = RunScan(*options); });
}

}  // namespace talvane::cli
