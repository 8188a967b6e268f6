#pragma once
// Validity tests of day-first date literals (DD/MM/YYYY or DD/MM/YY) and HH:MM time literals.
#include <cstdint>
#include <string_view>

namespace talvane {

bool IsValidDate(std::string_view text, bool twoDigitYear, int16_t minimumYear);
bool IsValidTime(std::string_view text);

/// Widens a two-digit year: 00-29 to 2000-2029, 30-99 to 1930-1999.
int32_t WidenYear(int32_t twoDigitYear);

/// The day, month and four-digit year of a text that IsValidDate accepts (with either year form).
struct CalendarDate {
  /// 1 to 31.
  int32_t day = 0;
  /// 1 to 12.
  int32_t month = 0;
  /// Four digits.
  int32_t year = 0;
};
bool ParseDayFirstDate(std::string_view text, CalendarDate& out);

}  // namespace talvane
