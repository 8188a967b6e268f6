#pragma once
// Character classes and case of ASCII text, the same whatever the C locale: formulas, names, keys and
// declared types are compared and cut by these alone. Bytes outside the classes named are left as they are.
#include <string_view>

namespace talvane {

/// Whether @p c is a decimal digit, 0 to 9.
constexpr bool IsAsciiDigit(char c) noexcept { return c >= '0' && c <= '9'; }
/// Whether @p c is a blank within a line: a space or a tab.
constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }
/// Whether @p c is white space: a space, a tab, a carriage return or a line feed.
constexpr bool IsWhitespace(char c) noexcept { return IsBlank(c) || c == '\r' || c == '\n'; }
/// @p c in upper case when it is a letter a to z; any other byte unchanged.
constexpr char UpperChar(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
/// @p c in lower case when it is a letter A to Z; any other byte unchanged.
constexpr char LowerChar(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
/// @p text without the white space at either end.
constexpr std::string_view TrimWhitespace(std::string_view text) noexcept {
  while (!text.empty() && IsWhitespace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsWhitespace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace talvane
