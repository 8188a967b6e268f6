#include "talvane/formula/parse_item.hpp"

#include "talvane/foundation/clean_text.hpp"
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

Keyword MatchKeyword(std::string_view item) {
  // Every keyword is at most 8 characters: the size test keeps long items from being compared at all.
  if (item.size() > 8) return Keyword::None;
  if (EqualsIgnoreCase(item, "IN") || EqualsIgnoreCase(item, "BETWEEN")) return Keyword::InOrBetween;
  if (EqualsIgnoreCase(item, "LIKE") || EqualsIgnoreCase(item, "NOT LIKE")) return Keyword::Like;
  if (EqualsIgnoreCase(item, "AND")) return Keyword::And;
  if (EqualsIgnoreCase(item, "NOT")) return Keyword::Not;
  if (EqualsIgnoreCase(item, "TRUE") || EqualsIgnoreCase(item, "FALSE")) return Keyword::Boolean;
  for (std::string_view aggregate : {"SUM", "COUNT", "MAX", "MIN", "AVG", "TOTAL"}) {
    if (EqualsIgnoreCase(item, aggregate)) return Keyword::Aggregate;
  }
  return Keyword::None;
}

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// The state of one call: the item collected so far, its state and the four flags.
class ItemCutter {
 public:
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

  std::string& Item() { return item_; }
  bool Done() const { return done_; }

  bool Accepted() {
    switch (MatchKeyword(item_)) {
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
    const bool afterUnbracketedDot = state_ == State::FieldRef && !inBrackets_ && item_.back() == '.';
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
    switch (MatchKeyword(item_)) {
      case Keyword::InOrBetween: return Become(State::Comparison, Action::Skip, true);
      case Keyword::Aggregate: return Become(State::Group, Action::Append, true);
      case Keyword::Boolean: return Become(State::Boolean, Action::Skip, true);
      default: return Action::Fail;
    }
  }

  // A word followed by a blank: keywords end, NOT keeps its blank, any other word goes on.
  Action WordOnBlank() {
    switch (MatchKeyword(item_)) {
      case Keyword::InOrBetween: case Keyword::Like: return Become(State::Comparison, Action::Skip, true);
      case Keyword::And: return Become(State::Separator, Action::Skip, true);
      case Keyword::Not: return Action::Append;
      case Keyword::Boolean: return Become(State::Boolean, Action::Skip, true);
      default: return Action::Skip;
    }
  }

  std::string item_;
  State state_ = State::Start;
  bool done_ = false;
  bool inBrackets_ = false;
  bool dotSeen_ = false;
  bool quoteOpen_ = false;
};

[[noreturn]] void RaiseSyntaxError() { Raise(kParseItemError, "ModOmbrel ParseItem", "Invalid syntax for item"); }

}  // namespace

std::string ParseItem(std::string_view& rest) {
  ItemCutter cutter;
  while (!rest.empty()) {
    const char ch = rest.front();
    const Action action = cutter.Decide(ch);
    if (action == Action::Fail) RaiseSyntaxError();
    if (action == Action::End) break;
    if (action == Action::Append) cutter.Item() += ch;
    rest.remove_prefix(1);
    if (cutter.Done()) break;
  }
  if (!cutter.Accepted()) RaiseSyntaxError();
  return std::move(cutter.Item());
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
