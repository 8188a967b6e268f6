#pragma once
// `talvane serve --connection "..." [--port N] [--bind ADDRESS] [--definition FILE]`: serves the rule
// editor, a page that checks a definition against the database as it is typed, shows its statement in
// each dialect and runs it, until the program is interrupted.
namespace CLI {
class App;
}

namespace talvane::cli {

void ConfigureServeCommand(CLI::App& command, int& exitCode);

}  // namespace talvane::cli
