// The formula text splitter: every transition, every word rule, the final check and robustness.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/expect_error.hpp"
#include "talvane/foundation/enums.hpp"
#include "talvane/formula/parse_item.hpp"

namespace talvane {
namespace {

using Items = std::vector<std::string>;

// Cuts the whole text with the cursor form.
Items CutWithView(std::string_view text) {
  Items items;
  while (!text.empty()) items.push_back(ParseItem(text));
  return items;
}

// Cuts the whole text with the form that erases from a string.
Items CutWithString(std::string text) {
  Items items;
  while (!text.empty()) items.push_back(ParseItem(text));
  return items;
}

struct CutCase {
  std::string text;
  Items items;
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << "text \"" << c.text << '"'; }

class ParseItemCuts : public testing::TestWithParam<CutCase> {};

TEST_P(ParseItemCuts, IntoTheseItems) {
  EXPECT_EQ(CutWithView(GetParam().text), GetParam().items);
  EXPECT_EQ(CutWithString(GetParam().text), GetParam().items);
}

// A text that fails: the items cut before the failure and the text left when it failed.
struct FailCase {
  std::string text;
  Items before;
  std::string restAtFailure;
};

void PrintTo(const FailCase& c, std::ostream* os) { *os << "text \"" << c.text << '"'; }

class ParseItemFails : public testing::TestWithParam<FailCase> {};

TEST_P(ParseItemFails, WithTheSyntaxErrorLosingOnlyWhatItConsumed) {
  const FailCase& c = GetParam();
  std::string_view view = c.text;
  std::string text = c.text;
  for (const std::string& expected : c.before) {
    ASSERT_EQ(ParseItem(view), expected);
    ASSERT_EQ(ParseItem(text), expected);
  }
  EXPECT_TALVANE_ERROR(ParseItem(view), kParseItemError, "ModOmbrel ParseItem", "Invalid syntax for item");
  EXPECT_TALVANE_ERROR(ParseItem(text), kParseItemError, "ModOmbrel ParseItem", "Invalid syntax for item");
  EXPECT_EQ(view, c.restAtFailure);
  EXPECT_EQ(text, c.restAtFailure);
}

// Rows of the transition table, one instantiation per character class.

INSTANTIATE_TEST_SUITE_P(ArithmeticSigns, ParseItemCuts, testing::Values(
    CutCase{"+", {"+"}},
    CutCase{"++-*", {"+", "+", "-", "*"}},           // an operator is done at once
    CutCase{"5+3", {"5", "+", "3"}},                  // ends a number
    CutCase{"-5", {"-", "5"}},                        // there is no sign
    CutCase{"a.b*2", {"a.b", "*", "2"}},              // ends a field reference
    CutCase{">=-1", {">=", "-", "1"}},                // ends a comparison
    CutCase{"12:30-01/02-", {"12:30", "-", "01/02", "-"}},
    CutCase{"\"a+b-c*d\"", {"\"a+b-c*d\""}}));        // a string takes them

INSTANTIATE_TEST_SUITE_P(Letters, ParseItemCuts, testing::Values(
    CutCase{"abc.def", {"abc.def"}},                  // start a word, the word and the reference go on
    CutCase{"5abc.d", {"5", "abc.d"}},                // end a number
    CutCase{"+a.b", {"+", "a.b"}},                    // end an operator
    CutCase{"=a.b", {"=", "a.b"}},                    // end a comparison
    CutCase{"12:30x.y", {"12:30", "x.y"}},            // end a time
    CutCase{"01/02x.y", {"01/02", "x.y"}},            // end a date
    CutCase{"(x.y", {"(", "x.y"}},
    CutCase{"\"abc\"", {"\"abc\""}}));

INSTANTIATE_TEST_SUITE_P(Digits, ParseItemCuts, testing::Values(
    CutCase{"123", {"123"}},
    CutCase{"a1.b2", {"a1.b2"}},                      // word and field reference take digits
    CutCase{"12:305", {"12:305"}},                    // a time takes digits (validity is checked later)
    CutCase{"01/02/2003", {"01/02/2003"}},
    CutCase{"=5", {"=", "5"}},                        // end a comparison
    CutCase{"(5)", {"(", "5", ")"}},
    CutCase{",5", {",", "5"}},
    CutCase{"true(5", {"true", "5"}}));               // a boolean is done

INSTANTIATE_TEST_SUITE_P(Colons, ParseItemCuts, testing::Values(
    CutCase{"12:30", {"12:30"}},                      // a number becomes a time
    CutCase{"12:30:45", {"12:30", "45"}},             // the second colon is dropped
    CutCase{"a.b:c.d", {"a.b", "c.d"}},               // dropped after a reference
    CutCase{"=:5", {"=", "5"}},                       // and after a comparison
    CutCase{"01/02:5", {"01/02", "5"}},               // and after a date
    CutCase{"in:5", {"in", "5"}},                     // and after a word
    CutCase{"\"a:b\"", {"\"a:b\""}}));

INSTANTIATE_TEST_SUITE_P(Slashes, ParseItemCuts, testing::Values(
    CutCase{"//", {"/", "/"}},                        // an operator of its own
    CutCase{"01/02/2003", {"01/02/2003"}},            // a number becomes a date, a date goes on
    CutCase{"1.5/2", {"1.5/2"}},
    CutCase{"a.b/2", {"a.b", "/", "2"}},              // ends a reference
    CutCase{"12:30/2", {"12:30", "/", "2"}},          // ends a time
    CutCase{">/", {">", "/"}},
    CutCase{"\"a/b\"", {"\"a/b\""}}));

INSTANTIATE_TEST_SUITE_P(Commas, ParseItemCuts, testing::Values(
    CutCase{",,", {",", ","}},
    CutCase{"1,2", {"1", ",", "2"}},
    CutCase{"a.b,c.d", {"a.b", ",", "c.d"}},
    CutCase{"\"a, b\"", {"\"a, b\""}}));

INSTANTIATE_TEST_SUITE_P(Quotes, ParseItemCuts, testing::Values(
    CutCase{"\"x\"", {"\"x\""}},
    CutCase{"\"a\"\"b\"", {"\"a\"", "\"b\""}},        // the closing quote ends the item
    CutCase{"\"\"", {"\"\""}},
    CutCase{"5\"a\"", {"5", "\"a\""}},                // a quote ends a number
    CutCase{"a.b\"x\"", {"a.b", "\"x\""}},
    CutCase{"=\"x\"", {"=", "\"x\""}},
    CutCase{"\"a, b (c) [d] <> 'e' _ \t\"", {"\"a, b (c) [d] <> 'e' _ \t\""}}));

INSTANTIATE_TEST_SUITE_P(Dots, ParseItemCuts, testing::Values(
    CutCase{"12.5", {"12.5"}},
    CutCase{"Orders.Amount", {"Orders.Amount"}},      // a word becomes a reference
    CutCase{"12:30.5", {"12:30", "5"}},               // dropped after a time
    CutCase{"01/02.5", {"01/02", "5"}},               // and after a date
    CutCase{">=.5", {">=", "5"}},                     // and after a comparison
    CutCase{"\"a.b.c\"", {"\"a.b.c\""}}));

INSTANTIATE_TEST_SUITE_P(ComparisonSigns, ParseItemCuts, testing::Values(
    CutCase{"Orders.Amount>=100", {"Orders.Amount", ">=", "100"}},
    CutCase{"<>", {"<>"}},
    CutCase{"=<>==", {"=<>=="}},                      // any run is one item
    CutCase{"5=3", {"5", "=", "3"}},
    CutCase{"\"a=b\"", {"\"a=b\""}}));

INSTANTIATE_TEST_SUITE_P(Parentheses, ParseItemCuts, testing::Values(
    CutCase{"((", {"(", "("}},
    CutCase{"))", {")", ")"}},
    CutCase{"5(", {"5", "("}},
    CutCase{"a.b)", {"a.b", ")"}},
    CutCase{"(1+2)*3", {"(", "1", "+", "2", ")", "*", "3"}},
    CutCase{"\"(x)\"", {"\"(x)\""}}));

INSTANTIATE_TEST_SUITE_P(Blanks, ParseItemCuts, testing::Values(
    CutCase{"   5", {"5"}},                                             // skipped at the start
    CutCase{"Orders.Amount   =   5", {"Orders.Amount", "=", "5"}},
    CutCase{"\" a  b \"", {"\" a  b \""}},                              // kept in a string
    CutCase{"[Order Lines].[Unit Price]", {"[Order Lines].[Unit Price]"}},  // kept inside brackets
    CutCase{"a.b c.d", {"a.b", "c.d"}},                                  // end a reference
    CutCase{"1 2", {"1", "2"}},
    CutCase{"> =", {">", "="}},
    CutCase{"Order Lines.Qty", {"OrderLines.Qty"}},                      // dropped between words
    CutCase{"5 ", {"5"}}));

INSTANTIATE_TEST_SUITE_P(Brackets, ParseItemCuts, testing::Values(
    CutCase{"[Orders].[ID]", {"[Orders].[ID]"}},
    CutCase{"[Orders].ID", {"[Orders].ID"}},
    CutCase{"Orders.[ID]", {"Orders.[ID]"}},            // "[" right after the dot of a plain reference
    CutCase{"[Orders.ID]", {"[Orders.ID]"}},
    CutCase{"[A1].[B2] = 1", {"[A1].[B2]", "=", "1"}},
    CutCase{"\"[]][\"", {"\"[]][\""}}));

// Word rules: what a word followed by "(" or by a blank becomes.
INSTANTIATE_TEST_SUITE_P(WordRules, ParseItemCuts, testing::Values(
    CutCase{"IN(1, 2)", {"IN", "1", ",", "2", ")"}},        // the "(" is swallowed
    CutCase{"IN (1, 2)", {"IN", "(", "1", ",", "2", ")"}},
    CutCase{"between(1", {"between", "1"}},
    CutCase{"Between 1 AND 2", {"Between", "1", "AND", "2"}},
    CutCase{"like \"a%\"", {"like", "\"a%\""}},
    CutCase{"like x.y", {"like", "x.y"}},                     // LIKE ends on a blank
    CutCase{"Not Like x.y", {"Not Like", "x.y"}},
    CutCase{"not  like \"a\"", {"not like", "\"a\""}},     // one blank kept, the second dropped
    CutCase{"NOT LIKE", {"NOT LIKE"}},
    CutCase{"1 and 2", {"1", "and", "2"}},
    CutCase{"SUM(Lines.Qty)", {"SUM(", "Lines.Qty", ")"}},
    CutCase{"count (Lines.Qty)", {"count(", "Lines.Qty", ")"}},
    CutCase{"Max  (a.b)", {"Max(", "a.b", ")"}},
    CutCase{"min(a.b) avg(a.b) total(a.b)", {"min(", "a.b", ")", "avg(", "a.b", ")", "total(", "a.b", ")"}},
    CutCase{"TRUE(", {"TRUE"}},                               // the "(" is swallowed
    CutCase{"false 1", {"false", "1"}},
    CutCase{"True", {"True"}},
    CutCase{"in", {"in"}},
    CutCase{"AND", {"AND"}},
    CutCase{"sum x.y", {"sumx.y"}},                           // an aggregate name not followed by "(" goes on
    CutCase{"My Table.MyField", {"MyTable.MyField"}}));

// Typical whole formulas.
INSTANTIATE_TEST_SUITE_P(Formulas, ParseItemCuts, testing::Values(
    CutCase{"[Orders].[Ship Date] BETWEEN 01/01/2003 AND 31/12/2003",
            {"[Orders].[Ship Date]", "BETWEEN", "01/01/2003", "AND", "31/12/2003"}},
    CutCase{"Orders.Status IN(1, 2, 3)", {"Orders.Status", "IN", "1", ",", "2", ",", "3", ")"}},
    CutCase{"SUM(Lines.Qty) > 10", {"SUM(", "Lines.Qty", ")", ">", "10"}},
    CutCase{"Orders.Name LIKE \"A%\"", {"Orders.Name", "LIKE", "\"A%\""}},
    CutCase{"Orders.Paid = TRUE", {"Orders.Paid", "=", "TRUE"}}));

INSTANTIATE_TEST_SUITE_P(StartOfItem, ParseItemFails, testing::Values(
    FailCase{":5", {}, ":5"},                  // a colon cannot start an item
    FailCase{".5", {}, ".5"},                  // nor can a dot
    FailCase{"(.5", {"("}, ".5"},
    FailCase{"]", {}, "]"},
    FailCase{"/:5", {"/"}, ":5"},              // "/" is done at once: the colon starts an item
    FailCase{"*.5", {"*"}, ".5"},
    FailCase{"", {}, ""},
    FailCase{"   ", {}, ""}));                 // nothing but blanks

INSTANTIATE_TEST_SUITE_P(SecondDot, ParseItemFails, testing::Values(
    FailCase{"12.5.3", {}, ".3"},
    FailCase{"a.b.c", {}, ".c"},
    FailCase{"Orders.ID.[X]", {}, ".[X]"},
    FailCase{"[Orders].[A.B]", {}, ".B]"}));  // a dot inside brackets counts too

INSTANTIATE_TEST_SUITE_P(MisplacedBrackets, ParseItemFails, testing::Values(
    FailCase{"[A][B]", {}, "[B]"},
    FailCase{"a.b[c]", {}, "[c]"},
    FailCase{"[a[b].c", {}, "[b].c"},
    FailCase{"ab[c]", {}, "[c]"},
    FailCase{"5[", {}, "["},
    FailCase{"=[a].b", {}, "[a].b"},
    FailCase{"a.b]", {}, "]"},
    FailCase{"[a]]", {}, "]"},
    FailCase{"5]", {}, "]"},
    FailCase{"abc]", {}, "]"}));

INSTANTIATE_TEST_SUITE_P(WordBeforeParenthesis, ParseItemFails, testing::Values(
    FailCase{"abc(", {}, "("},
    FailCase{"LIKE(", {}, "("},
    FailCase{"not like(", {}, "("},
    FailCase{"and(", {}, "("},
    FailCase{"NOT(", {}, "("},
    FailCase{"not (", {}, "("}));

INSTANTIATE_TEST_SUITE_P(ForeignCharacters, ParseItemFails, testing::Values(
    FailCase{"ab_c.d", {}, "_c.d"},
    FailCase{"'x'", {}, "'x'"},
    FailCase{"5\t", {}, "\t"},
    FailCase{"a.b\r\n", {}, "\r\n"},
    FailCase{"[A B_].x", {}, "_].x"},          // inside brackets too
    FailCase{"caf\xc3\xa9.x", {}, "\xc3\xa9.x"},
    FailCase{std::string("a\0b", 3), {}, std::string("\0b", 2)},
    FailCase{std::string("\"a\0b\"", 5), {}, std::string("\0b\"", 3)},  // a string refuses NUL, which ends C strings
    FailCase{"5;", {}, ";"}));

INSTANTIATE_TEST_SUITE_P(FinalCheck, ParseItemFails, testing::Values(
    FailCase{"Amount", {}, ""},                // a bare word
    FailCase{"Amount = 5", {}, "= 5"},         // a word ended by another character
    FailCase{"abc\"x\"", {}, "\"x\""},
    FailCase{"abc:", {}, ""},
    FailCase{"NOT", {}, ""},
    FailCase{"not ", {}, ""},
    FailCase{"SUM", {}, ""},
    FailCase{"\"abc", {}, ""},                 // unclosed string
    FailCase{"[Orders]", {}, ""},              // no dot
    FailCase{"[Orders].[ID", {}, ""},          // bracket left open
    FailCase{"[Orders] = 1", {}, "= 1"},
    FailCase{"My Table.My Field", {"MyTable.My"}, ""}));  // blanks join words only before the dot

TEST(ParseItemRemainder, KeepsTheCharacterThatEndedTheItem) {
  std::string rest = "Orders.Amount>=100";
  EXPECT_EQ(ParseItem(rest), "Orders.Amount");
  EXPECT_EQ(rest, ">=100");
  std::string_view view = "12:30:45";
  EXPECT_EQ(ParseItem(view), "12:30");
  EXPECT_EQ(view, "45");
}

TEST(ParseItemRemainder, SwallowsTheSeparatingBlankAndTheParenthesisAfterIn) {
  std::string rest = "IN(1, 2)";
  EXPECT_EQ(ParseItem(rest), "IN");
  EXPECT_EQ(rest, "1, 2)");
  rest = "5 , 6";
  EXPECT_EQ(ParseItem(rest), "5");
  EXPECT_EQ(rest, ", 6");
}

TEST(ParseItemRemainder, ConsumedCountGivesTheItemPositions) {
  const std::string_view text = "Orders.Amount  >= 100";
  std::string_view rest = text;
  std::vector<std::size_t> positions;
  while (!rest.empty()) {
    positions.push_back(text.size() - rest.size());
    ParseItem(rest);
  }
  EXPECT_EQ(positions, (std::vector<std::size_t>{0, 14, 18}));
}

// Every byte value, alone and after each kind of item start, ends in an item or the syntax error.
TEST(ParseItemRobustness, EveryByteEndsInAnItemOrTheSyntaxError) {
  for (int b = 0; b < 256; ++b) {
    for (const std::string prefix : {"", "a", "a.", "[a", "5", "5:", "\"", "=", "not "}) {
      std::string text = prefix + static_cast<char>(b) + "x";
      try {
        std::string_view view = text;
        while (!view.empty()) {
          const std::size_t before = view.size();
          ParseItem(view);
          ASSERT_LT(view.size(), before) << "an accepted item always consumes";
        }
      } catch (const Error& e) {
        EXPECT_EQ(e.Number(), kParseItemError);
      }
    }
  }
}

// Both forms agree on random texts drawn from the language's characters and some foreign ones.
TEST(ParseItemRobustness, BothFormsAgreeOnRandomTexts) {
  const std::string alphabet = "aZn.:/,\"=<>()[] +-*019_\t\x80\xff";
  std::mt19937 random(2024);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = 1 + static_cast<int>(random() % 20);
    for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    std::string_view view = text;
    std::string copy = text;
    for (;;) {
      std::string fromView, fromString;
      bool viewFailed = false, stringFailed = false;
      try { fromView = ParseItem(view); } catch (const Error&) { viewFailed = true; }
      try { fromString = ParseItem(copy); } catch (const Error&) { stringFailed = true; }
      ASSERT_EQ(viewFailed, stringFailed) << text;
      ASSERT_EQ(fromView, fromString) << text;
      ASSERT_EQ(view, copy) << text;
      if (viewFailed || view.empty()) break;
    }
  }
}

TEST(ParseItemRobustness, CutsAMegabyteTextIntoItsItems) {
  std::string text;
  const std::string piece = "[Order Lines].[Unit Price] * 1.5 >= SUM(Lines.Qty) ,";
  while (text.size() < (1u << 20)) text += piece;
  std::string_view rest = text;
  std::size_t items = 0;
  while (!rest.empty()) {
    ParseItem(rest);
    ++items;
  }
  EXPECT_EQ(items, 8 * (text.size() / piece.size()));
}

TEST(ParseItemRobustness, LongBlankSeparatedWordsFailCleanly) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "ab ";
  std::string_view rest = text;
  EXPECT_THROW(ParseItem(rest), Error);
  EXPECT_TRUE(rest.empty());
}

}  // namespace
}  // namespace talvane
