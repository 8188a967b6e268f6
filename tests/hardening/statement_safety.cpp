#include "statement_safety.hpp"

namespace talvane::test {

namespace {

std::string At(std::string_view what, std::size_t position) {
  return std::string(what) + " at offset " + std::to_string(position);
}

// Dates (#12/31/2001#) and times (#12:30#).
bool IsDateCharacter(char c) { return (c >= '0' && c <= '9') || c == '/' || c == ':'; }

}  // namespace

std::string StatementProblem(std::string_view sql) {
  if (sql.find('\0') != std::string_view::npos) return At("NUL byte", sql.find('\0'));
  std::size_t i = 0;
  while (i < sql.size()) {
    const char c = sql[i];
    if (c == '\'') {
      // A literal ends at an apostrophe that is not doubled.
      std::size_t j = i + 1;
      for (;;) {
        if (j >= sql.size()) return At("unclosed string literal", i);
        if (sql[j] == '\'') {
          if (j + 1 < sql.size() && sql[j + 1] == '\'') {
            j += 2;
            continue;
          }
          break;
        }
        ++j;
      }
      i = j + 1;
    } else if (c == '[') {
      // Neither dialect the library writes escapes a closing bracket inside a name.
      const std::size_t close = sql.find(']', i + 1);
      if (close == std::string_view::npos) return At("unclosed bracketed name", i);
      if (sql.substr(i + 1, close - i - 1).find('[') != std::string_view::npos) return At("bracket inside a name", i);
      i = close + 1;
    } else if (c == '#') {
      const std::size_t close = sql.find('#', i + 1);
      if (close == std::string_view::npos) return At("unclosed date literal", i);
      for (std::size_t j = i + 1; j < close; ++j) {
        if (!IsDateCharacter(sql[j])) return At("date literal holding more than a date", i);
      }
      i = close + 1;
    } else if (c == ']') {
      return At("closing bracket outside a name", i);
    } else if (c == ';') {
      return At("statement separator", i);
    } else if (c == '"' || c == '`') {
      return At("quote character outside a literal", i);
    } else if ((c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') ||
               (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*')) {
      return At("comment marker", i);
    } else if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r' && c != '\n') {
      return At("control character outside a literal", i);
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      return At("non-ASCII byte outside a literal", i);
    } else {
      ++i;
    }
  }
  return {};
}

}  // namespace talvane::test
