// The formula splitter on arbitrary bytes: every text ends in items or in the splitter's own syntax error,
// each call consumes at least one character, both overloads cut the same items, and the classifier takes
// every item the splitter returns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "talvane/formula/classify_item.hpp"
#include "talvane/formula/parse_item.hpp"
#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/error.hpp"

namespace {

struct Cut {
  bool failed = false;
  std::string item;
};

template <typename Rest>
Cut CutOne(Rest& rest) {
  Cut cut;
  try {
    cut.item = talvane::ParseItem(rest);
  } catch (const talvane::Error& error) {
    if (error.Number() != talvane::kParseItemError) std::abort();  // only the syntax error may come out
    cut.failed = true;
  }
  return cut;
}

void RequireKnownKind(std::string item) {
  const talvane::ITEMTYPEENU kind = talvane::ClassifyItem(item);
  // Items are operands, operators, comparisons, group brackets or separators; never node kinds.
  if (kind < talvane::kLiteral || kind > talvane::kSeperator || kind == talvane::kOpenSection) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string_view view = text;
  std::string copy = text;
  // Callers stop at the empty remainder; one extra call on it must fail cleanly as well.
  bool stop = false;
  while (!stop) {
    stop = view.empty();
    const std::size_t before = view.size();
    const Cut fromView = CutOne(view);
    const Cut fromString = CutOne(copy);
    if (fromView.failed != fromString.failed || view != copy) std::abort();
    if (fromView.failed) break;
    if (fromView.item != fromString.item || fromView.item.empty()) std::abort();
    // Progress: the item's characters came off the front, blanks and swallowed characters besides.
    if (view.size() + fromView.item.size() > before) std::abort();
    RequireKnownKind(fromView.item);
  }
  return 0;
}
