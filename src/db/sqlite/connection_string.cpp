#include "db/sqlite/connection_string.hpp"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <utility>

#include "talvane/foundation/ascii_text.hpp"
#include "talvane/foundation/clean_text.hpp"

namespace talvane::db::detail {

namespace {

// Reads one value starting at `pos` (just after the "="), leaves `pos` on the ";" that ends it (or at the end).
std::string ReadValue(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && IsWhitespace(text[pos])) ++pos;
  if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
    const char quote = text[pos++];
    std::string value;
    while (pos < text.size()) {
      if (text[pos] == quote) {
        if (pos + 1 < text.size() && text[pos + 1] == quote) {
          value += quote;
          pos += 2;
          continue;
        }
        ++pos;
        break;
      }
      value += text[pos++];
    }
    while (pos < text.size() && text[pos] != ';') ++pos;  // anything after the closing quote is ignored
    return value;
  }
  const std::size_t end = text.find(';', pos);
  const std::size_t stop = end == std::string_view::npos ? text.size() : end;
  std::string value(TrimWhitespace(text.substr(pos, stop - pos)));
  pos = stop;
  return value;
}

}  // namespace

void ForEachConnectionStringEntry(std::string_view connectionString,
                                  const std::function<bool(std::string_view, std::string&&)>& visit) {
  std::size_t pos = 0;
  while (pos < connectionString.size()) {
    const std::size_t equals = connectionString.find('=', pos);
    const std::size_t semicolon = connectionString.find(';', pos);
    if (equals == std::string_view::npos) break;
    if (semicolon != std::string_view::npos && semicolon < equals) {  // a piece without "=" holds no key
      pos = semicolon + 1;
      continue;
    }
    const std::string_view name = TrimWhitespace(connectionString.substr(pos, equals - pos));
    pos = equals + 1;
    if (!visit(name, ReadValue(connectionString, pos))) return;
    ++pos;  // past the ";"
  }
}

std::optional<std::string> ConnectionStringValue(std::string_view connectionString, std::string_view key) {
  std::optional<std::string> found;
  ForEachConnectionStringEntry(connectionString, [&](std::string_view name, std::string&& value) {
    if (EqualsIgnoreCase(name, key)) found = std::move(value);
    return !found;
  });
  return found;
}

bool OpensReadOnly(std::string_view connectionString) {
  const std::optional<std::string> mode = ConnectionStringValue(connectionString, "Mode");
  return mode && EqualsIgnoreCase(*mode, "Read");
}

std::optional<int> BusyTimeoutMs(std::string_view connectionString) {
  const std::optional<std::string> value = ConnectionStringValue(connectionString, "Timeout");
  if (!value) return kDefaultBusyTimeoutMs;
  // At most a day: SQLite takes the wait as an int of milliseconds.
  constexpr double kMaxSeconds = 24 * 60 * 60;
  double seconds = -1;
  const char* end = value->data() + value->size();
  const auto [stop, error] = std::from_chars(value->data(), end, seconds, std::chars_format::fixed);
  if (error != std::errc() || stop != end || !(seconds >= 0 && seconds <= kMaxSeconds)) return std::nullopt;
  return static_cast<int>(std::lround(seconds * 1000));
}

}  // namespace talvane::db::detail
