#include "talvane/definition/printable_text.hpp"

#include <cstdio>

namespace talvane {

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Bytes 10xxxxxx continue a UTF-8 character; every other byte starts one.
bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The text, or its first kStatementShown bytes (never ending inside a character) and its length.
std::string CutAfterShown(const std::string& line) {
  if (line.size() <= kStatementShown) return line;
  std::size_t cut = kStatementShown;
  while (cut > 0 && IsContinuation(static_cast<unsigned char>(line[cut]))) --cut;
  return line.substr(0, cut) + "... (cut: the statement is " + std::to_string(line.size()) + " bytes long)";
}

void AppendHexEscape(std::string& out, unsigned char c) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
  out += escaped;
}

std::string Escaped(std::string_view text, bool escapeQuotes) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const char ch = text[i];
    const auto c = static_cast<unsigned char>(ch);
    if (ch == '"' && escapeQuotes) out += "\\\"";
    else if (ch == '\\') out += "\\\\";
    else if (ch == '\n') out += "\\n";
    else if (ch == '\r') out += "\\r";
    else if (ch == '\t') out += "\\t";
    else if (IsControl(c)) AppendHexEscape(out, c);
    else {
      const std::size_t length = Utf8CharLength(text.substr(i));
      if (length == 0) {
        AppendHexEscape(out, c);
        ++i;
      } else {
        out.append(text.substr(i, length));
        i += length;
      }
      continue;
    }
    ++i;
  }
  return out;
}

}  // namespace

std::size_t Utf8CharLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  else return 0;
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[i]))) return 0;
  }
  const auto second = static_cast<unsigned char>(text[1]);
  // Overlong forms, UTF-16 surrogates and code points above U+10FFFF.
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F)) {
    return 0;
  }
  return length;
}

std::string Printable(std::string_view text) { return Escaped(text, false); }

std::string Quoted(std::string_view text) { return "\"" + Escaped(text, true) + "\""; }

std::string StatementOnOneLine(std::string_view statement) {
  const auto isBreak = [](char c) { return c == '\t' || c == '\r' || c == '\n'; };
  std::string line;
  for (std::size_t i = 0; i < statement.size(); ++i) {
    if (!isBreak(statement[i])) {
      line += statement[i];
      continue;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    while (i + 1 < statement.size() && (statement[i + 1] == ' ' || isBreak(statement[i + 1]))) ++i;
    if (!line.empty()) line += ' ';
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return Printable(CutAfterShown(line));
}

}  // namespace talvane
