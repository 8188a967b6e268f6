#include "db/odbc/odbc_connection_string.hpp"

#include <vector>

#include "talvane/foundation/clean_text.hpp"

namespace talvane::db::detail {

namespace {

std::vector<std::string_view> Pieces(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  bool braced = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{') braced = true;
    if (text[i] == '}') braced = false;
    if (text[i] == ';' && !braced) {
      pieces.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size()) pieces.push_back(text.substr(start));
  return pieces;
}

std::string_view KeyOf(std::string_view piece) {
  piece = piece.substr(0, piece.find('='));
  while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
  while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
  return piece;
}

bool IsLibraryKey(std::string_view key) { return EqualsIgnoreCase(key, "Provider") || EqualsIgnoreCase(key, "Mode"); }

}  // namespace

std::string DriverConnectionString(std::string_view connectionString) {
  std::string result;
  for (const std::string_view piece : Pieces(connectionString)) {
    if (KeyOf(piece).empty() || IsLibraryKey(KeyOf(piece))) continue;
    if (!result.empty()) result += ';';
    result += piece;
  }
  return result;
}

}  // namespace talvane::db::detail
