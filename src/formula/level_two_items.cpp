#include "formula/level_two_items.hpp"

#include "talvane/formula/classify_item.hpp"
#include "talvane/formula/parse_item.hpp"
#include "talvane/foundation/clean_text.hpp"

namespace talvane::detail {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A read position in the text with the few steps the level-2 items need.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  std::string Word() {
    const std::size_t start = at_;
    while (at_ < text_.size() && IsLetter(text_[at_])) ++at_;
    return UpperAscii(text_.substr(start, at_ - start));
  }
  std::size_t Digits() {
    const std::size_t start = at_;
    while (at_ < text_.size() && IsDigit(text_[at_])) ++at_;
    return at_ - start;
  }
  bool SkipBlanks() {
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
    return at_ > start;
  }
  bool Take(char c) {
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  // The item ends here: at the end, a blank (dropped) or a character that cannot go on a word or number.
  bool EndsItem() {
    if (at_ >= text_.size()) return true;
    const char c = text_[at_];
    if (c == ' ') {
      ++at_;
      return true;
    }
    return !IsLetter(c) && !IsDigit(c) && c != '.' && c != '[' && c != '(' && c != ':' && c != '/' && c != '"';
  }
  std::size_t At() const { return at_; }
  std::string_view Text(std::size_t from, std::size_t to) const { return text_.substr(from, to - from); }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

std::optional<std::string> NullTest(Cursor& cursor) {
  if (!cursor.SkipBlanks()) return std::nullopt;
  std::string word = cursor.Word();
  std::string item = "IS NULL";
  if (word == "NOT") {
    if (!cursor.SkipBlanks()) return std::nullopt;
    word = cursor.Word();
    item = "IS NOT NULL";
  }
  if (word != "NULL" || !cursor.EndsItem()) return std::nullopt;
  return item;
}

// NOT before IN or BETWEEN: the word is taken here, IN or BETWEEN as the splitter takes it ("IN(" with its
// parenthesis), so that NOT IN reads its list as IN does.
std::optional<std::string> NegatedComparison(Cursor& cursor, std::string_view& rest) {
  if (!cursor.SkipBlanks()) return std::nullopt;
  const std::size_t wordStart = cursor.At();
  const std::string word = cursor.Word();
  if (word != "IN" && word != "BETWEEN") return std::nullopt;
  std::string_view remainder = rest.substr(wordStart);
  std::string comparison = ParseItem(remainder);
  rest = remainder;
  return "NOT " + comparison;
}

std::optional<std::string> IsoDate(Cursor& cursor) {
  const std::size_t start = cursor.At();
  if (cursor.Digits() != 4 || !cursor.Take('-')) return std::nullopt;
  const std::size_t monthAt = cursor.At();
  if (cursor.Digits() != 2 || !cursor.Take('-')) return std::nullopt;
  const std::size_t dayAt = cursor.At();
  if (cursor.Digits() != 2) return std::nullopt;
  if (!cursor.EndsItem()) return std::nullopt;
  return std::string(cursor.Text(dayAt, dayAt + 2)) + "/" + std::string(cursor.Text(monthAt, monthAt + 2)) + "/" +
         std::string(cursor.Text(start, start + 4));
}

std::optional<std::string> NegativeNumber(Cursor& cursor) {
  const std::size_t start = cursor.At();
  if (!cursor.Take('-') || cursor.Digits() == 0) return std::nullopt;
  if (cursor.Take('.') && cursor.Digits() == 0) return std::nullopt;
  const std::size_t end = cursor.At();
  if (!cursor.EndsItem()) return std::nullopt;
  return std::string(cursor.Text(start, end));
}

// A string in which "" stands for one double quote, the empty string "" among them, cut off the front of
// `rest`; none, with `rest` untouched, when it is not closed, for the common splitter to refuse.
std::optional<std::string> QuotedString(std::string_view& rest, std::size_t start) {
  std::size_t at = start + 1;
  for (;;) {
    at = rest.find_first_of(std::string_view("\"\0", 2), at);
    if (at == std::string_view::npos || rest[at] == '\0') return std::nullopt;
    if (at + 1 >= rest.size() || rest[at + 1] != '"') break;
    at += 2;
  }
  std::string item(rest.substr(start, at + 1 - start));
  rest.remove_prefix(at + 1);
  return item;
}

}  // namespace

std::optional<std::string> CutLevelTwoItem(std::string_view& rest, bool operandExpected) {
  Cursor cursor(rest);
  cursor.SkipBlanks();
  const std::size_t start = cursor.At();
  std::optional<std::string> item;
  if (start < rest.size() && IsLetter(rest[start])) {
    const std::string word = cursor.Word();
    if (word == "IS") {
      item = NullTest(cursor);
    } else if (word == "NOT") {
      return NegatedComparison(cursor, rest);  // moves `rest` itself
    } else if ((word == "TODAY" || word == "NOW") && cursor.EndsItem()) {
      item = word;
    }
  } else if (start < rest.size() && IsDigit(rest[start])) {
    item = IsoDate(cursor);
  } else if (start < rest.size() && rest[start] == '"') {
    return QuotedString(rest, start);  // moves `rest` itself
  } else if (operandExpected && start < rest.size() && rest[start] == '-') {
    item = NegativeNumber(cursor);
  }
  if (item) rest.remove_prefix(cursor.At());
  return item;
}

std::string CutItem(std::string_view& rest, int32_t level, bool& operandExpected) {
  std::optional<std::string> levelTwoItem = level == 2 ? CutLevelTwoItem(rest, operandExpected) : std::nullopt;
  std::string item = levelTwoItem ? std::move(*levelTwoItem) : ParseItem(rest);
  if (level == 2) operandExpected = OperandMayFollow(item);
  return item;
}

std::optional<std::string> LevelTwoComparison(std::string_view item) {
  Cursor cursor(item);
  cursor.SkipBlanks();
  const std::string first = cursor.Word();
  if (first == "IS") {
    std::optional<std::string> test = NullTest(cursor);
    return test && cursor.At() == item.size() ? test : std::nullopt;
  }
  if (first != "NOT" || !cursor.SkipBlanks()) return std::nullopt;
  const std::string second = cursor.Word();
  cursor.SkipBlanks();
  if ((second != "IN" && second != "BETWEEN") || cursor.At() != item.size()) return std::nullopt;
  return "NOT " + second;
}

bool OperandMayFollow(std::string_view item) {
  if (const std::optional<std::string> comparison = LevelTwoComparison(item)) return comparison->starts_with("NOT");
  std::string copy(item);
  switch (ClassifyItem(copy)) {
    case kComparisson: case kSeperator: case kArith: return true;
    case kSection: return copy != ")";
    default: return false;
  }
}

bool IsDatabaseClock(std::string_view item) {
  const std::string upper = UpperAscii(item);
  return upper == "TODAY" || upper == "NOW";
}

}  // namespace talvane::detail
