#include "serve_command.hpp"

#include <unistd.h>

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "serve_options.hpp"

namespace talvane::cli {

namespace {

// The server program in the directory of the running program.
std::string ServerProgram() {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "talvane-serve").string();
}

// Replaces this process by the server (same process id, so that a signal meant for `talvane serve` reaches the
// server); returns only by raising, when the server cannot be started.
[[noreturn]] void ExecServer(const ServeOptions& options) {
  std::string program = ServerProgram();
  std::vector<std::string> arguments = ServeArguments(options);
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::cout.flush();
  execv(program.c_str(), argv.data());
  throw std::runtime_error("cannot start the server " + program + ": " + std::strerror(errno));
}

}  // namespace

void ConfigureServeCommand(CLI::App& command, int& /*exitCode*/) {
  auto options = std::make_shared<ServeOptions>();
  AddServeOptions(command, *options);
  command.callback([options] { ExecServer(*options); });
}

}  // namespace talvane::cli
