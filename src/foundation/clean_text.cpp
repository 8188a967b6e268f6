#include "talvane/foundation/clean_text.hpp"

#include <cstddef>

#include "talvane/foundation/ascii_text.hpp"

namespace talvane {

namespace {

bool CharsEqual(char a, char b, bool caseSensitive) {
  return caseSensitive ? a == b : UpperChar(a) == UpperChar(b);
}

// First occurrence of `needle` in `text` at or after `from`; npos when none.
std::size_t FindFrom(std::string_view text, std::string_view needle, std::size_t from, bool caseSensitive) {
  if (needle.empty() || from > text.size() || needle.size() > text.size() - from) return std::string_view::npos;
  const std::size_t last = text.size() - needle.size();
  for (std::size_t i = from; i <= last; ++i) {
    std::size_t k = 0;
    while (k < needle.size() && CharsEqual(text[i + k], needle[k], caseSensitive)) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

// Whether a whitespace mask selects character c; 0 selects all four kinds.
bool InWhitespaceSet(char c, int32_t set) {
  if (set == kWsAll) return IsWhitespace(c);
  switch (c) {
    case ' ': return (set & kWsSpace) != 0;
    case '\t': return (set & kWsTab) != 0;
    case '\r': return (set & kWsCr) != 0;
    case '\n': return (set & kWsLf) != 0;
    default: return false;
  }
}

bool SetHas(int32_t set, int32_t bit) { return set == kWsAll || (set & bit) != 0; }

// Replaces every occurrence, never searching inside an inserted replacement.
void ReplaceAll(std::string& text, std::string_view find, std::string_view replacement, bool caseSensitive) {
  std::string out;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = FindFrom(text, find, from, caseSensitive);
    if (at == std::string_view::npos) break;
    out.append(text, from, at - from);
    out.append(replacement);
    from = at + find.size();
  }
  if (from == 0) return;
  out.append(text, from, std::string::npos);
  text = std::move(out);
}

void RemoveWhitespace(std::string& text, int32_t set) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (!InWhitespaceSet(c, set)) out += c;
  }
  text = std::move(out);
}

void TrimLeft(std::string& text, int32_t set) {
  std::size_t n = 0;
  while (n < text.size() && InWhitespaceSet(text[n], set)) ++n;
  text.erase(0, n);
}

void TrimRight(std::string& text, int32_t set) {
  std::size_t n = text.size();
  while (n > 0 && InWhitespaceSet(text[n - 1], set)) --n;
  text.resize(n);
}

// Shrinks every run of `count` or more repetitions of `piece` to count - 1 (count 1 removes every piece).
// Replacing an occurrence by a prefix of itself leaves the text before the removed piece untouched, so a
// new occurrence must reach into the removed piece's place: it starts less than one piece before the last
// one. Resuming there finds exactly what a search from the start of the text would find, without the
// quadratic cost of restarting.
void CollapseRuns(std::string& text, std::string_view piece, int32_t count, bool caseSensitive) {
  if (piece.empty() || count <= 0) return;
  const auto unitLength = static_cast<unsigned long long>(piece.size()) * static_cast<unsigned long long>(count);
  if (unitLength > text.size()) return;  // cannot occur; also avoids building a huge unit
  std::string unit;
  unit.reserve(static_cast<std::size_t>(unitLength));
  for (int32_t i = 0; i < count; ++i) unit.append(piece);
  const std::size_t kept = unit.size() - piece.size();
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = FindFrom(text, unit, from, caseSensitive);
    if (at == std::string_view::npos) break;
    text.erase(at + kept, piece.size());
    from = at + 1 >= piece.size() ? at + 1 - piece.size() : 0;
  }
}

void CollapseAllUnits(std::string& text, std::string_view find, int32_t set, int32_t count, bool caseSensitive) {
  CollapseRuns(text, find, count, caseSensitive);
  if (SetHas(set, kWsSpace)) CollapseRuns(text, " ", count, caseSensitive);
  if (SetHas(set, kWsTab)) CollapseRuns(text, "\t", count, caseSensitive);
  if (SetHas(set, kWsCr)) CollapseRuns(text, "\r", count, caseSensitive);
  if (SetHas(set, kWsLf)) CollapseRuns(text, "\n", count, caseSensitive);
  if (SetHas(set, kWsCr) || SetHas(set, kWsLf)) CollapseRuns(text, "\r\n", count, caseSensitive);
}

}  // namespace

std::string CleanText(std::string_view text, int32_t operations, std::string_view find,
                      std::string_view replacement, int32_t whitespace, int32_t count) {
  std::string result(text);
  const bool caseSensitive = (operations & kCleanCaseSensitive) != 0;
  int32_t ops = operations;
  if ((ops & (kCleanReplace | kCleanRemove)) != 0 && !find.empty()) {
    ReplaceAll(result, find, replacement, caseSensitive);
  }
  // Removing with a whitespace set also drops that whitespace everywhere.
  if ((ops & kCleanRemove) != 0 && whitespace != kWsAll) ops |= kCleanRemoveWhitespace;
  if ((ops & kCleanRemoveWhitespace) != 0) RemoveWhitespace(result, whitespace);
  if ((ops & kCleanTrimLeft) != 0) TrimLeft(result, whitespace);
  if ((ops & kCleanTrimRight) != 0) TrimRight(result, whitespace);
  if ((ops & kCleanCollapse) != 0 && count > 0) CollapseAllUnits(result, find, whitespace, count, caseSensitive);
  if ((ops & kCleanUpper) != 0) result = UpperAscii(result);
  return result;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperChar(c);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  }
  return true;
}

}  // namespace talvane
