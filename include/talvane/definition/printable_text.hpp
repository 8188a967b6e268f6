#pragma once
// Showing text that came from a user (a definition file, a database) on one line of a message.
#include <cstddef>
#include <string>
#include <string_view>

namespace talvane {

// The text with control characters, backslashes and bytes that are not UTF-8 escaped (\n, \t, \\, \xFF).
std::string Printable(std::string_view text);

// Printable text between double quotes, with the double quotes inside it escaped too.
std::string Quoted(std::string_view text);

// The length of the well-formed UTF-8 character at the start of `text` (1 to 4), or 0 when it is not one
// (or `text` is empty).
std::size_t Utf8CharLength(std::string_view text);

// A statement on one line, for messages: each line break or tab, with the blanks around it, becomes one
// blank; the result is Printable. A line longer than kStatementShown bytes is cut there (at a character's
// start), followed by "... (cut: the statement is N bytes long)": a statement of 20,000 formulas is a megabyte.
inline constexpr std::size_t kStatementShown = 400;
std::string StatementOnOneLine(std::string_view statement);

}  // namespace talvane
