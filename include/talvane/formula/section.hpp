#pragma once
// The group node of the formula tree: an operand expression, a parenthesised group or an
// aggregate/total group, built token by token.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/foundation/inode.hpp"

namespace talvane {

/// An operand of a formula, built item by item: a field, a literal, an arithmetic expression, a group in
/// parentheses, or an aggregate (SUM, COUNT, MAX, MIN, AVG) or TOTAL around its items. Groups are sections too.
class Section : public INode {
 public:
  /// Groups nested deeper than this are refused; deeper texts would only exhaust the stack.
  static constexpr int32_t kMaxNestingDepth = 64;

  /// An empty section.
  static std::shared_ptr<Section> Create();

  /// @{
  /// The dialect, under the name the late-bound interface gives it.
  DATABASETYPEENU INode_DatabaseType() const { return DatabaseType(); }
  void SetINode_DatabaseType(DATABASETYPEENU value) { SetDatabaseType(value); }
  /// @}
  ITEMDATATYPEENUM DataType() const override;
  void SetDataType(ITEMDATATYPEENUM value) override;
  ITEMTYPEENU ItemType() const override;
  void SetItemType(ITEMTYPEENU value) override;
  std::string Name() const override;
  void SetName(std::string_view value) override;
  /// @{
  /// The function the section applies to its items: SUM, COUNT, MAX, MIN, AVG, TOTAL, or empty for a plain
  /// expression or group.
  std::string SectionFunction() const;
  void SetSectionFunction(std::string_view value);
  /// @}
  std::shared_ptr<INode> Parent() const override;
  void SetParent(const std::shared_ptr<INode>& value) override;
  /// @{
  /// The item or group at @p Index (1-based).
  std::shared_ptr<INode> Node(int32_t Index) const;
  void SetNode(int32_t Index, const std::shared_ptr<INode>& node);
  /// @}
  std::string Value() const override;
  using INode::SetValue;
  void SetValue(std::string& text) override;
  /// The error number of @p errc.
  int32_t ERRORCODE(ERR_INODE errc) const { return errc; }
  std::string SQL(bool ShowSets = false) const override;
  int32_t Count() const override;
  DATABASETYPEENU DatabaseType() const override;
  void SetDatabaseType(DATABASETYPEENU value) override;
  void Clear() override;
  /// The field references of the section, each once, as a list.
  std::string Fields() const;
  /// The tables its field references name, each once, as a list.
  std::string Tables() const;
  /// The position of the item at which the last assignment failed.
  int32_t ErrorPos() const;
  /// @{
  /// Whether the section is closed: a locked section takes no more items.
  bool Locked() const;
  void SetLocked(bool value);
  /// @}
  /// Whether the section or a group inside it aggregates.
  bool Aggragate() const;
  /// The field references outside aggregate functions.
  std::string NonAggragateFields() const;
  bool Valid() const override;
  /// newItem may be rewritten into its canonical form; myParent is not used.
  /// Adds one item of text (an item, an operator, an opening or closing parenthesis) on connection @p cnn.
  void Add(std::string& newItem, const std::shared_ptr<INode>& myParent,
           const std::shared_ptr<db::Connection>& cnn);
  /// Adds a copy of @p newItem (see the overload above).
  void Add(std::string_view newItem, const std::shared_ptr<INode>& myParent,
           const std::shared_ptr<db::Connection>& cnn);
  /// The last item or group added; raises "Index out of bounds" when there is none.
  std::shared_ptr<INode> Last() const;
  /// Closes the section at a closing parenthesis; raises "Section is incomplete" when it ends on an operator.
  void CloseSection();
  /// The field references of the section that name the set @p SetName.
  std::string FieldsReferencingSet(std::string_view SetName) const;

  std::shared_ptr<INode> Child(int32_t Index) const override { return Node(Index); }
  void SetChild(int32_t Index, const std::shared_ptr<INode>& node) override { SetNode(Index, node); }

 protected:
  /// Sections are made through Create().
  Section() = default;

 private:
  std::shared_ptr<db::Connection> Connection() const override;
  void SetConnection(const std::shared_ptr<db::Connection>& connection) override;
  void ResetSection();
  void SetFunctionFromToken(std::string_view token);

  /// Building (section_build.cpp).
  void AddGroup(std::string_view opener, const std::shared_ptr<db::Connection>& cnn);
  void AddItem(std::string& token, const std::shared_ptr<db::Connection>& cnn);
  /// Stores the type without passing it up; SetDataType passes it up the chain of enclosing groups.
  void StoreDataType(ITEMDATATYPEENUM value);
  /// How many groups enclose this one (0 for a formula's operand or a section on its own).
  int32_t GroupLevel() const;

  std::shared_ptr<db::Connection> connection_;
  std::weak_ptr<INode> parent_;
  std::string name_;
  std::string sectionFunction_;
  std::vector<std::shared_ptr<INode>> children_;
  int32_t errorPos_ = 0;
  bool locked_ = false;
  ITEMDATATYPEENUM dataType_ = kIsString;
  bool dataTypeSet_ = false;
  DATABASETYPEENU databaseType_ = kAccess;

  friend class Formula;
  friend class Exception;
  friend struct detail::Access;
  friend class detail::ChangeNote;
  friend class detail::SetIndex;
};

}  // namespace talvane
