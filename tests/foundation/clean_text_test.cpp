// CleanText: every operation bit, the whitespace sets, and the run collapsing.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "talvane/foundation/clean_text.hpp"

namespace talvane {
namespace {

constexpr int32_t kTrim = kCleanTrimLeft | kCleanTrimRight;

TEST(CleanTextTrim, TrimsAllFourKindsAtBothEndsKeepingInnerWhitespace) {
  EXPECT_EQ(CleanText(" \t a b \r\n", kTrim, {}, {}, kWsAll), "a b");
  EXPECT_EQ(CleanText("\r\n\t a\tb \n", kTrim, {}, {}, kWsSpace | kWsTab | kWsCr | kWsLf), "a\tb");
}

TEST(CleanTextTrim, OnlyTheChosenKindsAndOnlyTheChosenEnd) {
  EXPECT_EQ(CleanText(" \ta \t", kTrim, {}, {}, kWsSpace), "\ta \t");
  EXPECT_EQ(CleanText("  a  ", kCleanTrimLeft, {}, {}, kWsSpace), "a  ");
  EXPECT_EQ(CleanText("  a  ", kCleanTrimRight, {}, {}, kWsSpace), "  a");
  EXPECT_EQ(CleanText("   ", kTrim, {}, {}, kWsAll), "");
}

TEST(CleanTextTrim, MaskWithoutWhitespaceBitsSelectsNothing) {
  EXPECT_EQ(CleanText(" a ", kTrim, {}, {}, 2), " a ");
  EXPECT_EQ(CleanText(" a b ", kCleanRemoveWhitespace, {}, {}, 64 | 2), " a b ");
}

TEST(CleanTextUpper, UpperCasesAfterTrimming) {
  EXPECT_EQ(CleanText(" not like\r\n", kTrim | kCleanUpper, {}, {}, kWsAll), "NOT LIKE");
  EXPECT_EQ(CleanText("aZ\xe9", kCleanUpper), "AZ\xe9") << "only a to z change";
}

TEST(CleanTextRemove, RemovesEveryOccurrenceOfTheFindText) {
  EXPECT_EQ(CleanText("\"abc\"", kCleanRemove, "\"", {}, kWsAll), "abc");
  EXPECT_EQ(CleanText("1\"2", kCleanRemove, "\"", {}, kWsAll), "12");
  EXPECT_EQ(CleanText("\"", kCleanRemove, "\"", {}, kWsAll), "");
}

TEST(CleanTextRemove, WithAWhitespaceSetAlsoDropsThatWhitespaceEverywhere) {
  EXPECT_EQ(CleanText(" a\tb \r\n", kCleanRemove, {}, {}, kWsSpace | kWsTab), "ab\r\n");
  EXPECT_EQ(CleanText(" a b ", kCleanRemove, {}, {}, kWsAll), " a b ") << "set 0 does not switch removal on";
  EXPECT_EQ(CleanText(" a\tb\r\n", kCleanRemoveWhitespace, {}, {}, kWsAll), "ab");
}

TEST(CleanTextReplace, InsertedTextIsNotSearchedAgain) {
  EXPECT_EQ(CleanText("xaby", kCleanReplace, "ab", "abab"), "xababy");
  EXPECT_EQ(CleanText("abab", kCleanReplace, "ab", "abab"), "abababab");
  EXPECT_EQ(CleanText("aaa", kCleanReplace, "a", "aa"), "aaaaaa");
}

TEST(CleanTextReplace, IgnoresCaseUnlessBit128) {
  EXPECT_EQ(CleanText("aXbx", kCleanReplace, "x", "-"), "a-b-");
  EXPECT_EQ(CleanText("aXbx", kCleanReplace | kCleanCaseSensitive, "x", "-"), "aXb-");
}

TEST(CleanTextReplace, EmptyFindTextOrNoReplaceBitLeavesTheText) {
  EXPECT_EQ(CleanText("abc", kCleanReplace, "", "x"), "abc");
  EXPECT_EQ(CleanText("abc", kCleanTrimLeft, "b", "x"), "abc");
}

TEST(CleanTextCollapse, CountTwoShrinksRunsToOneAndCountOneRemovesThem) {
  EXPECT_EQ(CleanText("a    b", kCleanCollapse, {}, {}, kWsSpace, 2), "a b");
  EXPECT_EQ(CleanText("a    b", kCleanCollapse, {}, {}, kWsSpace, 1), "ab");
  EXPECT_EQ(CleanText("a    b  c d", kCleanCollapse, {}, {}, kWsSpace, 3), "a  b  c d");
  EXPECT_EQ(CleanText("a    b", kCleanCollapse, {}, {}, kWsSpace, 0), "a    b") << "count 0 does nothing";
}

TEST(CleanTextCollapse, OnlyTheChosenWhitespaceKinds) {
  EXPECT_EQ(CleanText("a  \t\tb", kCleanCollapse, {}, {}, kWsTab, 2), "a  \tb");
  EXPECT_EQ(CleanText("a  \t\tb", kCleanCollapse, {}, {}, kWsAll, 2), "a \tb");
}

TEST(CleanTextCollapse, FindTextRunsFirstThenLineBreakPairs) {
  EXPECT_EQ(CleanText("a--b---c", kCleanCollapse, "-", {}, kWsSpace, 2), "a-b-c");
  EXPECT_EQ(CleanText("a--b", kCleanCollapse, "-", {}, kWsSpace, 1), "ab");
  // Line feeds alone never repeat here, but the carriage return + line feed pairs do.
  EXPECT_EQ(CleanText("a\r\n\r\n\r\nb", kCleanCollapse, {}, {}, kWsLf, 2), "a\r\nb");
  EXPECT_EQ(CleanText("a\r\n\r\nb", kCleanCollapse, {}, {}, kWsSpace, 1), "a\r\n\r\nb");
}

TEST(CleanTextCollapse, FindTextIgnoresCaseUnlessBit128) {
  EXPECT_EQ(CleanText("aXxb", kCleanCollapse, "x", {}, kWsSpace, 1), "ab");
  EXPECT_EQ(CleanText("aXxb", kCleanCollapse | kCleanCaseSensitive, "x", {}, kWsSpace, 1), "aXb");
}

TEST(CleanTextCollapse, RemovalThatJoinsANewOccurrenceBeforeItIsFoundToo) {
  EXPECT_EQ(CleanText("aabb", kCleanCollapse, "ab", {}, kWsSpace, 1), "");
  EXPECT_EQ(CleanText("aaaaa", kCleanCollapse, "aa", {}, kWsSpace, 2), "aaa");
}

TEST(CleanTextCollapse, HugeCountNeitherAllocatesNorChangesTheText) {
  EXPECT_EQ(CleanText("a  b", kCleanCollapse, "xy", {}, kWsAll, INT32_MAX), "a  b");
}

// The literal procedure: search from the start again after every change.
std::string CollapseByRestarting(std::string text, const std::string& piece, int count) {
  std::string unit;
  for (int i = 0; i < count; ++i) unit += piece;
  for (auto at = text.find(unit); at != std::string::npos; at = text.find(unit)) {
    text.replace(at, unit.size(), unit.substr(0, unit.size() - piece.size()));
  }
  return text;
}

TEST(CleanTextCollapse, AgreesWithRestartingTheSearchOnRandomTexts) {
  std::mt19937 random(12345);
  const std::string alphabet = "ab";
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 14);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    std::string piece;
    const int pieceLength = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < pieceLength; ++i) piece += alphabet[random() % alphabet.size()];
    const int count = 1 + static_cast<int>(random() % 3);
    EXPECT_EQ(CleanText(text, kCleanCollapse | kCleanCaseSensitive, piece, {}, 2, count),
              CollapseByRestarting(text, piece, count))
        << "text " << text << " piece " << piece << " count " << count;
  }
}

TEST(CleanTextOrder, ReplaceThenRemoveThenTrimThenCollapseThenUpper) {
  // The replacement brings in blanks that the trim then removes; the collapse sees the trimmed text.
  EXPECT_EQ(CleanText("xa   bx", kCleanReplace | kTrim | kCleanCollapse | kCleanUpper, "x", " ", kWsSpace, 2),
            "A B");
}

TEST(EqualsIgnoreCase, ComparesLettersWithoutCase) {
  EXPECT_TRUE(EqualsIgnoreCase("[Orders].[ID]", "[orders].[id]"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "abd"));
  EXPECT_FALSE(EqualsIgnoreCase("abc", "ab"));
  EXPECT_FALSE(EqualsIgnoreCase("\xe9", "\xc9")) << "only a to z fold";
}

}  // namespace
}  // namespace talvane
