#pragma once
// The items only language level 2 knows, cut off the front of a formula's text before the common splitter
// sees it: IS NULL, IS NOT NULL, NOT IN, NOT BETWEEN, TODAY, NOW, ISO dates and negative numbers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvane::detail {

// The item at the front of `rest` when it is one of the above (`rest` then goes on after it and one blank);
// none, with `rest` untouched, for anything else. A "-" before digits is a sign only where an operand may
// begin. An ISO date comes back day first (2023-06-14 as 14/06/2023), as the other date literals are written.
std::optional<std::string> CutLevelTwoItem(std::string_view& rest, bool operandExpected);

// The next item of a formula's or section's text at the language level: level 2's own items first, then the
// common splitter's. `operandExpected` says whether an operand may begin here, and is updated for the next.
std::string CutItem(std::string_view& rest, int32_t level, bool& operandExpected);

// The canonical text of IS NULL, IS NOT NULL, NOT IN or NOT BETWEEN, written in any letter case with blanks
// between the words; none for any other item.
std::optional<std::string> LevelTwoComparison(std::string_view item);

// Whether an operand may begin after `item`: after a comparison, a separator, an operator or an opening
// parenthesis (and at the start, which the caller knows).
bool OperandMayFollow(std::string_view item);

// TODAY or NOW, in any letter case.
bool IsDatabaseClock(std::string_view item);

}  // namespace talvane::detail
