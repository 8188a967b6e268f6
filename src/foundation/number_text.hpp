#pragma once
// Numbers written as text: whether a text is one, and the digits that end a name.
#include <cstddef>
#include <string>
#include <string_view>

namespace talvane::detail {

// An optional sign, digits with an optional decimal point, and an optional exponent; at least one digit,
// nothing else (no blanks).
bool IsNumberText(std::string_view text);

// As IsNumberText, with blanks (spaces and tabs) allowed around the number.
bool ReadsAsNumber(std::string_view text);

// The number of trailing decimal digits of a text.
std::size_t TrailingDigitCount(std::string_view text);

// The decimal digits `digits` (possibly empty, read as 0) plus one, without leading zeros.
std::string IncrementDigits(std::string_view digits);

}  // namespace talvane::detail
