#include "report/warnings/formula_warnings.hpp"

#include <algorithm>
#include <cstdlib>

#include "formula/formula_tree.hpp"
#include "formula/dialect.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/date_time.hpp"

namespace talvane::detail {

namespace {

std::string TypeName(ITEMDATATYPEENUM type) {
  switch (type) {
    case kIsNumeric:
      return "a number";
    case kIsDate:
      return "a date";
    case kIsTime:
      return "a time";
    case kIsBoolean:
      return "a boolean";
    default:
      return "a text";
  }
}

bool IsOperand(ITEMTYPEENU kind) { return kind == kLiteral || kind == kField; }
bool HoldsLeaf(ITEMTYPEENU kind) { return IsOperand(kind) || kind == kArith; }

void CollectLeaves(const INode& node, std::vector<std::shared_ptr<Item>>& leaves) {
  for (int32_t i = 1; i <= node.Count(); ++i) {
    const std::shared_ptr<INode> child = node.Child(i);
    if (const auto section = tree::AsSection(child)) {
      CollectLeaves(*section, leaves);
    } else if (const auto item = tree::AsItem(child)) {
      leaves.push_back(item);
    }
  }
}

// Compares two literals of one type: below zero when `a` comes first.
int CompareLiterals(const std::string& a, const std::string& b, ITEMDATATYPEENUM type) {
  if (type == kIsNumeric) {
    const double x = std::strtod(a.c_str(), nullptr);
    const double y = std::strtod(b.c_str(), nullptr);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if (type == kIsDate) {
    CalendarDate x;
    CalendarDate y;
    if (!ParseDayFirstDate(a, x) || !ParseDayFirstDate(b, y)) return 0;
    const auto key = [](const CalendarDate& d) { return (d.year * 13 + d.month) * 32 + d.day; };
    return key(x) - key(y);
  }
  if (type == kIsBoolean) return 0;
  const std::string x = UpperAscii(a);  // texts compare without regard to case; times are HH:MM
  const std::string y = UpperAscii(b);
  return x.compare(y);
}

std::string Unquoted(const std::string& literal) {
  const bool quoted = literal.size() >= 2 && literal.front() == '"' && literal.back() == '"';
  return quoted ? literal.substr(1, literal.size() - 2) : literal;
}

// "Order Lines.Qty" as it should have been written: each part bracketed with its blanks kept.
std::string BracketedParts(std::string_view written) {
  const std::size_t dot = written.find('.');
  const auto part = [](std::string_view text) {
    std::string trimmed = StripBrackets(CleanText(text, kCleanTrimLeft | kCleanTrimRight, {}, {}, kWsAll));
    return "[" + trimmed + "]";
  };
  if (dot == std::string_view::npos) return part(written);
  return part(written.substr(0, dot)) + "." + part(written.substr(dot + 1));
}

bool HasBlankOutsideBrackets(std::string_view written) {
  bool inBrackets = false;
  for (const char c : written) {
    if (c == '[') inBrackets = true;
    if (c == ']') inBrackets = false;
    if (c == ' ' && !inBrackets) return true;
  }
  return false;
}

}  // namespace

FormulaWarnings::FormulaWarnings(const Formula& formula, std::string_view text, DATABASETYPEENU dialect)
    : text_(text), dialect_(dialect), cut_(CutIntoItems(text)) {
  std::vector<std::shared_ptr<Item>> leaves;
  CollectLeaves(formula, leaves);
  const auto leafItems = std::count_if(cut_.items.begin(), cut_.items.end(),
                                       [](const FormulaItem& item) { return HoldsLeaf(item.kind); });
  if (static_cast<std::size_t>(leafItems) != leaves.size()) return;
  std::size_t next = 0;
  for (const FormulaItem& item : cut_.items) itemOf_.push_back(HoldsLeaf(item.kind) ? leaves[next++] : nullptr);
}

std::vector<Warning> FormulaWarnings::Find() {
  if (cut_.error) return {};  // a text the formula refused has failures, not warnings
  Walk();
  CheckLiteralOnTheLeft();
  CheckBetweenBounds();
  CheckLikeWildcards();
  std::stable_sort(warnings_.begin(), warnings_.end(),
                   [](const Warning& a, const Warning& b) { return a.position < b.position; });
  return std::move(warnings_);
}

void FormulaWarnings::Walk() {
  StartOperand();
  for (const FormulaItem& item : cut_.items) {
    const bool topLevel = groups_.size() == 1;
    if (item.kind == kComparisson && topLevel) {
      comparison_ = item.text;
      // IN( opens the list that a ) at the top level closes.
      listOpen_ = comparison_ == "IN" && text_.substr(item.position, item.end - item.position).ends_with('(');
      StartOperand();
    } else if (item.kind == kSeperator && topLevel) {
      StartOperand();
    } else if (item.kind == kSection && item.text == ")") {
      CloseGroup(item);
    } else if (item.kind == kSection) {
      OpenGroup(item);
    } else if (IsOperand(item.kind)) {
      TakeOperand(item);
    }
  }
}

// A top-level operand after the first is expected to be of the first one's type.
void FormulaWarnings::StartOperand() {
  std::optional<ITEMDATATYPEENUM> expected;
  if (!groups_.empty()) expected = groups_.front().known ? groups_.front().known : groups_.front().expected;
  if (!operands_.empty()) {
    groups_.resize(1);
    groups_.front() = Group{0, {}, expected, {}, {}};
  } else {
    groups_.push_back(Group{});
  }
  operands_.emplace_back();
}

void FormulaWarnings::OpenGroup(const FormulaItem& item) {
  const Group& outer = groups_.back();
  Group group;
  group.position = item.position;
  group.function = UpperAscii(item.text.substr(0, item.text.size() - 1));
  group.expected = outer.known ? outer.known : outer.expected;
  groups_.push_back(std::move(group));
  operands_.back().items.push_back(&item);
}

void FormulaWarnings::CloseGroup(const FormulaItem& item) {
  if (groups_.size() == 1) {
    if (listOpen_) {
      listOpen_ = false;
      return;
    }
    Add(item.position, "this ) closes no (: it ends the operand, and nothing may follow it");
    return;
  }
  const Group group = std::move(groups_.back());
  groups_.pop_back();
  if (group.types.empty()) return;
  // The type a group takes when it closes: its operands combined in order.
  ITEMDATATYPEENUM type = group.types.front();
  for (std::size_t i = 1; i < group.types.size(); ++i) type = tree::Combine(type, group.types[i]);
  // COUNT gives a number whatever it counts.
  if (group.function != "COUNT" && group.expected && type != *group.expected) {
    Add(group.position, "this group is " + TypeName(type) + " where " + TypeName(*group.expected) +
                            " is expected: types are not checked across parentheses, so the mismatch passes and "
                            "the group's type spreads to the whole formula");
  }
  Group& outer = groups_.back();
  outer.types.push_back(type);
  if (!outer.known) outer.known = type;
}

void FormulaWarnings::TakeOperand(const FormulaItem& item) {
  operands_.back().items.push_back(&item);
  if (item.kind == kField) {
    operands_.back().hasField = true;
    CheckFieldName(item);
  }
  const std::optional<ITEMDATATYPEENUM> type = TypeOf(item);
  if (!type) return;
  Group& group = groups_.back();
  group.types.push_back(*type);
  if (item.kind == kField && !group.known) group.known = *type;
  if (item.kind == kLiteral) CheckLiteralText(item, *type);
}

std::optional<ITEMDATATYPEENUM> FormulaWarnings::TypeOf(const FormulaItem& item) const {
  if (itemOf_.empty()) return std::nullopt;
  const auto index = static_cast<std::size_t>(&item - cut_.items.data());
  return itemOf_[index] ? std::optional(itemOf_[index]->DataType()) : std::nullopt;
}

// A literal that is no number, date, time or boolean becomes text even when it was not quoted: ==, 1/2/2024
// (dates are DD/MM/YYYY) or 24:00.
void FormulaWarnings::CheckLiteralText(const FormulaItem& item, ITEMDATATYPEENUM type) {
  if (type != kIsString || text_.substr(item.position).starts_with('"')) return;
  Add(item.position, "'" + item.text + "' is not a number, a DD/MM/YYYY date, an HH:MM time or a boolean, so it is "
                         "taken as the text '" + item.text + "'; write a text between double quotes");
}

void FormulaWarnings::CheckFieldName(const FormulaItem& item) {
  const std::string_view written = text_.substr(item.position, item.end - item.position);
  if (!HasBlankOutsideBrackets(written)) return;
  Add(item.position, "the blanks in '" + std::string(written) + "' are dropped, so it names " +
                         AddBrackets(item.text) + "; a name with blanks goes in brackets: " + BracketedParts(written));
}

void FormulaWarnings::CheckLiteralOnTheLeft() {
  if (operands_.size() < 2 || operands_.front().hasField || operands_.front().items.empty()) return;
  const bool fieldLater =
      std::any_of(operands_.begin() + 1, operands_.end(), [](const Operand& o) { return o.hasField; });
  if (!fieldLater) return;
  Add(operands_.front().items.front()->position,
      "the comparison begins with a literal, so its two sides are never checked against each other; put the "
      "field on the left");
}

const FormulaItem* FormulaWarnings::LoneLiteral(std::size_t operand) const {
  if (operand >= operands_.size() || operands_[operand].items.size() != 1) return nullptr;
  const FormulaItem* item = operands_[operand].items.front();
  return item->kind == kLiteral ? item : nullptr;
}

void FormulaWarnings::CheckBetweenBounds() {
  if (comparison_ != "BETWEEN" || operands_.size() != 3) return;
  const FormulaItem* low = LoneLiteral(1);
  const FormulaItem* high = LoneLiteral(2);
  if (!low || !high) return;
  const auto lowType = TypeOf(*low);
  if (!lowType || lowType != TypeOf(*high)) return;
  if (CompareLiterals(Unquoted(low->text), Unquoted(high->text), *lowType) <= 0) return;
  Add(low->position, "the bounds are the wrong way round: BETWEEN " + low->text + " AND " + high->text +
                         " matches nothing; write the lower bound first");
}

// Each dialect's LIKE reads its own wildcards (% and _, or * and ?); another dialect's match themselves.
void FormulaWarnings::CheckLikeWildcards() {
  if ((comparison_ != "LIKE" && comparison_ != "NOT LIKE") || operands_.size() != 2) return;
  const FormulaItem* pattern = LoneLiteral(1);
  const Dialect& own = DialectOf(dialect_);
  if (!pattern || own.likeWildcards.empty()) return;
  for (const Dialect& other : Dialects()) {
    const std::string_view foreign = other.likeWildcards;
    if (foreign == own.likeWildcards || Unquoted(pattern->text).find_first_of(foreign) == std::string::npos) continue;
    Add(pattern->position, std::string(1, foreign[0]) + " and " + foreign[1] + " are wildcards of " +
                               std::string(other.name) + ", not of " + std::string(own.name) +
                               ", where they match themselves; use " + own.likeWildcards[0] + " and " +
                               own.likeWildcards[1]);
    return;
  }
}

void FormulaWarnings::Add(std::size_t position, std::string message) {
  Warning warning;
  warning.subject = Warning::Subject::kFormula;
  warning.position = position;
  warning.message = std::move(message);
  warnings_.push_back(std::move(warning));
}

}  // namespace talvane::detail
