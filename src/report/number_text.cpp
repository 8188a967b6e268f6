#include "report/number_text.hpp"

#include <algorithm>

namespace talvane::detail {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Advances over digits and returns how many there were.
std::size_t SkipDigits(std::string_view text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i - start;
}

}  // namespace

bool ReadsAsNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
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
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i == text.size();
}

std::size_t TrailingDigitCount(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && IsDigit(text[text.size() - 1 - n])) ++n;
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
