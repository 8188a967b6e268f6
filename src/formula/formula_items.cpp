#include "talvane/formula/formula_items.hpp"

#include "talvane/formula/classify_item.hpp"
#include "talvane/formula/parse_item.hpp"

namespace talvane {

namespace {

// The splitter skips the blanks in front of an item; the item starts after them.
std::size_t ItemStart(std::string_view text, std::string_view rest) {
  std::size_t start = text.size() - rest.size();
  while (start < text.size() && text[start] == ' ') ++start;
  return start;
}

}  // namespace

CutFormula CutIntoItems(std::string_view text) {
  CutFormula cut;
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t start = ItemStart(text, rest);
    try {
      std::string item = ParseItem(rest);
      const ITEMTYPEENU kind = ClassifyItem(item);
      std::size_t end = text.size() - rest.size();
      while (end > start && text[end - 1] == ' ') --end;  // the blanks the splitter took after the item
      cut.items.push_back({start, end, kind, std::move(item)});
    } catch (const Error& e) {
      cut.error = e;
      cut.failedItemStart = start;
      cut.failedAt = text.size() - rest.size();
      break;
    }
  }
  return cut;
}

}  // namespace talvane
