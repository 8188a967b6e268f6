#pragma once
// Whether a text is a number as formulas and field references write them.
#include <string_view>

namespace talvane::detail {

// An optional sign, digits with an optional decimal point, and an optional exponent; at least one digit,
// nothing else (no blanks).
bool IsNumberText(std::string_view text);

}  // namespace talvane::detail
