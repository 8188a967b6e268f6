// The ASCII helpers against the C library in the "C" locale, over every byte: the same classes and case,
// and nothing changed outside ASCII letters.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "talvane/foundation/ascii_text.hpp"
#include "talvane/foundation/clean_text.hpp"

namespace talvane {
namespace {

TEST(AsciiText, EveryByteIsClassedAndCasedAsTheCLocaleDoes) {
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    SCOPED_TRACE(byte);
    EXPECT_EQ(IsAsciiDigit(c), std::isdigit(byte) != 0);
    EXPECT_EQ(IsBlank(c), std::isblank(byte) != 0);
    EXPECT_EQ(IsWhitespace(c), std::isspace(byte) != 0 && c != '\v' && c != '\f');
    EXPECT_EQ(UpperChar(c), static_cast<char>(std::toupper(byte)));
    EXPECT_EQ(LowerChar(c), static_cast<char>(std::tolower(byte)));
    for (int other = 0; other < 256; ++other) {
      const bool same = std::toupper(byte) == std::toupper(other);
      ASSERT_EQ(EqualsIgnoreCase(std::string(1, c), std::string(1, static_cast<char>(other))), same) << other;
    }
  }
}

TEST(AsciiText, TrimWhitespaceKeepsInnerWhitespaceAndEverythingElse) {
  EXPECT_EQ(TrimWhitespace(" \t\r\n a \t b\n\r\t "), "a \t b");
  EXPECT_EQ(TrimWhitespace("\v x \f"), "\v x \f");
  EXPECT_EQ(TrimWhitespace(" \r\n\t"), "");
  EXPECT_EQ(TrimWhitespace(""), "");
  static_assert(TrimWhitespace("  x ") == "x");
}

}  // namespace
}  // namespace talvane
