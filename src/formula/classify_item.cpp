#include "talvane/formula/classify_item.hpp"

#include <array>
#include <string_view>

#include "talvane/foundation/clean_text.hpp"

namespace talvane {

namespace {

// How a known item text is classified and what it is rewritten to.
enum class Rewrite { ToUpper, ToGreaterOrEqual, ToLessOrEqual, Keep, ToTrue, ToFalse, ToClose };

struct KnownItem {
  std::string_view upper;
  ITEMTYPEENU kind;
  Rewrite rewrite;
};

// Checked in order; the first exact match decides.
constexpr std::array<KnownItem, 28> kKnownItems{{
    {"=", kComparisson, Rewrite::ToUpper},
    {"<>", kComparisson, Rewrite::ToUpper},
    {"<", kComparisson, Rewrite::ToUpper},
    {">", kComparisson, Rewrite::ToUpper},
    {"IN", kComparisson, Rewrite::ToUpper},
    {"BETWEEN", kComparisson, Rewrite::ToUpper},
    {"LIKE", kComparisson, Rewrite::ToUpper},
    {"NOT LIKE", kComparisson, Rewrite::ToUpper},
    {">=", kComparisson, Rewrite::ToGreaterOrEqual},
    {"=>", kComparisson, Rewrite::ToGreaterOrEqual},
    {"<=", kComparisson, Rewrite::ToLessOrEqual},
    {"=<", kComparisson, Rewrite::ToLessOrEqual},
    {"+", kArith, Rewrite::ToUpper},
    {"-", kArith, Rewrite::ToUpper},
    {"*", kArith, Rewrite::ToUpper},
    {"/", kArith, Rewrite::ToUpper},
    {"(", kSection, Rewrite::Keep},
    {"SUM(", kSection, Rewrite::Keep},
    {"COUNT(", kSection, Rewrite::Keep},
    {"MAX(", kSection, Rewrite::Keep},
    {"MIN(", kSection, Rewrite::Keep},
    {"AVG(", kSection, Rewrite::Keep},
    {"TOTAL(", kSection, Rewrite::Keep},
    {",", kSeperator, Rewrite::Keep},
    {"AND", kSeperator, Rewrite::Keep},
    {")", kSection, Rewrite::ToClose},
    {"TRUE", kLiteral, Rewrite::ToTrue},
    {"FALSE", kLiteral, Rewrite::ToFalse},
}};

constexpr std::size_t kLongestKnownItem = 8;

// The canonical text of a known item.
std::string_view Rewritten(Rewrite rewrite, std::string_view upper, std::string_view item) {
  switch (rewrite) {
    case Rewrite::ToUpper: return upper;
    case Rewrite::ToGreaterOrEqual: return ">=";
    case Rewrite::ToLessOrEqual: return "<=";
    case Rewrite::ToTrue: return "True";
    case Rewrite::ToFalse: return "False";
    case Rewrite::ToClose: return ")";
    case Rewrite::Keep: return item;
  }
  return item;
}

}  // namespace

ITEMTYPEENU ClassifyItem(std::string& item) {
  // Blanks around the item do not count; no known item is longer than 8 characters, so a longer one is an
  // operand without upper-casing or comparing it.
  std::string_view trimmed(item);
  while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
  if (trimmed.size() <= kLongestKnownItem) {
    const std::string upper = UpperAscii(trimmed);
    for (const KnownItem& known : kKnownItems) {
      if (upper == known.upper) {
        if (known.rewrite != Rewrite::Keep) item = std::string(Rewritten(known.rewrite, known.upper, item));
        return known.kind;
      }
    }
  }
  // Anything else is an operand: a name or bracket starts a field, all else is a literal.
  const char first = trimmed.empty() ? '\0' : trimmed.front();
  return ((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z') || first == '[') ? kField : kLiteral;
}

}  // namespace talvane
