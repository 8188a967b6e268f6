// The splitter as it stood before its straight-line rewrite (a state per item kind, a decision per character),
// kept as the reference that the differential test compares the library's splitter with; it shares the
// character classes and the keyword matching. Test-only: it is never shipped.
#include "formula/reference_parse_item.hpp"

#include <cstddef>
#include <string>
#include <string_view>

#include "formula/char_kind.hpp"
#include "formula/item_keyword.hpp"
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

using detail::CharKind;
using detail::Keyword;
using detail::KindOf;
using detail::MatchKeyword;
using detail::Packed;

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
