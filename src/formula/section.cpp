// Section state and its plain members: data type, kind, name, children, dialect, connection, validity.
#include "talvane/formula/section.hpp"

#include <string>

#include "formula/change_note.hpp"
#include "formula/formula_tree.hpp"
#include "foundation/node_access.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

constexpr std::string_view kChildSource = "Exception: (Section)INode.Child";

}  // namespace

std::shared_ptr<Section> Section::Create() {
  struct Made final : Section {};
  return std::make_shared<Made>();
}

ITEMDATATYPEENUM Section::DataType() const {
  if (!dataTypeSet_) Raise(ERR_ITEMTYPE, "Exception: Section.DataType", "DataType not set yet, section is open");
  return dataType_;
}

void Section::SetDataType(ITEMDATATYPEENUM value) {
  const detail::ChangeNote note(this);
  StoreDataType(value);
  // The type climbs to every enclosing group and on to the formula, as each group passes it on. Walked as a
  // loop, bounded, so that parents linked into a circle by a host cannot make it endless.
  value = tree::OperandType(*this, value);
  std::shared_ptr<INode> node = parent_.lock();
  for (int32_t steps = 0; node && steps < tree::kMaxParentWalk; ++steps) {
    const auto enclosing = std::dynamic_pointer_cast<Section>(node);
    if (!enclosing) {
      node->SetDataType(value);
      return;
    }
    enclosing->StoreDataType(value);
    value = tree::OperandType(*enclosing, value);
    node = enclosing->parent_.lock();
  }
}

void Section::StoreDataType(ITEMDATATYPEENUM value) {
  dataTypeSet_ = true;
  dataType_ = value;
}

ITEMTYPEENU Section::ItemType() const { return locked_ ? kSection : kOpenSection; }

void Section::SetItemType(ITEMTYPEENU) {
  Raise(ERR_ITEMTYPE, "Exception: Section.ItemType", "Cannot assign item type to a section");
}

std::string Section::Name() const { return name_; }

void Section::SetName(std::string_view value) {
  const detail::ChangeNote note(this);
  // Checked before anything changes: the items below render the name as [name].[field].
  if (!tree::IsUsableSetName(tree::BareSetName(value))) {
    Raise(ERR_ITEMTYPE, "Exception: Section.Name", "Invalid set name");
  }
  name_ = value;
  for (const auto& child : children_) child->SetName(value);
}

std::string Section::SectionFunction() const { return sectionFunction_; }

void Section::SetSectionFunction(std::string_view value) {
  const detail::ChangeNote note(this);
  sectionFunction_ = value;
}

std::shared_ptr<INode> Section::Parent() const { return parent_.lock(); }

void Section::SetParent(const std::shared_ptr<INode>& value) {
  detail::ChangeNote::Mark(this);  // the tree it leaves
  const detail::ChangeNote note(this);
  parent_ = value;
}

std::shared_ptr<INode> Section::Node(int32_t Index) const {
  if (Index < 1 || Index > Count()) Raise(ERR_INDEX_OOB, kChildSource, "Index out of bounds");
  return children_[static_cast<std::size_t>(Index - 1)];
}

void Section::SetNode(int32_t Index, const std::shared_ptr<INode>& node) {
  const detail::ChangeNote note(this);
  if (Index < 1 || Index > Count()) Raise(ERR_INDEX_OOB, kChildSource, "Index out of bounds");
  if (!std::dynamic_pointer_cast<Item>(node) && !std::dynamic_pointer_cast<Section>(node)) {
    Raise(ERR_ITEMTYPE, kChildSource, "Only an item or a section can be a child of a section");
  }
  // The node replaces a child in place; it must neither hold this section (the tree would own itself)
  // nor nest groups deeper than new groups may be nested.
  switch (tree::MeasureSubtree(node, this, kMaxNestingDepth - GroupLevel())) {
    case tree::SubtreeFit::kHoldsTarget:
      Raise(ERR_ITEMTYPE, kChildSource, "A section cannot hold itself or a group that holds it");
    case tree::SubtreeFit::kTooDeep:
      Raise(ERR_ITEMTYPE, kChildSource,
            "Groups may not be nested more than " + std::to_string(kMaxNestingDepth) + " deep");
    case tree::SubtreeFit::kFits:
      break;
  }
  node->SetParent(shared_from_this());
  children_[static_cast<std::size_t>(Index - 1)] = node;
}

int32_t Section::Count() const { return static_cast<int32_t>(children_.size()); }

DATABASETYPEENU Section::DatabaseType() const { return databaseType_; }

void Section::SetDatabaseType(DATABASETYPEENU value) {
  const detail::ChangeNote note(this);
  databaseType_ = value;
  for (const auto& child : children_) child->SetDatabaseType(value);
}

void Section::Clear() {
  detail::ChangeNote::Mark(this);  // the tree it leaves
  const detail::ChangeNote note(this);
  ResetSection();
  parent_.reset();
  dataType_ = kIsString;
  dataTypeSet_ = false;
}

int32_t Section::ErrorPos() const { return errorPos_; }

bool Section::Locked() const { return locked_; }

void Section::SetLocked(bool value) {
  const detail::ChangeNote note(this);
  locked_ = value;
}

bool Section::Valid() const {
  if (children_.empty()) return false;
  if (children_.back()->ItemType() == kArith) return false;
  bool result = true;
  for (std::size_t i = 0; i < children_.size(); ++i) {
    const auto& child = children_[i];
    if (child->ItemType() == kOpenSection) {
      // An open group is acceptable only as the last operand of a formula; a child of a section never is.
      const std::shared_ptr<INode> owner = child->Parent();
      if (!owner || owner->ItemType() != kFormula || i + 1 != children_.size()) return false;
    }
    result = child->Valid() && result;
  }
  return result;
}

std::shared_ptr<INode> Section::Last() const {
  if (children_.empty()) Raise(ERR_INDEX_OOB, "Exception: Section.Last", "Index out of bounds");
  return children_.back();
}

std::shared_ptr<db::Connection> Section::Connection() const { return connection_; }

void Section::SetConnection(const std::shared_ptr<db::Connection>& connection) {
  const detail::ChangeNote note(this);
  connection_ = connection;
  for (const auto& child : children_) detail::NodeAccess::SetConnection(*child, connection);
}

void Section::ResetSection() {
  for (const auto& child : children_) child->Clear();
  children_.clear();
  sectionFunction_.clear();
  name_.clear();
  errorPos_ = 0;
  locked_ = false;
}

int32_t Section::GroupLevel() const {
  // Bounded: past the limit the exact count no longer matters, and a circle of parents ends here too.
  int32_t level = 0;
  std::shared_ptr<INode> node = parent_.lock();
  while (node && level <= kMaxNestingDepth) {
    const auto enclosing = std::dynamic_pointer_cast<Section>(node);
    if (!enclosing) break;
    ++level;
    node = enclosing->parent_.lock();
  }
  return level;
}

}  // namespace talvane
