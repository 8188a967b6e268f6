// Building a section: token by token through Add, from a whole text through Value, and closing it.
#include "talvane/formula/section.hpp"

#include <optional>
#include <string>
#include <vector>

#include "formula/change_note.hpp"
#include "formula/formula_tree.hpp"
#include "formula/level_two_items.hpp"
#include "talvane/db/schema_scope.hpp"
#include "talvane/formula/classify_item.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/parse_item.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

constexpr std::string_view kAddSource = "Exception: Section.Add";

[[noreturn]] void RefuseToken() { Raise(ERR_ITEMTYPE, kAddSource, "Illigal value"); }

// Two operands in a row, or an operand right after a closed group, are out of place.
bool EndsOperand(ITEMTYPEENU kind) { return kind == kLiteral || kind == kField || kind == kSection; }

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// At level 2, the group's type once an operand of type `next` stands at `place` of its children, after an
// operator that makes date arithmetic with what comes before (of type `current`); none otherwise. A date
// added to a date means nothing, and is refused with what does.
std::optional<ITEMDATATYPEENUM> DateArithmeticAt(const std::shared_ptr<INode>& group,
                                                 const std::vector<std::shared_ptr<INode>>& children,
                                                 std::size_t place, ITEMDATATYPEENUM current, ITEMDATATYPEENUM next) {
  if (place == 0 || place > children.size() || children[place - 1]->ItemType() != kArith) return std::nullopt;
  if (tree::LanguageLevelOf(group) != 2) return std::nullopt;
  if (current == kIsDate && next == kIsDate && children[place - 1]->Value() == "+") {
    Raise(ERR_ITEMTYPE, kAddSource,
          "A date cannot be added to a date: a date minus a date is a number of days, and a date plus or minus a "
          "number is a date");
  }
  return tree::DateArithmetic(current, children[place - 1]->Value(), next);
}

}  // namespace

void Section::Add(std::string_view newItem, const std::shared_ptr<INode>& myParent,
                  const std::shared_ptr<db::Connection>& cnn) {
  std::string copy(newItem);
  Add(copy, myParent, cnn);
}

void Section::Add(std::string& newItem, const std::shared_ptr<INode>&, const std::shared_ptr<db::Connection>& cnn) {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  const detail::ChangeNote note(this);
  // Every token goes to the innermost open group. The chain is at most kMaxNestingDepth long.
  if (!children_.empty() && children_.back()->ItemType() == kOpenSection) {
    const auto open = std::dynamic_pointer_cast<Section>(children_.back());
    if (!open) RefuseToken();
    open->Add(newItem, shared_from_this(), cnn);
    return;
  }

  const ITEMTYPEENU kind = ClassifyItem(newItem);
  if (children_.empty()) {
    // A ")" with nothing before it would make an empty group "()", which is no SQL in either dialect.
    if (kind == kArith || kind == kComparisson || kind == kSeperator || newItem == ")") RefuseToken();
  } else {
    const ITEMTYPEENU last = children_.back()->ItemType();
    switch (kind) {
      case kLiteral:
      case kField:
        if (EndsOperand(last)) RefuseToken();
        break;
      case kArith:
        if (last == kArith || last == kComparisson || last == kOpenSection) RefuseToken();
        break;
      case kSection:
        if (newItem == ")") {
          CloseSection();
          return;
        }
        if (EndsOperand(last)) RefuseToken();
        break;
      default:
        RefuseToken();
    }
  }

  if (kind == kSection) {
    AddGroup(TrimSpaces(newItem), cnn);
  } else {
    AddItem(newItem, cnn);
  }
}

void Section::AddGroup(std::string_view opener, const std::shared_ptr<db::Connection>& cnn) {
  // A function group may hold plain parentheses but no further function of its own.
  if (!sectionFunction_.empty() && opener != "(") RefuseToken();
  if (GroupLevel() >= kMaxNestingDepth) {
    Raise(ERR_ITEMTYPE, kAddSource, "Groups may not be nested more than " + std::to_string(kMaxNestingDepth) + " deep");
  }
  const std::shared_ptr<Section> group = Section::Create();
  group->SetConnection(cnn);
  group->SetParent(shared_from_this());
  group->SetName(name_);
  group->SetDatabaseType(databaseType_);
  group->SetFunctionFromToken(opener);
  children_.push_back(group);
}

void Section::AddItem(std::string& token, const std::shared_ptr<db::Connection>& cnn) {
  const std::shared_ptr<Item> item = Item::Create();
  item->SetConnection(cnn);
  item->SetParent(shared_from_this());
  item->SetName(name_);
  item->SetDatabaseType(databaseType_);
  item->SetValue(token);

  if (item->ItemType() != kArith) {
    if (!dataTypeSet_) {
      // The first field fixes the group's type; literals leave it open until then.
      if (item->ItemType() == kField) SetDataType(item->DataType());
    } else if (const std::optional<ITEMDATATYPEENUM> dated =
                   DateArithmeticAt(shared_from_this(), children_, children_.size(), dataType_, item->DataType())) {
      SetDataType(*dated);  // a date minus a date is a number up to the formula
    } else if (tree::Combine(dataType_, item->DataType()) != dataType_) {
      RefuseToken();
    }
  }
  children_.push_back(item);
}

void Section::SetFunctionFromToken(std::string_view token) {
  if (!token.empty()) token.remove_suffix(1);
  sectionFunction_ = UpperAscii(token);
}

void Section::CloseSection() {
  const detail::ChangeNote note(this);
  constexpr std::string_view kSource = "Exception: Section.CloseSection";
  if (children_.empty()) Raise(ERR_ITEMTYPE, kSource, "Section is incomplete");
  const ITEMTYPEENU last = children_.back()->ItemType();
  if (last == kArith || last == kComparisson || last == kOpenSection) {
    Raise(ERR_ITEMTYPE, kSource, "Section is incomplete");
  }
  locked_ = true;
  ITEMDATATYPEENUM type = tree::OperandType(children_.front());
  for (std::size_t i = 1; i < children_.size(); ++i) {
    if (children_[i]->ItemType() == kArith) continue;
    const ITEMDATATYPEENUM next = tree::OperandType(children_[i]);
    type = DateArithmeticAt(shared_from_this(), children_, i, type, next).value_or(tree::Combine(type, next));
  }
  dataType_ = type;
  dataTypeSet_ = true;
}

void Section::SetValue(std::string& text) {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  const detail::ChangeNote note(this);
  if (!tree::ConnectionIsOpen(connection_)) Raise(ERR_CNN_CLOSED, "Exception: Section.Value", "Connection not open.");
  ResetSection();

  // Cut with a shrinking view of the text: each token costs its own length, never the remainder's.
  std::string_view rest = text;
  const std::size_t total = rest.size();
  int32_t position = 0;
  const int32_t level = tree::LanguageLevelOf(shared_from_this());
  bool operandExpected = true;
  try {
    while (!rest.empty()) {
      position = static_cast<int32_t>(total - rest.size());
      std::string token = detail::CutItem(rest, level, operandExpected);
      Add(token, shared_from_this(), connection_);
    }
  } catch (...) {
    errorPos_ = position;
    throw;
  }
}

}  // namespace talvane
