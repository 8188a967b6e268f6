#include "talvane/formula/parse_item.hpp"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "formula/char_kind.hpp"
#include "formula/item_keyword.hpp"
#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

using detail::CharKind;
using detail::Keyword;
using detail::KindOf;
using detail::MatchKeyword;
using detail::Packed;

// What a character that cannot go on an operand does to it: the operand ends and the character is dropped
// (the colon, the dot and the blank), left in place to begin the next item, or it is a syntax error.
enum class Ending { Drop, Leave, Fail };

Ending EndingBy(char c) {
  switch (KindOf(c)) {
    case CharKind::Colon: case CharKind::Dot: case CharKind::Blank: return Ending::Drop;
    case CharKind::OpenBracket: case CharKind::CloseBracket: case CharKind::Other: return Ending::Fail;
    default: return Ending::Leave;
  }
}

// The characters that go on a word or a field reference, by table: one look-up and one test per character in
// the splitter's busiest loop.
constexpr std::array<bool, 256> kLetterOrDigit = [] {
  std::array<bool, 256> table{};
  for (std::size_t c = 0; c < table.size(); ++c) {
    table[c] = detail::kCharKinds[c] == CharKind::Letter || detail::kCharKinds[c] == CharKind::Digit;
  }
  return table;
}();

[[noreturn]] void RaiseSyntaxError() { Raise(kParseItemError, "ModOmbrel ParseItem", "Invalid syntax for item"); }

// Cuts one item off the front of the text. The first character picks the kind of item; each kind then runs
// straight through its characters (runs of letters, digits or string characters in tight loops) and decides
// only at the character that does not simply go on. The item is a view of the text until a blank dropped
// between words (the blank of "Order Lines") makes it a string of its own.
class ItemScanner {
 public:
  explicit ItemScanner(std::string_view& rest)
      : rest_(rest), at_(rest.data()), end_(rest.data() + rest.size()), segment_(at_) {}

  std::string Cut() {
    while (at_ != end_ && *at_ == ' ') ++at_;  // blanks before an item are skipped
    if (at_ == end_) Fail();
    segment_ = at_;
    switch (KindOf(*at_)) {
      case CharKind::Letter: return Word();
      case CharKind::Digit: return Number();
      case CharKind::ComparisonSign: return Comparison();
      case CharKind::Quote: return String();
      case CharKind::OpenBracket:
        ++at_;
        return FieldRef(/*inBrackets=*/true, /*dotSeen=*/false);
      case CharKind::Arithmetic: case CharKind::Slash: case CharKind::Comma:
      case CharKind::OpenParenthesis: case CharKind::CloseParenthesis:
        ++at_;  // an item of its own
        return Take(at_);
      default:
        Fail();  // a colon, a dot, "]" or a foreign character cannot begin an item
    }
  }

 private:
  bool AtLetterOrDigit() const { return kLetterOrDigit[static_cast<unsigned char>(*at_)]; }
  void SkipLettersAndDigits() {
    while (at_ != end_ && AtLetterOrDigit()) ++at_;
  }
  void SkipDigits() {
    while (at_ != end_ && KindOf(*at_) == CharKind::Digit) ++at_;
  }
  bool At(char c) const { return at_ != end_ && *at_ == c; }

  // A word: letters and digits, blanks between words dropped (NOT keeps its blank). It becomes a field
  // reference at a dot; it is an item only as a keyword.
  std::string Word() {
    for (;;) {
      SkipLettersAndDigits();
      if (at_ == end_) return EndOperand(StandsAlone(WordKeyword()));
      switch (KindOf(*at_)) {
        case CharKind::Dot:
          ++at_;
          return FieldRef(/*inBrackets=*/false, /*dotSeen=*/true);
        case CharKind::OpenParenthesis:
          return WordBeforeParenthesis();
        case CharKind::Blank:
          switch (const Keyword keyword = WordKeyword()) {
            case Keyword::Not: ++at_; continue;  // "NOT LIKE" is one item
            case Keyword::None: case Keyword::Aggregate: DropCharacter(); continue;
            default: return EndOperand(StandsAlone(keyword));
          }
        default:
          return EndOperand(StandsAlone(WordKeyword()));
      }
    }
  }

  // Words that are an item of their own when something other than "(" ends them.
  static bool StandsAlone(Keyword keyword) {
    return keyword == Keyword::InOrBetween || keyword == Keyword::Like || keyword == Keyword::And ||
           keyword == Keyword::Boolean;
  }

  // A word followed directly by "(": only IN, BETWEEN, TRUE and FALSE (which swallow it) and the aggregates
  // (which keep it: "SUM(") may be.
  std::string WordBeforeParenthesis() {
    switch (WordKeyword()) {
      case Keyword::InOrBetween: case Keyword::Boolean:
        ++at_;
        return Take(at_ - 1);
      case Keyword::Aggregate:
        ++at_;
        return Take(at_);
      default:
        Fail();
    }
  }

  // A field reference: names, bracketed or not, around one dot. A blank goes on only inside brackets; "["
  // opens only at the start or right after the dot, outside brackets.
  std::string FieldRef(bool inBrackets, bool dotSeen) {
    for (;;) {
      SkipLettersAndDigits();
      if (at_ == end_) break;
      const char c = *at_;
      if (c == '.') {
        if (dotSeen) Fail();
        dotSeen = true;
      } else if (c == '[') {
        if (inBrackets || at_[-1] != '.') Fail();
        inBrackets = true;
      } else if (c == ']') {
        if (!inBrackets) Fail();
        inBrackets = false;
      } else if (c != ' ' || !inBrackets) {
        break;
      }
      ++at_;
    }
    return EndOperand(!inBrackets && dotSeen);
  }

  // A number, with one dot; a colon makes it a time, a slash a date.
  std::string Number() {
    bool dotSeen = false;
    for (;;) {
      SkipDigits();
      if (At('.')) {
        if (dotSeen) Fail();
        dotSeen = true;
      } else if (At(':')) {
        ++at_;
        SkipDigits();  // a time: a second colon ends it
        break;
      } else if (At('/')) {
        ++at_;
        return Date();
      } else {
        break;
      }
      ++at_;
    }
    return EndOperand();
  }

  // The rest of a date: digit groups between slashes.
  std::string Date() {
    for (SkipDigits(); At('/'); SkipDigits()) ++at_;
    return EndOperand();
  }

  // A run of comparison signs is one item, whatever it spells.
  std::string Comparison() {
    while (at_ != end_ && KindOf(*at_) == CharKind::ComparisonSign) ++at_;
    return EndOperand();
  }

  // A string takes anything up to its closing quote but a NUL byte: the literal ends up in a statement that
  // hosts hand on as a C string, which a NUL would cut short.
  std::string String() {
    ++at_;
    while (at_ != end_ && *at_ != '"' && *at_ != '\0') ++at_;
    if (at_ == end_ || *at_ == '\0') Fail();
    ++at_;
    return Take(at_);
  }

  // The operand ends in front of the current character, which is dropped, left for the next item, or a
  // syntax error; `accepted` tells whether what was collected is an item at all.
  std::string EndOperand(bool accepted = true) {
    const char* const itemEnd = at_;
    if (at_ != end_) {
      switch (EndingBy(*at_)) {
        case Ending::Fail: Fail();
        case Ending::Drop: ++at_; break;
        case Ending::Leave: break;
      }
    }
    if (!accepted) Fail();
    return Take(itemEnd);
  }

  // The keyword the word collected so far is, if any.
  Keyword WordKeyword() {
    if (!apart_.empty()) {
      apart_.append(segment_, at_);
      segment_ = at_;
    }
    const std::string_view word = apart_.empty() ? std::string_view(segment_, static_cast<std::size_t>(at_ - segment_))
                                                 : std::string_view(apart_);
    if (word.size() < 2 || word.size() > 8) return Keyword::None;
    return MatchKeyword(word.size(), Packed(word));
  }

  // Drops the current character from the middle of the item: the item is a string of its own from now on.
  void DropCharacter() {
    apart_.append(segment_, at_);
    segment_ = ++at_;
  }

  // The item, ending at `itemEnd`; the text goes on from the current character.
  std::string Take(const char* itemEnd) {
    rest_.remove_prefix(static_cast<std::size_t>(at_ - rest_.data()));
    if (apart_.empty()) return std::string(segment_, itemEnd);
    apart_.append(segment_, itemEnd);
    return std::move(apart_);
  }

  // A syntax error at the current character: the text is left there.
  [[noreturn]] void Fail() {
    rest_.remove_prefix(static_cast<std::size_t>(at_ - rest_.data()));
    RaiseSyntaxError();
  }

  std::string_view& rest_;
  const char* at_;
  const char* const end_;
  const char* segment_;  // where the part of the item that still stands in the text begins
  std::string apart_;    // what comes before it, once a dropped blank has made the item a string of its own
};

}  // namespace

std::string ParseItem(std::string_view& rest) { return ItemScanner(rest).Cut(); }

std::string ParseItem(std::string& rest) {
  std::string_view view(rest);
  std::string item;
  try {
    item = ParseItem(view);
  } catch (...) {
    rest.erase(0, rest.size() - view.size());  // a failing call still loses what it consumed
    throw;
  }
  rest.erase(0, rest.size() - view.size());
  return item;
}

}  // namespace talvane
