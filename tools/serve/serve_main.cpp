// talvane-serve: the rule editor's server, the program that `talvane serve` runs. It takes the options of
// `talvane serve`.
#include <CLI/CLI.hpp>

#include "exit_code.hpp"
#include "program_main.hpp"
#include "serve_editor.hpp"
#include "serve_options.hpp"

int main(int argc, char** argv) {
  using namespace talvane::cli;
  CLI::App app{"talvane-serve: serves the rule editor (talvane serve runs this program)"};
  app.set_version_flag("--version", std::string("talvane-serve ") + TALVANE_VERSION, "Print the version and exit");
  ServeOptions options;
  AddServeOptions(app, options);
  int exitCode = kExitOk;
  app.callback([&] { exitCode = ServeEditor(options); });
  return RunCommandLine(app, "talvane-serve", argc, argv, exitCode);
}
