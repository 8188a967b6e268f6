// Day-first date literals, HH:MM times and the two-digit year window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "talvane/foundation/date_time.hpp"

namespace talvane {
namespace {

struct DateCase {
  std::string text;
  bool twoDigitYear;
  int16_t minimumYear;
  bool valid;
};

void PrintTo(const DateCase& c, std::ostream* os) {
  *os << '"' << c.text << "\" twoDigit=" << c.twoDigitYear << " min=" << c.minimumYear;
}

class IsValidDateCases : public testing::TestWithParam<DateCase> {};

TEST_P(IsValidDateCases, Answers) {
  const DateCase& c = GetParam();
  EXPECT_EQ(IsValidDate(c.text, c.twoDigitYear, c.minimumYear), c.valid);
}

INSTANTIATE_TEST_SUITE_P(LeapYearsAndMonthLengths, IsValidDateCases, testing::Values(
    DateCase{"29/02/2000", false, 1700, true},   // divisible by 400
    DateCase{"29/02/1900", false, 1700, false},  // divisible by 100 only
    DateCase{"29/02/2004", false, 1700, true},
    DateCase{"29/02/2003", false, 1700, false},
    DateCase{"28/02/2003", false, 1700, true},
    DateCase{"31/04/2001", false, 1700, false},
    DateCase{"30/04/2001", false, 1700, true},
    DateCase{"31/12/2003", false, 1700, true},
    DateCase{"32/01/2003", false, 1700, false},
    DateCase{"31/06/2003", false, 1700, false},
    DateCase{"31/09/2003", false, 1700, false},
    DateCase{"31/11/2003", false, 1700, false},
    DateCase{"31/08/2003", false, 1700, true}));

INSTANTIATE_TEST_SUITE_P(Shape, IsValidDateCases, testing::Values(
    DateCase{"1/02/2001", false, 1700, false},     // the day needs two characters
    DateCase{"01/2/2001", false, 1700, false},
    DateCase{"01 / 02 / 2001", false, 1700, true},  // spaces are removed first
    DateCase{"01/\t02/2001", false, 1700, true},    // so are tabs
    DateCase{"01/02/2001\r\n", false, 1700, false},  // line breaks are not
    DateCase{"01-02-2001", false, 1700, false},
    DateCase{"01/02/", false, 1700, false},
    DateCase{"", false, 1700, false},
    DateCase{"00/01/2001", false, 1700, false},
    DateCase{"01/00/2001", false, 1700, false},
    DateCase{"01/13/2001", false, 1700, false},
    DateCase{"1a/02/2001", false, 1700, false},
    DateCase{"-1/02/2001", false, 1700, false},
    DateCase{"1./02/2001", false, 1700, false},
    DateCase{"01/02/20x1", false, 1700, false},
    DateCase{"01/02/20011", false, 1700, false}));

INSTANTIATE_TEST_SUITE_P(YearForms, IsValidDateCases, testing::Values(
    DateCase{"01/02/01", true, 1700, true},
    DateCase{"01/02/2001", true, 1700, false},
    DateCase{"01/02/01", false, 1700, false},
    DateCase{"01/02/2001", false, 1700, true},
    DateCase{"29/02/00", true, 1700, true},     // 2000 is a leap year
    DateCase{"29/02/30", true, 1700, false},    // 1930 is not
    DateCase{"01/02/1699", false, 1700, false},
    DateCase{"01/02/1700", false, 1700, true},
    DateCase{"01/01/99", true, 2000, false},    // 1999 is below the minimum
    DateCase{"01/01/29", true, 2000, true},     // 2029
    DateCase{"01/01/0099", false, 0, false}));  // the calendar starts at year 100

TEST(WidenYear, UsesTheWindowFrom1930To2029) {
  EXPECT_EQ(WidenYear(0), 2000);
  EXPECT_EQ(WidenYear(29), 2029);
  EXPECT_EQ(WidenYear(30), 1930);
  EXPECT_EQ(WidenYear(99), 1999);
}

TEST(ParseDayFirstDate, ReadsBothYearForms) {
  CalendarDate d;
  ASSERT_TRUE(ParseDayFirstDate("31/12/2003", d));
  EXPECT_EQ(d.day, 31);
  EXPECT_EQ(d.month, 12);
  EXPECT_EQ(d.year, 2003);
  ASSERT_TRUE(ParseDayFirstDate(" 05 / 06 / 07 ", d));
  EXPECT_EQ(d.day, 5);
  EXPECT_EQ(d.month, 6);
  EXPECT_EQ(d.year, 2007);
  ASSERT_TRUE(ParseDayFirstDate("01/01/45", d));
  EXPECT_EQ(d.year, 1945);
  ASSERT_TRUE(ParseDayFirstDate("01/01/1066", d)) << "no minimum year";
}

TEST(ParseDayFirstDate, RefusesWhatIsNoDateAndLeavesTheOutputAlone) {
  CalendarDate d{1, 2, 3};
  EXPECT_FALSE(ParseDayFirstDate("31/02/2003", d));
  EXPECT_FALSE(ParseDayFirstDate("01/02/200", d));
  EXPECT_FALSE(ParseDayFirstDate("12:30", d));
  EXPECT_EQ(d.day, 1);
  EXPECT_EQ(d.month, 2);
  EXPECT_EQ(d.year, 3);
}

TEST(IsValidTime, AcceptsHoursAndMinutesOnA24HourClock) {
  for (const char* text : {"23:59", "00:00", "12:30", "09:05"}) EXPECT_TRUE(IsValidTime(text)) << text;
}

TEST(IsValidTime, RefusesEverythingElse) {
  for (const char* text : {"24:00", "9:30", "12:60", "12:3a", "12.30", "12:300", "1:230", " 9:30", "12:30:00",
                           "", "ab:cd", "-1:30", "12::3"}) {
    EXPECT_FALSE(IsValidTime(text)) << text;
  }
}

}  // namespace
}  // namespace talvane
