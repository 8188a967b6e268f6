#pragma once
// The options of the rule editor's server, shared by `talvane serve` and the server program talvane-serve.
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace talvane::cli {

struct ServeOptions {
  std::string connection;
  std::string definition;
  std::string bind = "127.0.0.1";
  int port = 8400;
  // Seconds a run of the page may take before it is stopped.
  int runSeconds = 5;
};

// Adds the server's options and notes to `command`; parsing fills `options`, which must outlive `command`.
void AddServeOptions(CLI::App& command, ServeOptions& options);

// The command-line arguments that give `options` to the server program.
std::vector<std::string> ServeArguments(const ServeOptions& options);

}  // namespace talvane::cli
