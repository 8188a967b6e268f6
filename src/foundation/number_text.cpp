#include "foundation/number_text.hpp"

#include <cstddef>

namespace talvane::detail {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Advances over digits and returns how many there were.
std::size_t SkipDigits(std::string_view text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i - start;
}

}  // namespace

bool IsNumberText(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = SkipDigits(text, i);
  if (i < text.size() && text[i] == '.') {
    ++i;
    digits += SkipDigits(text, i);
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (SkipDigits(text, i) == 0) return false;
  }
  return i == text.size();
}

}  // namespace talvane::detail
