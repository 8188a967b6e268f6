#pragma once
// Number tests on texts, as the report objects need them.
#include <string>
#include <string_view>

namespace talvane::detail {

// True when the text reads as a number: optional blanks around, an optional sign, digits with an
// optional decimal point, and an optional exponent. At least one digit is needed.
bool ReadsAsNumber(std::string_view text);

// The number of trailing decimal digits of a text.
std::size_t TrailingDigitCount(std::string_view text);

// The decimal digits `digits` (possibly empty, read as 0) plus one, without leading zeros.
std::string IncrementDigits(std::string_view digits);

}  // namespace talvane::detail
