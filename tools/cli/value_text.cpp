#include "value_text.hpp"

namespace talvane::cli {

std::string HexText(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

std::string RowCountText(long long count) { return std::to_string(count) + (count == 1 ? " row" : " rows"); }

}  // namespace talvane::cli
