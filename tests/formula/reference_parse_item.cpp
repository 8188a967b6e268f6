// The splitter as it stood before its straight-line rewrite, kept as the reference that the differential test
// compares the library's splitter with. Test-only: it is never shipped.
#include "formula/reference_parse_item.hpp"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::reference {

namespace {

enum class State { Start, Operator, String, Separator, Group, Comparison, FieldRef, Time, Number, Date, Boolean, Word };

// What to do with the character in front of the remaining text.
enum class Action {
  Append,  // add it to the item and consume it
  Skip,    // consume it without adding it
  End,     // leave it in place: it begins the next item
  Fail,    // syntax error
};

// Words that change how an item goes on or ends.
enum class Keyword { None, InOrBetween, Like, And, Not, Aggregate, Boolean };

// A word of 2 to 8 characters packed into one number, letters folded to lower case. A word holds letters,
// digits and, in "NOT LIKE", one blank: setting the 0x20 bit folds letters and leaves digits and the blank as
// they are, so one comparison per keyword of the word's length decides.
constexpr std::uint64_t PackedByBytes(std::string_view word) {
  std::uint64_t packed = 0;
  for (std::size_t i = 0; i < word.size(); ++i) {
    packed |= static_cast<std::uint64_t>(static_cast<unsigned char>(word[i]) | 0x20u) << (8 * i);
  }
  return packed;
}

template <typename Unsigned>
std::uint64_t Load(const char* at) {
  Unsigned value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// The same number from two loads that overlap in the middle of the word (its first and last 2 or 4 bytes):
// a byte read twice lands on the same place both times.
constexpr std::uint64_t Packed(std::string_view word) {
  if (std::is_constant_evaluated() || std::endian::native != std::endian::little) return PackedByBytes(word);
  const std::size_t n = word.size();
  const std::uint64_t packed = n >= 4 ? Load<std::uint32_t>(word.data()) | Load<std::uint32_t>(word.data() + n - 4) << (8 * (n - 4))
                                      : Load<std::uint16_t>(word.data()) | Load<std::uint16_t>(word.data() + n - 2) << (8 * (n - 2));
  return packed | (0x2020202020202020u >> (8 * (8 - n)));
}

// The keyword a word of 2 to 8 characters is, given the word packed.
Keyword MatchKeyword(std::size_t size, std::uint64_t word) {
  switch (size) {
    case 2:
      return word == Packed("in") ? Keyword::InOrBetween : Keyword::None;
    case 3:
      if (word == Packed("and")) return Keyword::And;
      if (word == Packed("not")) return Keyword::Not;
      return word == Packed("sum") || word == Packed("max") || word == Packed("min") || word == Packed("avg")
                 ? Keyword::Aggregate
                 : Keyword::None;
    case 4:
      if (word == Packed("like")) return Keyword::Like;
      return word == Packed("true") ? Keyword::Boolean : Keyword::None;
    case 5:
      if (word == Packed("false")) return Keyword::Boolean;
      return word == Packed("count") || word == Packed("total") ? Keyword::Aggregate : Keyword::None;
    case 7:
      return word == Packed("between") ? Keyword::InOrBetween : Keyword::None;
    case 8:
      return word == Packed("not like") ? Keyword::Like : Keyword::None;
    default:
      return Keyword::None;
  }
}

// What each character is to the cutter, by table: one look-up decides which handler takes it.
enum class CharKind : unsigned char {
  Other,  // tabs, line breaks, control and non-ASCII bytes, _ ' ; and so on: a syntax error
  Letter, Digit, Arithmetic, Colon, Slash, Comma, Quote, Dot, ComparisonSign, OpenParenthesis, CloseParenthesis,
  Blank, OpenBracket, CloseBracket,
};

constexpr std::array<CharKind, 256> kCharKinds = [] {
  std::array<CharKind, 256> kinds{};
  const auto set = [&kinds](std::string_view chars, CharKind kind) {
    for (const char c : chars) kinds[static_cast<unsigned char>(c)] = kind;
  };
  set("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", CharKind::Letter);
  set("0123456789", CharKind::Digit);
  set("+-*", CharKind::Arithmetic);
  set(":", CharKind::Colon);
  set("/", CharKind::Slash);
  set(",", CharKind::Comma);
  set("\"", CharKind::Quote);
  set(".", CharKind::Dot);
  set("=<>", CharKind::ComparisonSign);
  set("(", CharKind::OpenParenthesis);
  set(")", CharKind::CloseParenthesis);
  set(" ", CharKind::Blank);
  set("[", CharKind::OpenBracket);
  set("]", CharKind::CloseBracket);
  return kinds;
}();

CharKind KindOf(char c) { return kCharKinds[static_cast<unsigned char>(c)]; }
// Characters that form an item of their own when an item begins with them: arithmetic signs, the slash, the
// comma and parentheses. The cutter would take them the same way; most formulas hold many of them.
bool IsItemOfItsOwn(char c) {
  switch (KindOf(c)) {
    case CharKind::Arithmetic: case CharKind::Slash: case CharKind::Comma:
    case CharKind::OpenParenthesis: case CharKind::CloseParenthesis:
      return true;
    default:
      return false;
  }
}
bool IsLetterOrDigit(char c) { return KindOf(c) == CharKind::Letter || KindOf(c) == CharKind::Digit; }

// The characters of an item. While they stand side by side in the input the item is a view of it; a
// character skipped in the middle (the blank of "Order Lines") makes it a string of its own from then on.
class ItemText {
 public:
  ItemText(const char* input, std::size_t start) : input_(input), begin_(start), end_(start) {}

  void Append(std::size_t position, std::size_t length) {
    if (position == end_) {
      end_ += length;
    } else {
      AppendApart(position, length);
    }
  }
  std::string_view View() const { return copied_ ? std::string_view(text_) : std::string_view(input_ + begin_, end_ - begin_); }

  Keyword AsKeyword() const {
    const std::string_view word = View();
    if (word.size() < 2 || word.size() > 8) return Keyword::None;
    return MatchKeyword(word.size(), Packed(word));
  }

  std::string Take() { return copied_ ? std::move(text_) : std::string(View()); }

 private:
  void AppendApart(std::size_t position, std::size_t length) {
    if (!copied_) {
      text_.assign(input_ + begin_, end_ - begin_);
      copied_ = true;
      end_ = kApart;
    }
    text_.append(input_ + position, length);
  }

  // The end of a copied item: no position of the input follows it.
  static constexpr std::size_t kApart = static_cast<std::size_t>(-1);

  const char* input_;
  std::size_t begin_;
  std::size_t end_;
  bool copied_ = false;
  std::string text_;
};

// The state of one call: the item collected so far, its state and the four flags.
class ItemCutter {
 public:
  ItemCutter(const char* input, std::size_t start) : item_(input, start) {}

  Action Decide(char ch) {
    // A string takes anything but its quote and a NUL byte: the literal ends up in a statement that hosts hand
    // on as a C string, which a NUL would cut short.
    if (state_ == State::String && ch != '"' && ch != '\0') return Action::Append;
    switch (KindOf(ch)) {
      case CharKind::Letter: return OnLetter();
      case CharKind::Digit: return OnDigit();
      case CharKind::Arithmetic: return OnArithmetic();
      case CharKind::Colon: return OnColon();
      case CharKind::Slash: return OnSlash();
      case CharKind::Comma: return OnComma();
      case CharKind::Quote: return OnQuote();
      case CharKind::Dot: return OnDot();
      case CharKind::ComparisonSign: return OnComparisonSign();
      case CharKind::OpenParenthesis: return OnOpenParenthesis();
      case CharKind::CloseParenthesis: return StartOnly(State::Group);
      case CharKind::Blank: return OnBlank();
      case CharKind::OpenBracket: return OnOpenBracket();
      case CharKind::CloseBracket: return OnCloseBracket();
      case CharKind::Other: break;
    }
    return Action::Fail;
  }

  ItemText& Item() { return item_; }
  bool Done() const { return done_; }

  // How many characters from `position` on are appended as they stand, without any decision: the rest of a
  // string up to its quote, or the letters and digits that go on a word, a field reference or a number.
  std::size_t PlainRun(std::string_view input, std::size_t position) const {
    std::size_t i = position;
    switch (state_) {
      case State::String:
        while (i < input.size() && input[i] != '"' && input[i] != '\0') ++i;
        break;
      case State::Word: case State::FieldRef:
        while (i < input.size() && IsLetterOrDigit(input[i])) ++i;
        break;
      case State::Number: case State::Time: case State::Date:
        while (i < input.size() && KindOf(input[i]) == CharKind::Digit) ++i;
        break;
      default:
        break;
    }
    return i - position;
  }

  bool Accepted() {
    // Only a word can be a keyword: every other item has its state already.
    const Keyword keyword = state_ == State::Word ? item_.AsKeyword() : Keyword::None;
    switch (keyword) {
      case Keyword::InOrBetween: case Keyword::Like: state_ = State::Comparison; break;
      case Keyword::And: state_ = State::Separator; break;
      case Keyword::Boolean: state_ = State::Boolean; break;
      default: break;
    }
    switch (state_) {
      case State::FieldRef: return !inBrackets_ && dotSeen_;
      case State::String: return !quoteOpen_;
      case State::Start: case State::Word: return false;
      default: return true;
    }
  }

 private:
  Action Become(State next, Action action, bool done = false) {
    state_ = next;
    done_ = done;
    return action;
  }
  Action SkipAndDone() {
    done_ = true;
    return Action::Skip;
  }
  // A character that forms an item of its own when it comes first and ends any other item.
  Action StartOnly(State next) {
    return state_ == State::Start ? Become(next, Action::Append, true) : Action::End;
  }

  Action OnArithmetic() { return StartOnly(State::Operator); }

  Action OnLetter() {
    switch (state_) {
      case State::Start: return Become(State::Word, Action::Append);
      case State::Separator: case State::FieldRef: case State::Word: return Action::Append;
      default: return Action::End;
    }
  }

  Action OnDigit() {
    switch (state_) {
      case State::Start: return Become(State::Number, Action::Append);
      case State::FieldRef: case State::Time: case State::Number: case State::Date: case State::Word:
        return Action::Append;
      default: return Action::End;
    }
  }

  Action OnColon() {
    switch (state_) {
      case State::Start: return Action::Fail;
      case State::Number: return Become(State::Time, Action::Append);
      default: return SkipAndDone();  // the colon is dropped
    }
  }

  Action OnSlash() {
    switch (state_) {
      case State::Start: return Become(State::Operator, Action::Append, true);
      case State::Number: case State::Date: return Become(State::Date, Action::Append);
      default: return Action::End;
    }
  }

  Action OnComma() { return StartOnly(State::Separator); }

  Action OnQuote() {
    if (state_ == State::Start) {
      quoteOpen_ = true;
      return Become(State::String, Action::Append);
    }
    if (state_ == State::String) {
      quoteOpen_ = false;
      done_ = true;
      return Action::Append;
    }
    return Action::End;
  }

  Action OnDot() {
    switch (state_) {
      case State::Start: return Action::Fail;
      case State::FieldRef: case State::Number:
        if (dotSeen_) return Action::Fail;
        dotSeen_ = true;
        return Action::Append;
      case State::Word:
        dotSeen_ = true;
        return Become(State::FieldRef, Action::Append);
      default: return SkipAndDone();  // the dot is dropped
    }
  }

  Action OnComparisonSign() {
    if (state_ == State::Start || state_ == State::Comparison) return Become(State::Comparison, Action::Append);
    return Action::End;
  }

  Action OnOpenParenthesis() {
    if (state_ == State::Word) return WordOnOpenParenthesis();
    return StartOnly(State::Group);
  }

  Action OnBlank() {
    switch (state_) {
      case State::Start: return Action::Skip;
      case State::FieldRef: return inBrackets_ ? Action::Append : SkipAndDone();
      case State::Word: return WordOnBlank();
      default: return SkipAndDone();
    }
  }

  Action OnOpenBracket() {
    const bool afterUnbracketedDot = state_ == State::FieldRef && !inBrackets_ && item_.View().back() == '.';
    if (state_ == State::Start || afterUnbracketedDot) {
      inBrackets_ = true;
      return Become(State::FieldRef, Action::Append);
    }
    return Action::Fail;
  }

  Action OnCloseBracket() {
    if (state_ == State::FieldRef && inBrackets_) {
      inBrackets_ = false;
      return Action::Append;
    }
    return Action::Fail;
  }

  // A word followed directly by "(": only IN, BETWEEN, the aggregates, TRUE and FALSE may be.
  Action WordOnOpenParenthesis() {
    switch (item_.AsKeyword()) {
      case Keyword::InOrBetween: return Become(State::Comparison, Action::Skip, true);
      case Keyword::Aggregate: return Become(State::Group, Action::Append, true);
      case Keyword::Boolean: return Become(State::Boolean, Action::Skip, true);
      default: return Action::Fail;
    }
  }

  // A word followed by a blank: keywords end, NOT keeps its blank, any other word goes on.
  Action WordOnBlank() {
    switch (item_.AsKeyword()) {
      case Keyword::InOrBetween: case Keyword::Like: return Become(State::Comparison, Action::Skip, true);
      case Keyword::And: return Become(State::Separator, Action::Skip, true);
      case Keyword::Not: return Action::Append;
      case Keyword::Boolean: return Become(State::Boolean, Action::Skip, true);
      default: return Action::Skip;
    }
  }

  ItemText item_;
  State state_ = State::Start;
  bool done_ = false;
  bool inBrackets_ = false;
  bool dotSeen_ = false;
  bool quoteOpen_ = false;
};

[[noreturn]] void RaiseSyntaxError() { Raise(kParseItemError, "ModOmbrel ParseItem", "Invalid syntax for item"); }

}  // namespace

std::string ParseItem(std::string_view& rest) {
  std::size_t i = 0;
  while (i < rest.size() && rest[i] == ' ') ++i;  // blanks before an item are skipped
  if (i < rest.size() && IsItemOfItsOwn(rest[i])) {
    std::string item(1, rest[i]);
    rest.remove_prefix(i + 1);
    return item;
  }
  ItemCutter cutter(rest.data(), i);
  while (i < rest.size()) {
    if (const std::size_t run = cutter.PlainRun(rest, i); run > 0) {
      cutter.Item().Append(i, run);
      i += run;
      if (i == rest.size()) break;
    }
    const Action action = cutter.Decide(rest[i]);
    if (action == Action::Fail) {
      rest.remove_prefix(i);
      RaiseSyntaxError();
    }
    if (action == Action::End) break;
    if (action == Action::Append) cutter.Item().Append(i, 1);
    ++i;
    if (cutter.Done()) break;
  }
  rest.remove_prefix(i);
  if (!cutter.Accepted()) RaiseSyntaxError();
  return cutter.Item().Take();
}

}  // namespace talvane::reference
