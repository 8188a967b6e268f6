// Formula state and its plain members: kind, data type, sections, errors, grouping, dialect, connection.
#include "talvane/formula/formula.hpp"

#include "formula/change_note.hpp"
#include "formula/formula_tree.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

namespace {

constexpr std::string_view kChildSource = "Exception: (Formula)INode.Child";

}  // namespace

std::shared_ptr<Formula> Formula::Create() {
  struct Made final : Formula {};
  return std::make_shared<Made>();
}

ITEMDATATYPEENUM Formula::DataType() const {
  if (!dataTypeSet_) Raise(ERR_ITEMTYPE, "Exception: Formula.DataType", "DataType not set yet");
  return dataType_;
}

void Formula::SetDataType(ITEMDATATYPEENUM value) {
  const detail::ChangeNote note(this);
  dataType_ = value;
  dataTypeSet_ = true;
}

ITEMTYPEENU Formula::ItemType() const { return kFormula; }

void Formula::SetItemType(ITEMTYPEENU) {
  Raise(ERR_ITEMTYPE, "Exception: Formula.ItemType", "Cannot assign item type to a formula");
}

std::shared_ptr<INode> Formula::Parent() const { return nullptr; }

void Formula::SetParent(const std::shared_ptr<INode>&) {
  Raise(ERR_ITEMTYPE, "Exception: Formula.Parent", "Cannot assign a parent to a formula");
}

std::shared_ptr<INode> Formula::Node(int32_t Index) const {
  if (Index < 1 || Index > Count()) Raise(ERR_INDEX_OOB, kChildSource, "Index out of bounds");
  return sections_[static_cast<std::size_t>(Index - 1)];
}

void Formula::SetNode(int32_t Index, const std::shared_ptr<INode>& node) {
  const detail::ChangeNote note(this);
  if (Index < 1 || Index > Count()) Raise(ERR_INDEX_OOB, kChildSource, "Index out of bounds");
  const auto section = std::dynamic_pointer_cast<Section>(node);
  if (!section) Raise(ERR_ITEMTYPE, kChildSource, "Only a section can be a child of a formula");
  // An operand is one level of groups above the deepest group it may hold.
  if (tree::MeasureSubtree(section, this, Section::kMaxNestingDepth + 1) != tree::SubtreeFit::kFits) {
    Raise(ERR_ITEMTYPE, kChildSource,
          "Groups may not be nested more than " + std::to_string(Section::kMaxNestingDepth) + " deep");
  }
  section->SetParent(shared_from_this());
  sections_[static_cast<std::size_t>(Index - 1)] = section;
}

int32_t Formula::Count() const { return static_cast<int32_t>(sections_.size()); }

void Formula::Clear() {
  const detail::ChangeNote note(this);
  for (const auto& section : sections_) section->Clear();
  sections_.clear();
  errorPos_ = 0;
  errorItem_.clear();
  text_.clear();
  grouping_ = kBase;
  name_.clear();
  dataTypeSet_ = false;
  dataType_ = kIsString;
  comparison_.clear();
}

std::string Formula::ErrorItem() const { return errorItem_; }

int32_t Formula::ErrorPos() const { return errorPos_; }

GROUPTYPEENU Formula::Grouping() const { return grouping_; }

// The grouping is read only when the statement is built, never by the set resolution: no revision.
void Formula::SetGrouping(GROUPTYPEENU value) { grouping_ = value; }

DATABASETYPEENU Formula::DatabaseType() const { return databaseType_; }

void Formula::SetDatabaseType(DATABASETYPEENU value) {
  const detail::ChangeNote note(this);
  databaseType_ = value;
  for (const auto& section : sections_) section->SetDatabaseType(value);
}

void Formula::TempConnection(const std::shared_ptr<db::Connection>& newCnn) { SetConnection(newCnn); }

bool Formula::ComparisonSet() const { return !comparison_.empty(); }

std::string Formula::Comparison() const { return comparison_; }

std::string Formula::SectionSeperator() const {
  if (sections_.size() > 1 && tree::IsListComparison(comparison_)) return ",";
  if (sections_.size() > 1 && tree::IsRangeComparison(comparison_)) return "AND";
  return {};
}

std::shared_ptr<db::Connection> Formula::Connection() const { return connection_; }

void Formula::SetConnection(const std::shared_ptr<db::Connection>& connection) {
  const detail::ChangeNote note(this);
  connection_ = connection;
  for (const auto& section : sections_) section->SetConnection(connection);
}

std::shared_ptr<FormulaList> Formula::List() const { return list_.lock(); }

void Formula::SetList(const std::shared_ptr<FormulaList>& list) {
  const detail::ChangeNote note(this);
  list_ = list;
}

std::shared_ptr<Section> Formula::LastSection() const { return sections_.empty() ? nullptr : sections_.back(); }

int32_t Formula::LanguageLevel() const {
  const std::shared_ptr<talvane::Exception> owner = OwningException();
  return owner ? owner->LanguageLevel() : 1;
}

void Formula::CheckTextAgain() {
  if (text_.empty() || !tree::ConnectionIsOpen(connection_)) return;
  std::string text = text_;
  SetValue(text);
}

std::shared_ptr<talvane::Exception> Formula::OwningException() const {
  const std::shared_ptr<FormulaList> list = list_.lock();
  return list ? list->Exception() : nullptr;
}

}  // namespace talvane
