#include "foundation/number_text.hpp"

#include <algorithm>

#include "talvane/foundation/ascii_text.hpp"

namespace talvane::detail {

namespace {

// Advances over digits and returns how many it passed.
std::size_t SkipDigits(std::string_view text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && IsAsciiDigit(text[i])) ++i;
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

bool ReadsAsNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return IsNumberText(text);
}

std::size_t TrailingDigitCount(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && IsAsciiDigit(text[text.size() - 1 - n])) ++n;
  return n;
}

std::string IncrementDigits(std::string_view digits) {
  std::string value(digits);
  value.erase(0, std::min(value.find_first_not_of('0'), value.size()));
  // Add one from the right, carrying through nines.
  std::size_t i = value.size();
  while (i > 0 && value[i - 1] == '9') value[--i] = '0';
  if (i == 0) {
    value.insert(value.begin(), '1');
  } else {
    ++value[i - 1];
  }
  return value;
}

}  // namespace talvane::detail
