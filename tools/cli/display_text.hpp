#pragma once
// Showing text that came from a user (a definition file, a database) on one terminal line; Printable,
// Quoted and StatementOnOneLine come from the library.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "talvane/definition/printable_text.hpp"

namespace talvane::cli {

// The text with every control character (tab, line break, ...) replaced by one blank, so that it stays on
// one line and keeps its byte offsets (a caret placed under it stays under the same character).
std::string OnOneLine(std::string_view text);

// An error number as people look it up: object errors (0x8004xxxx and the like, negative as signed numbers)
// in hexadecimal, the database's small numbers in decimal.
std::string ErrorNumberText(int32_t number);

// The screen column of byte `offset` in UTF-8 text: one column per character, not per byte.
std::size_t DisplayColumn(std::string_view text, std::size_t offset);

}  // namespace talvane::cli
