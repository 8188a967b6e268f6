// The `talvane` command-line program: a dispatcher from command names to the commands.
#include <CLI/CLI.hpp>

#include "tokens_command.hpp"

namespace {

struct Command {
  const char* name;
  const char* summary;
  void (*configure)(CLI::App& command, int& exitCode);
};

// Each command adds its arguments to its own subcommand and reports its exit code when it runs.
constexpr Command kCommands[] = {
    {"tokens", "Show how a formula text is cut into items: position, kind and canonical text of each",
     &talvane::cli::ConfigureTokensCommand},
};

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"talvane: turns the rules of an exception report into one SQL statement"};
  app.require_subcommand(1);
  int exitCode = 0;
  for (const Command& command : kCommands) {
    command.configure(*app.add_subcommand(command.name, command.summary), exitCode);
  }
  CLI11_PARSE(app, argc, argv);
  return exitCode;
}
