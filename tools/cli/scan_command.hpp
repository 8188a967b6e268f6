#pragma once
// `talvane scan PATH... --connection CS`: runs many report definitions and shows what each found.
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace talvane::cli {

struct ScanCommandOptions {
  std::vector<std::string> paths;
  std::string connection;
  std::string format = "text";
  std::string output;  // empty: standard output
  std::string history;
  int jobs = 1;
  int sample = 20;
};

// The help of the command's exit codes, also shown in the program's help.
extern const char* const kScanExitCodesHelp;

// Runs the scan and writes its output; returns the exit code (0 clean, 1 exceptions, 2 a report failed).
int RunScan(const ScanCommandOptions& options);

void ConfigureScanCommand(CLI::App& command, int& exitCode);

}  // namespace talvane::cli
