#pragma once
// One rule of the report: a comparison between a left operand and one or more right operands.
// The root of a node tree whose children are sections.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/foundation/inode.hpp"

namespace talvane {

/// One rule of a report: a comparison (=, <>, <, <=, >, >=, IN, BETWEEN, LIKE, NOT LIKE) between a
/// left operand and one or more right operands, parsed and type-checked when its text is assigned.
/// Its children are the operand sections, in order.
class Formula : public INode {
 public:
  /// An empty formula; it needs a connection (through a FormulaList or TempConnection) before it takes text.
  static std::shared_ptr<Formula> Create();

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
  std::shared_ptr<INode> Parent() const override;
  void SetParent(const std::shared_ptr<INode>& value) override;
  /// @{
  /// The operand section at @p Index (1-based): the left operand first, then the right ones.
  std::shared_ptr<INode> Node(int32_t Index) const;
  void SetNode(int32_t Index, const std::shared_ptr<INode>& node);
  /// @}
  std::string Value() const override;
  using INode::SetValue;
  /// The trimmed text is written back to the caller's string.
  void SetValue(std::string& text) override;
  /// The error number of @p errc.
  int32_t ERRORCODE(ERR_INODE errc) const { return errc; }
  std::string SQL(bool ShowSets = false) const override;
  int32_t Count() const override;
  void Clear() override;
  /// The text of the item at which the last assignment failed (empty when it did not fail).
  std::string ErrorItem() const;
  /// The field references of the formula, each once, as a list.
  std::string Fields() const;
  /// The tables the formula's field references name, each once, as a list.
  std::string Tables() const;
  /// The position in the text of the item at which the last assignment failed (0-based; 0 when it did not fail).
  int32_t ErrorPos() const;
  /// @{
  /// How the formula's condition joins the conditions before it in its group: kAnd, kOr or kBase.
  /// For the first formula of a set, kOr makes the set an outer join.
  GROUPTYPEENU Grouping() const;
  void SetGrouping(GROUPTYPEENU value);
  /// @}
  /// The field references outside aggregate functions, which the statement groups by.
  std::string NonAggragateFields() const;
  /// Whether the formula's condition belongs in the HAVING clause (it aggregates, or its fields are grouped).
  bool Aggragate() const;
  DATABASETYPEENU DatabaseType() const override;
  void SetDatabaseType(DATABASETYPEENU value) override;
  /// Adds one item of text to the formula (an operand's item, a comparison, a separator); the text may
  /// be rewritten into its canonical form. Raises "Illigal value" when the item cannot come here.
  void Add(std::string& newItem);
  /// Adds a copy of @p newItem (see the overload above).
  void Add(std::string_view newItem);
  /// Gives a formula made outside a list its connection (and passes it to every section).
  void TempConnection(const std::shared_ptr<db::Connection>& newCnn);
  bool Valid() const override;
  /// Whether the formula has its comparison yet.
  bool ComparisonSet() const;
  /// The comparison, in capitals: =, <>, <, <=, >, >=, IN, BETWEEN, LIKE or NOT LIKE.
  std::string Comparison() const;
  /// What separates the right operands: "," for IN, "AND" for BETWEEN, empty otherwise.
  std::string SectionSeperator() const;
  /// The field references of the formula that name the set @p SetName.
  std::string FieldsReferencingSet(std::string_view SetName) const;
  /// Kept for the late-bound interface; returns an empty text.
  std::string PrintIt() const;
  /// The language level of the report the formula belongs to (1 when it belongs to none).
  int32_t LanguageLevel() const;

  std::shared_ptr<INode> Child(int32_t Index) const override { return Node(Index); }
  void SetChild(int32_t Index, const std::shared_ptr<INode>& node) override { SetNode(Index, node); }

 protected:
  /// Formulas are made through Create().
  Formula() = default;

 private:
  std::shared_ptr<db::Connection> Connection() const override;
  void SetConnection(const std::shared_ptr<db::Connection>& connection) override;
  std::shared_ptr<FormulaList> List() const;
  void SetList(const std::shared_ptr<FormulaList>& list);
  std::shared_ptr<Section> LastSection() const;
  std::shared_ptr<talvane::Exception> OwningException() const;
  /// Assigns the last assigned text again, when there is one and the connection is open.
  void CheckTextAgain();
  /// A new operand section that has the formula's connection, parent link and (when fixed) data type,
  /// then the text (when given), the formula's name and its dialect.
  std::shared_ptr<Section> NewSection(std::string* value);
  /// Rendering that differs by dialect (formula_render.cpp).
  std::optional<std::string> LikeSQL(bool ShowSets) const;
  bool ComparesTexts() const;

  std::shared_ptr<db::Connection> connection_;
  std::vector<std::shared_ptr<Section>> sections_;
  int32_t errorPos_ = 0;
  std::string errorItem_;
  std::string name_;
  std::string text_;
  bool dataTypeSet_ = false;
  ITEMDATATYPEENUM dataType_ = kIsString;
  std::string comparison_;
  GROUPTYPEENU grouping_ = kBase;
  std::weak_ptr<FormulaList> list_;
  DATABASETYPEENU databaseType_ = kAccess;
  int32_t dumpDepth_ = 0;
  /// Moves on with every change to the formula's tree, name, type or connection (see ChangeNote).
  uint64_t revision_ = 0;

  friend class Item;
  friend class FormulaList;
  friend class Exception;
  friend struct detail::Access;
  friend class detail::ChangeNote;
  friend class detail::SetIndex;
};

}  // namespace talvane
