// Building a formula from its text: one comparison between operand sections, and its validity.
#include "talvane/formula/formula.hpp"

#include <optional>

#include "formula/change_note.hpp"
#include "formula/formula_tree.hpp"
#include "formula/level_two_items.hpp"
#include "talvane/db/schema_scope.hpp"
#include "talvane/formula/classify_item.hpp"
#include "talvane/formula/parse_item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

constexpr int32_t kTrim = kCleanTrimLeft | kCleanTrimRight;
constexpr int32_t kTrimUpper = kTrim | kCleanUpper;
constexpr int32_t kFormulaTextWhitespace = kWsSpace | kWsTab | kWsCr | kWsLf;

[[noreturn]] void RefuseItem() { Raise(ERR_ITEMTYPE, "Exception: Formula.Add", "Illigal value"); }

// An operand whose last child is a group still open cannot end yet. An empty operand has no open
// group; closing it reports that it is incomplete.
bool EndsInOpenGroup(const Section& section) {
  return section.Count() > 0 && section.Last()->ItemType() == kOpenSection;
}

}  // namespace

void Formula::SetValue(std::string& text) {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  const detail::ChangeNote note(this);
  if (!tree::ConnectionIsOpen(connection_)) Raise(ERR_CNN_CLOSED, "Exception: Formula.Value", "Connection not open");
  const std::string name = name_;
  const GROUPTYPEENU grouping = grouping_;
  Clear();
  name_ = name;
  grouping_ = grouping;

  text = CleanText(text, kTrim, {}, {}, kFormulaTextWhitespace);
  if (text.empty()) return;
  text_ = text;

  // Cut with a shrinking view of the text: each item costs its own length, never the remainder's.
  std::string_view rest = text;
  std::size_t position = 0;
  const int32_t level = LanguageLevel();
  bool operandExpected = true;
  try {
    while (!rest.empty()) {
      position = text.size() - rest.size();
      std::string item = detail::CutItem(rest, level, operandExpected);
      Add(item);
    }
  } catch (...) {
    errorPos_ = static_cast<int32_t>(position);
    errorItem_ = text.substr(position);
    throw;
  }
}

void Formula::Add(std::string_view newItem) {
  std::string copy(newItem);
  Add(copy);
}

void Formula::Add(std::string& newItem) {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  const detail::ChangeNote note(this);
  // The comparisons only level 2 knows are words that would otherwise read as a field.
  const std::optional<std::string> levelTwoComparison =
      LanguageLevel() == 2 ? detail::LevelTwoComparison(newItem) : std::nullopt;
  const ITEMTYPEENU kind = levelTwoComparison ? kComparisson : ClassifyItem(newItem);
  const std::size_t n = sections_.size();

  if (kind == kComparisson) {
    if (n != 1 || !comparison_.empty() || EndsInOpenGroup(*sections_.front())) RefuseItem();
    sections_.front()->CloseSection();
    comparison_ = levelTwoComparison ? *levelTwoComparison : CleanText(newItem, kTrimUpper, {}, {}, kWsAll);
    return;
  }

  if (kind == kSeperator) {
    newItem = CleanText(newItem, kTrimUpper, {}, {}, kWsAll);
    const bool betweenIsComplete = tree::IsRangeComparison(comparison_) && n == 3;
    if (n <= 1 || betweenIsComplete || newItem != SectionSeperator() || EndsInOpenGroup(*sections_.back())) {
      RefuseItem();
    }
    sections_.back()->CloseSection();
    sections_.push_back(NewSection(nullptr));
    return;
  }

  if (n > 0 && sections_.back()->ItemType() == kOpenSection) {
    sections_.back()->Add(newItem, shared_from_this(), connection_);
    return;
  }

  // Here the last operand, if any, is closed: a new one may only follow the comparison. A list element
  // begins after a separator, which opens its section itself; an operand closed by a ")" of its own may not
  // be followed by another without one (x IN(1) 2 is not IN (1, 2), x BETWEEN 1 AND 2) 3 has no fourth
  // operand).
  // IS NULL and IS NOT NULL have no right operand.
  const bool operandMayBegin = n == 0 || (!comparison_.empty() && n == 1 && !tree::IsNullTest(comparison_));
  if (!operandMayBegin) RefuseItem();
  sections_.push_back(NewSection(&newItem));
}

std::shared_ptr<Section> Formula::NewSection(std::string* value) {
  const std::shared_ptr<Section> section = Section::Create();
  section->SetConnection(connection_);
  section->SetParent(shared_from_this());
  if (dataTypeSet_) section->SetDataType(dataType_);
  if (value) section->SetValue(*value);
  section->SetName(name_);
  section->SetDatabaseType(databaseType_);
  return section;
}

bool Formula::Valid() const {
  if (comparison_.empty()) return false;
  const std::size_t n = sections_.size();
  const bool countFits = tree::IsRangeComparison(comparison_) ? n == 3
                         : tree::IsListComparison(comparison_) ? n > 2
                         : tree::IsNullTest(comparison_)       ? n == 1
                                                               : n == 2;
  if (!countFits) return false;
  bool result = true;
  for (const auto& section : sections_) result = section->Valid() && result;
  return result;
}

}  // namespace talvane
