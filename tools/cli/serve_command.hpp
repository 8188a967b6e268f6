#pragma once
// `talvane serve --connection "..." [--port N] [--bind ADDRESS] [--definition FILE]`: serves the rule
// editor, a page that checks a definition against the database as it is typed, shows its statement in
// each dialect and runs it, until the program is interrupted. The server is a program of its own,
// talvane-serve, installed beside talvane: the HTTP library it needs stays out of the other commands' start.
namespace CLI {
class App;
}

namespace talvane::cli {

void ConfigureServeCommand(CLI::App& command, int& exitCode);

}  // namespace talvane::cli
