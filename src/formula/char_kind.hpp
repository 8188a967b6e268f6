#pragma once
// The classes of characters the formula splitter tells apart.
#include <array>
#include <string_view>

namespace talvane::detail {

// What each character is to the splitter, by table: one look-up sorts it.
enum class CharKind : unsigned char {
  Other,  // tabs, line breaks, control and non-ASCII bytes, _ ' ; and so on: a syntax error
  Letter, Digit, Arithmetic, Colon, Slash, Comma, Quote, Dot, ComparisonSign, OpenParenthesis, CloseParenthesis,
  Blank, OpenBracket, CloseBracket,
};

constexpr std::array<CharKind, 256> kCharKinds = [] {
  std::array<CharKind, 256> kinds{};
  const auto set = [&kinds](std::string_view chars, CharKind kind) {
    for (const char c : chars) kinds[static_cast<unsigned char>(c)] = kind;
  };
  set("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", CharKind::Letter);
  set("0123456789", CharKind::Digit);
  set("+-*", CharKind::Arithmetic);
  set(":", CharKind::Colon);
  set("/", CharKind::Slash);
  set(",", CharKind::Comma);
  set("\"", CharKind::Quote);
  set(".", CharKind::Dot);
  set("=<>", CharKind::ComparisonSign);
  set("(", CharKind::OpenParenthesis);
  set(")", CharKind::CloseParenthesis);
  set(" ", CharKind::Blank);
  set("[", CharKind::OpenBracket);
  set("]", CharKind::CloseBracket);
  return kinds;
}();

inline CharKind KindOf(char c) { return kCharKinds[static_cast<unsigned char>(c)]; }

}  // namespace talvane::detail
