#pragma once
// What the programs' main functions share: parsing the command line and running the command it names, with
// every failure printed as one "talvane: ..." line and turned into the exit code.
namespace CLI {
class App;
}

namespace talvane::cli {

// Parses the arguments with `app` (whose callbacks run the command) and returns the exit code: `exitCode` as
// the command left it, or the code of the failure that stopped it. `program` names the program in messages.
int RunCommandLine(CLI::App& app, const char* program, int argc, char** argv, const int& exitCode);

}  // namespace talvane::cli
