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

void ApplyRewrite(Rewrite rewrite, std::string_view upper, std::string& item) {
  switch (rewrite) {
    case Rewrite::ToUpper: item = upper; break;
    case Rewrite::ToGreaterOrEqual: item = ">="; break;
    case Rewrite::ToLessOrEqual: item = "<="; break;
    case Rewrite::ToTrue: item = "True"; break;
    case Rewrite::ToFalse: item = "False"; break;
    case Rewrite::ToClose: item = ")"; break;
    case Rewrite::Keep: break;
  }
}

}  // namespace

ITEMTYPEENU ClassifyItem(std::string& item) {
  const std::string upper = CleanText(UpperAscii(item), kCleanTrimLeft | kCleanTrimRight, {}, {}, kWsSpace);
  for (const KnownItem& known : kKnownItems) {
    if (upper == known.upper) {
      ApplyRewrite(known.rewrite, upper, item);
      return known.kind;
    }
  }
  // Anything else is an operand: a name or bracket starts a field, all else is a literal.
  const char first = upper.empty() ? '\0' : upper.front();
  return ((first >= 'A' && first <= 'Z') || first == '[') ? kField : kLiteral;
}

}  // namespace talvane
