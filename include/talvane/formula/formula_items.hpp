#pragma once
// Cutting a formula text into items with the splitter and the classifier, as a formula does, keeping where
// each item stands in the text.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

/// One item of a formula text, as the formula cuts it.
struct FormulaItem {
  /// Byte offsets of the item's first character and of the first character after it, as written.
  std::size_t position = 0;
  /// (The end offset; see position.)
  std::size_t end = 0;
  /// What the item is: a field, a literal, an operator, a comparison, a parenthesis, a separator.
  ITEMTYPEENU kind = kLiteral;
  /// The item in canonical form (operators and booleans as the classifier rewrites them).
  std::string text;
};

/// A formula text cut into items.
struct CutFormula {
  /// The items, in the order of the text.
  std::vector<FormulaItem> items;
  /// Set when an item could not be cut: the items before it are in `items`.
  std::optional<Error> error;
  /// Where the item that could not be cut starts (byte offset).
  std::size_t failedItemStart = 0;
  /// Where cutting it failed (byte offset).
  std::size_t failedAt = 0;
};

/// Cuts `text` as a formula does (trim it first, as a formula trims its text).
CutFormula CutIntoItems(std::string_view text);

}  // namespace talvane
