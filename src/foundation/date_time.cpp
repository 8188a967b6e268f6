#include "talvane/foundation/date_time.hpp"

#include <string>

#include "talvane/foundation/ascii_text.hpp"
#include "talvane/foundation/clean_text.hpp"

namespace talvane {

namespace {

// The earliest year the platform's dates can hold; a four-digit year below it is no date.
constexpr int32_t kFirstCalendarYear = 100;

// Reads a short run of digits; anything else (signs, blanks, decimal points) is not a number here.
bool ReadNumber(std::string_view text, int32_t& out) {
  if (text.empty()) return false;
  int32_t value = 0;
  for (char c : text) {
    if (!IsAsciiDigit(c)) return false;
    value = value * 10 + (c - '0');
  }
  out = value;
  return true;
}

bool IsLeapYear(int32_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int32_t DaysInMonth(int32_t month, int32_t year) {
  switch (month) {
    case 4: case 6: case 9: case 11: return 30;
    case 2: return IsLeapYear(year) ? 29 : 28;
    default: return 31;
  }
}

// Cuts DD/MM/<year> (spaces and tabs already removed) into its three parts.
bool SplitDayFirst(std::string_view text, std::string_view& day, std::string_view& month, std::string_view& year) {
  if (text.find('/') != 2) return false;
  day = text.substr(0, 2);
  text.remove_prefix(3);
  if (text.find('/') != 2) return false;
  month = text.substr(0, 2);
  text.remove_prefix(3);
  year = text;
  return true;
}

// Shared by the validity test and the parser: `twoDigitYear` fixes the year form, and the year must reach
// `minimumYear`.
bool ReadDate(std::string_view text, bool twoDigitYear, int32_t minimumYear, CalendarDate& out) {
  const std::string compact = CleanText(text, kCleanRemove, {}, {}, kWsSpace | kWsTab);
  std::string_view dayText, monthText, yearText;
  if (!SplitDayFirst(compact, dayText, monthText, yearText)) return false;
  if (yearText.size() != (twoDigitYear ? 2u : 4u)) return false;
  CalendarDate date;
  int32_t year = 0;
  if (!ReadNumber(dayText, date.day) || !ReadNumber(monthText, date.month) || !ReadNumber(yearText, year)) {
    return false;
  }
  if (date.day <= 0) return false;
  if (twoDigitYear) {
    date.year = WidenYear(year);
  } else {
    if (year < kFirstCalendarYear) return false;
    date.year = year;
  }
  if (date.month < 1 || date.month > 12) return false;
  if (date.day > DaysInMonth(date.month, date.year)) return false;
  if (date.year < minimumYear) return false;
  out = date;
  return true;
}

}  // namespace

bool IsValidDate(std::string_view text, bool twoDigitYear, int16_t minimumYear) {
  CalendarDate ignored;
  return ReadDate(text, twoDigitYear, minimumYear, ignored);
}

bool IsValidTime(std::string_view text) {
  if (text.size() != 5 || text.find(':') != 2) return false;
  if (!IsAsciiDigit(text[0]) || !IsAsciiDigit(text[1]) || !IsAsciiDigit(text[3]) || !IsAsciiDigit(text[4])) return false;
  const int32_t hours = (text[0] - '0') * 10 + (text[1] - '0');
  const int32_t minutes = (text[3] - '0') * 10 + (text[4] - '0');
  return hours <= 23 && minutes <= 59;
}

int32_t WidenYear(int32_t twoDigitYear) { return twoDigitYear < 30 ? 2000 + twoDigitYear : 1900 + twoDigitYear; }

bool ParseDayFirstDate(std::string_view text, CalendarDate& out) {
  constexpr int32_t kAnyYear = INT32_MIN;
  return ReadDate(text, false, kAnyYear, out) || ReadDate(text, true, kAnyYear, out);
}

}  // namespace talvane
