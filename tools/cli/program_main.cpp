#include "program_main.hpp"

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <string>

#include "display_text.hpp"
#include "exit_code.hpp"
#include "input_error.hpp"
#include "talvane/definition/definition_error.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::cli {

namespace {

// Messages quote what came from the user already; the line is kept to one line whatever they hold.
void Complain(const std::string& message) { std::cerr << "talvane: " << OnOneLine(message) << '\n'; }

}  // namespace

int RunCommandLine(CLI::App& app, const char* program, int argc, char** argv, const int& exitCode) {
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
