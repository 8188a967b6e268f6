#pragma once
// Flag-driven text cleaning: replace, remove whitespace, trim, collapse runs, upper-case.
#include <cstdint>
#include <string>
#include <string_view>

namespace talvane {

/// Operation bits.
constexpr int32_t kCleanUpper = 1;
constexpr int32_t kCleanReplace = 2;
constexpr int32_t kCleanTrimLeft = 4;
constexpr int32_t kCleanTrimRight = 8;
constexpr int32_t kCleanRemove = 16;
constexpr int32_t kCleanRemoveWhitespace = 32;
constexpr int32_t kCleanCollapse = 64;
constexpr int32_t kCleanCaseSensitive = 128;

/// Whitespace set bits; 0 means all four.
constexpr int32_t kWsAll = 0;
constexpr int32_t kWsSpace = 1;
constexpr int32_t kWsTab = 4;
constexpr int32_t kWsCr = 8;
constexpr int32_t kWsLf = 32;

std::string CleanText(std::string_view text, int32_t operations, std::string_view find = {},
                      std::string_view replacement = {}, int32_t whitespace = kWsAll, int32_t count = 0);

/// Upper-cases the letters a to z only (other bytes unchanged).
std::string UpperAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace talvane
