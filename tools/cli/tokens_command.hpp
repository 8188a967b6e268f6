#pragma once
// `talvane tokens "<formula>"`: shows how a formula text is cut into items.
#include <iosfwd>
#include <string>
#include <string_view>

#include "talvane/foundation/enums.hpp"

namespace CLI {
class App;
}

namespace talvane::cli {

// Adds the command's arguments to its subcommand; when the command runs it stores its exit code.
void ConfigureTokensCommand(CLI::App& command, int& exitCode);

// The formula text trimmed as a formula trims it, so item positions match a formula's error positions.
std::string TrimmedFormula(std::string_view formula);

// "kField", "kLiteral", ...: the name of an item's kind.
const char* ItemKindName(ITEMTYPEENU kind);

// Prints one line per item (start position, kind, canonical text) to `out`; on a syntax error prints the
// error and the position where cutting failed to `err` and returns 1.
int RunTokens(std::string_view formula, std::ostream& out, std::ostream& err);

}  // namespace talvane::cli
