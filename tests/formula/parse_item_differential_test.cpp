// The splitter against its earlier, state-by-state version: the same items, the same remainder after each one
// and the same error at the same place, over random texts built from every kind of item.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "formula/reference_parse_item.hpp"
#include "talvane/formula/parse_item.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {
namespace {

// One call's outcome: the item, or the error's full text; and what is left of the text either way.
struct Outcome {
  std::string item;
  std::string error;
  std::size_t left = 0;
  bool operator==(const Outcome&) const = default;
};

template <typename Splitter>
Outcome CutOne(Splitter split, std::string_view& rest) {
  Outcome outcome;
  try {
    outcome.item = split(rest);
  } catch (const Error& e) {
    outcome.error = std::to_string(e.Number()) + ' ' + e.Description();
  }
  outcome.left = rest.size();
  return outcome;
}

// Texts of items of every kind run together with blanks, foreign characters and cuts anywhere.
class TextMaker {
 public:
  explicit TextMaker(unsigned seed) : random_(seed) {}

  std::string Make() {
    std::string text;
    const int pieces = 1 + Below(10);
    for (int i = 0; i < pieces; ++i) {
      if (i > 0 || Below(10) == 0) text.append(Below(6) == 0 ? 0 : 1 + Below(2), ' ');
      text += Piece();
    }
    if (Below(10) == 0) text += ' ';  // a text that ends in a blank fails after its last item
    if (Below(6) == 0) text.resize(Below(static_cast<int>(text.size()) + 1));  // truncated anywhere
    return text;
  }

 private:
  int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  char From(std::string_view chars) { return chars[static_cast<std::size_t>(Below(static_cast<int>(chars.size())))]; }
  std::string Run(std::string_view chars, int most) {
    std::string run;
    for (int n = 1 + Below(most); n > 0; --n) run += From(chars);
    return run;
  }

  std::string Name() { return Run("abcXYZnotlike019", 7); }
  std::string Digits() { return Run("0123456789", 4); }
  std::string Keyword() {
    static const char* const kWords[] = {"in", "between", "like", "not like", "not  like", "not", "and", "sum",
                                         "count", "max", "min", "avg", "total", "true", "false", "notlike"};
    std::string word = kWords[Below(static_cast<int>(std::size(kWords)))];
    for (char& c : word) if (Below(2) == 0) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return word;
  }

  // Mostly valid items; a bare word, a misplaced dot, colon or bracket and a foreign character now and then.
  std::string Piece() {
    switch (Below(20)) {
      case 0: case 1: case 2: return Name() + "." + Name();
      case 3: case 4: return "[" + Run(Below(2) ? "ab 1" : "ab 1.,[]_(:", 6) + "]" + (Below(2) ? "." : "") + (Below(2) ? "[" + Name() + "]" : Name());
      case 5: case 6: return Digits() + (Below(2) ? "." + Digits() : "");
      case 7: return Digits() + "/" + Digits() + (Below(2) ? "/" + Digits() : "");
      case 8: return Digits() + ":" + Digits() + (Below(3) ? "" : ":" + Digits());
      case 9: return "\"" + Run("ab ,()[]:.=+'\t", 6) + (Below(8) ? "\"" : "") + (Below(10) ? "" : std::string(1, '\0'));
      case 10: return Run("+-*/", 2);
      case 11: case 12: return Run("=<>", 3);
      case 13: case 14: return Run(",()", 2);
      case 15: case 16: return Keyword() + (Below(3) ? "" : "(");
      case 17: return Name();
      case 18: return Name() + "." + Name();
      default: return Below(2) ? Run(".:[]", 2) : std::string(1, From(std::string_view("\t_';\x80\xff\r\n\0", 9)));
    }
  }

  std::mt19937 random_;
};

// Cuts `text` with both splitters to the end or the first error and reports where they part, if they do.
std::string FirstDifference(const std::string& text) {
  std::string_view current = text;
  std::string_view previous = text;
  for (;;) {
    const Outcome now = CutOne([](std::string_view& rest) { return ParseItem(rest); }, current);
    const Outcome before = CutOne([](std::string_view& rest) { return reference::ParseItem(rest); }, previous);
    if (!(now == before)) {
      return "after " + std::to_string(text.size() - before.left) + " characters: item \"" + now.item +
             "\" against \"" + before.item + "\", error \"" + now.error + "\" against \"" + before.error + '"';
    }
    if (!now.error.empty() || current.empty()) return {};
  }
}

TEST(ParseItemDifferential, CutsRandomTextsAsTheEarlierSplitterDid) {
  // TALVANE_SPLITTER_TEXTS raises the count for a long run by hand.
  const char* const wanted = std::getenv("TALVANE_SPLITTER_TEXTS");
  const long texts = wanted != nullptr ? std::atol(wanted) : 50000;
  TextMaker maker(16);
  for (long i = 0; i < texts; ++i) {
    const std::string text = maker.Make();
    const std::string difference = FirstDifference(text);
    ASSERT_TRUE(difference.empty()) << "text \"" << text << "\" " << difference;
  }
}

}  // namespace
}  // namespace talvane
