#include "component/names.hpp"

#include <algorithm>

namespace talvane::component::detail {

namespace {
char Upper(char c) noexcept { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept {
  return std::ranges::equal(a, b, [](char x, char y) { return Upper(x) == Upper(y); });
}

std::string UpperCase(std::string_view text) {
  std::string result(text);
  std::ranges::transform(result, result.begin(), Upper);
  return result;
}

}  // namespace talvane::component::detail
