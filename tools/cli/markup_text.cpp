#include "markup_text.hpp"

namespace talvane::cli {

std::string MarkupEscaped(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&#39;"; break;
      case '\t':
      case '\n':
      case '\r': escaped += c; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          escaped += "\xEF\xBF\xBD";
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
}

}  // namespace talvane::cli
