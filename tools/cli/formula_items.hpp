#pragma once
// Cutting a formula text into items with the library's splitter and classifier, keeping where each starts.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::cli {

struct FormulaItem {
  // Byte offset of the item's first character in the text.
  std::size_t position = 0;
  ITEMTYPEENU kind = kLiteral;
  // The item in canonical form (operators and booleans as the classifier rewrites them).
  std::string text;
};

struct CutFormula {
  std::vector<FormulaItem> items;
  // Set when an item could not be cut: the items before it are in `items`.
  std::optional<Error> error;
  std::size_t failedItemStart = 0;
  std::size_t failedAt = 0;
};

// Cuts `text` as a formula does (the caller trims it first, as a formula trims its text).
CutFormula CutIntoItems(std::string_view text);

}  // namespace talvane::cli
