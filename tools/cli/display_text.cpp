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

std::string MessageLines(std::string_view message, std::string_view indent) {
  std::string text;
  std::size_t start = 0;
  while (start <= message.size()) {
    std::size_t end = message.find('\n', start);
    if (end == std::string_view::npos) end = message.size();
    std::string_view line = message.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (start > 0) text += "\n" + std::string(indent);
    text += Printable(line);
    start = end + 1;
  }
  return text;
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
