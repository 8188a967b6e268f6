#include "talvane/formula/parse_item.hpp"

#include <array>
#include <cstddef>

#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

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

// One comparison per keyword of the item's length, on an upper-cased copy of at most 8 characters.
Keyword MatchKeyword(std::string_view item) {
  if (item.size() < 2 || item.size() > 8) return Keyword::None;
  char buffer[8];
  for (std::size_t i = 0; i < item.size(); ++i) {
    const char c = item[i];
    buffer[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  const std::string_view upper(buffer, item.size());
  switch (upper.size()) {
    case 2:
      return upper == "IN" ? Keyword::InOrBetween : Keyword::None;
    case 3:
      if (upper == "AND") return Keyword::And;
      if (upper == "NOT") return Keyword::Not;
      return upper == "SUM" || upper == "MAX" || upper == "MIN" || upper == "AVG" ? Keyword::Aggregate : Keyword::None;
    case 4:
      if (upper == "LIKE") return Keyword::Like;
      return upper == "TRUE" ? Keyword::Boolean : Keyword::None;
    case 5:
      if (upper == "FALSE") return Keyword::Boolean;
      return upper == "COUNT" || upper == "TOTAL" ? Keyword::Aggregate : Keyword::None;
    case 7:
      return upper == "BETWEEN" ? Keyword::InOrBetween : Keyword::None;
    case 8:
      return upper == "NOT LIKE" ? Keyword::Like : Keyword::None;
    default:
      return Keyword::None;
  }
}

// Letters and digits by table: the runs of names and numbers are most of a formula's text.
constexpr unsigned char kLetter = 1;
constexpr unsigned char kDigit = 2;
constexpr std::array<unsigned char, 256> kCharClasses = [] {
  std::array<unsigned char, 256> classes{};
  for (int c = 'A'; c <= 'Z'; ++c) classes[static_cast<std::size_t>(c)] = kLetter;
  for (int c = 'a'; c <= 'z'; ++c) classes[static_cast<std::size_t>(c)] = kLetter;
  for (int c = '0'; c <= '9'; ++c) classes[static_cast<std::size_t>(c)] = kDigit;
  return classes;
}();

bool IsLetter(unsigned char c) { return kCharClasses[c] == kLetter; }
bool IsDigit(unsigned char c) { return kCharClasses[c] == kDigit; }
bool IsOfClass(char c, unsigned char classes) { return (kCharClasses[static_cast<unsigned char>(c)] & classes) != 0; }

// The characters of an item. While they stand side by side in the input the item is a view of it; a
// character skipped in the middle (the blank of "Order Lines") makes it a string of its own from then on.
class ItemText {
 public:
  explicit ItemText(const char* input) : input_(input) {}

  void Append(std::size_t position, std::size_t length) {
    if (!copied_ && begin_ == end_) {
      begin_ = position;
      end_ = position + length;
    } else if (!copied_ && position == end_) {
      end_ += length;
    } else {
      if (!copied_) text_.assign(input_ + begin_, end_ - begin_);
      copied_ = true;
      text_.append(input_ + position, length);
    }
  }
  std::string_view View() const { return copied_ ? std::string_view(text_) : std::string_view(input_ + begin_, end_ - begin_); }
  std::string Take() { return copied_ ? std::move(text_) : std::string(View()); }

 private:
  const char* input_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool copied_ = false;
  std::string text_;
};

// The state of one call: the item collected so far, its state and the four flags.
class ItemCutter {
 public:
  explicit ItemCutter(const char* input) : item_(input) {}

  Action Decide(char ch) {
    // A string takes anything but its quote and a NUL byte: the literal ends up in a statement that hosts hand
    // on as a C string, which a NUL would cut short.
    if (state_ == State::String && ch != '"' && ch != '\0') return Action::Append;
    const auto c = static_cast<unsigned char>(ch);
    if (IsLetter(c)) return OnLetter();
    if (IsDigit(c)) return OnDigit();
    switch (ch) {
      case '+': case '-': case '*': return OnArithmetic();
      case ':': return OnColon();
      case '/': return OnSlash();
      case ',': return OnComma();
      case '"': return OnQuote();
      case '.': return OnDot();
      case '=': case '<': case '>': return OnComparisonSign();
      case '(': return OnOpenParenthesis();
      case ')': return StartOnly(State::Group);
      case ' ': return OnBlank();
      case '[': return OnOpenBracket();
      case ']': return OnCloseBracket();
      default: return Action::Fail;  // tabs, line breaks, control and non-ASCII bytes, _ ' ; and so on
    }
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
        while (i < input.size() && IsOfClass(input[i], kLetter | kDigit)) ++i;
        break;
      case State::Number: case State::Time: case State::Date:
        while (i < input.size() && IsOfClass(input[i], kDigit)) ++i;
        break;
      default:
        break;
    }
    return i - position;
  }

  bool Accepted() {
    // Only a word can be a keyword: every other item has its state already.
    const Keyword keyword = state_ == State::Word ? MatchKeyword(item_.View()) : Keyword::None;
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
    switch (MatchKeyword(item_.View())) {
      case Keyword::InOrBetween: return Become(State::Comparison, Action::Skip, true);
      case Keyword::Aggregate: return Become(State::Group, Action::Append, true);
      case Keyword::Boolean: return Become(State::Boolean, Action::Skip, true);
      default: return Action::Fail;
    }
  }

  // A word followed by a blank: keywords end, NOT keeps its blank, any other word goes on.
  Action WordOnBlank() {
    switch (MatchKeyword(item_.View())) {
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
  ItemCutter cutter(rest.data());
  std::size_t i = 0;
  while (i < rest.size() && rest[i] == ' ') ++i;  // blanks before an item are skipped
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
