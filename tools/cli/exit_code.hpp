#pragma once
// Exit codes shared by the commands of the `talvane` program.

namespace talvane::cli {

enum ExitCode : int {
  kExitOk = 0,
  // The definition was read, but a rule, a field or the statement failed in the library.
  kExitFailed = 1,
  // The input could not be used at all: a bad command line, definition file or database.
  kExitBadInput = 2,
};

}  // namespace talvane::cli
