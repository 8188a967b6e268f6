#include "report/number_text.hpp"

#include <algorithm>

#include "foundation/number_text.hpp"

namespace talvane::detail {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool ReadsAsNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return IsNumberText(text);
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
