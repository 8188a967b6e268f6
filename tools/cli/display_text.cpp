#include "display_text.hpp"

#include <algorithm>
#include <cstdio>

namespace talvane::cli {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Bytes 10xxxxxx continue a UTF-8 character; every other byte starts one.
bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string OnOneLine(std::string_view text) {
  std::string out(text);
  std::replace_if(out.begin(), out.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); }, ' ');
  return out;
}

std::string ErrorNumberText(int32_t number) {
  if (number >= 0) return std::to_string(number);
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(number));
  return text;
}

std::size_t DisplayColumn(std::string_view text, std::size_t offset) {
  const std::string_view before = text.substr(0, std::min(offset, text.size()));
  return static_cast<std::size_t>(std::count_if(
      before.begin(), before.end(), [](char c) { return !IsContinuation(static_cast<unsigned char>(c)); }));
}

}  // namespace talvane::cli
