#include "program_main.hpp"

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "display_text.hpp"
#include "exit_code.hpp"
#include "input_error.hpp"
#include "talvane/definition/definition_error.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::cli {

namespace {

// Messages quote what came from the user already; the line is kept to one line whatever they hold.
void Complain(const std::string& message) { std::cerr << "talvane: " << OnOneLine(message) << '\n'; }

// For a program with commands whose first argument is no option: a message when it names none of them (or
// is missing), naming what was given and the commands there are; empty otherwise.
std::string CommandNameProblem(const CLI::App& app, int argc, char** argv) {
  const std::vector<const CLI::App*> commands = app.get_subcommands([](const CLI::App*) { return true; });
  if (commands.empty() || (argc >= 2 && argv[1][0] == '-')) return {};
  std::string names;
  for (const CLI::App* command : commands) {
    if (argc >= 2 && command->get_name() == argv[1]) return {};
    names += (names.empty() ? "" : ", ") + command->get_name();
  }
  const std::string problem = argc < 2 ? "a command is required" : "unknown command " + Quoted(argv[1]);
  return problem + "; the commands are " + names;
}

}  // namespace

int RunCommandLine(CLI::App& app, const char* program, int argc, char** argv, const int& exitCode) {
  if (const std::string problem = CommandNameProblem(app, argc, argv); !problem.empty()) {
    Complain(problem + " (see " + program + " --help)");
    return kExitBadInput;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    Complain(Printable(e.what()) + " (see " + program + " --help)");
    return kExitBadInput;
  } catch (const InputError& e) {
    Complain(e.what());
    return kExitBadInput;
  } catch (const talvane::DefinitionError& e) {
    Complain(e.what());
    return kExitBadInput;
  } catch (const talvane::Error& e) {
    Complain("error " + ErrorNumberText(e.Number()) + " (" + Printable(e.Source()) + "): " + Printable(e.Message()));
    return kExitFailed;
  } catch (const std::exception& e) {
    Complain(Printable(e.what()));
    return kExitFailed;
  }
  return exitCode;
}

}  // namespace talvane::cli
