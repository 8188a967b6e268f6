#pragma once
// `talvane run DEFINITION --connection "..." [--dialect ...] [--format table|csv|json] [--limit N]`: builds the
// report's statement in the dialect of the database at the other end (or of --dialect), runs it on the
// database opened read-only, and prints its rows as they are read. The rows come from the library (talvane::ReportRows); this command only formats them.
#include <cstdint>
#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace talvane::cli {

class OutputSink;

struct RunOptions {
  std::string definition;  // a file, or "-" for standard input
  std::string connection;
  std::string dialect;  // empty: the database's own
  std::string format;  // "table", "csv" or "json"
  int64_t limit = -1;  // the most rows printed; -1 for all
};

void ConfigureRunCommand(CLI::App& command, int& exitCode);

// Prints the rows to `out` and their count ("12 rows") to `err`. When the definition fails, prints its
// failures to `err` and returns 1; when the statement fails to compile or to run, prints one line with the
// database's message and the statement to `err` and returns 1. A reader that goes away early ends the
// run quietly (0). Input that cannot be used raises InputError.
int RunRows(const RunOptions& options, OutputSink& out, std::ostream& err);

}  // namespace talvane::cli
