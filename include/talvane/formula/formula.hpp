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

class Formula : public INode {
 public:
  static std::shared_ptr<Formula> Create();

  DATABASETYPEENU INode_DatabaseType() const { return DatabaseType(); }
  void SetINode_DatabaseType(DATABASETYPEENU value) { SetDatabaseType(value); }
  ITEMDATATYPEENUM DataType() const override;
  void SetDataType(ITEMDATATYPEENUM value) override;
  ITEMTYPEENU ItemType() const override;
  void SetItemType(ITEMTYPEENU value) override;
  std::string Name() const override;
  void SetName(std::string_view value) override;
  std::shared_ptr<INode> Parent() const override;
  void SetParent(const std::shared_ptr<INode>& value) override;
  std::shared_ptr<INode> Node(int32_t Index) const;
  void SetNode(int32_t Index, const std::shared_ptr<INode>& node);
  std::string Value() const override;
  using INode::SetValue;
  /// The trimmed text is written back to the caller's string.
  void SetValue(std::string& text) override;
  int32_t ERRORCODE(ERR_INODE errc) const { return errc; }
  std::string SQL(bool ShowSets = false) const override;
  int32_t Count() const override;
  void Clear() override;
  std::string ErrorItem() const;
  std::string Fields() const;
  std::string Tables() const;
  int32_t ErrorPos() const;
  GROUPTYPEENU Grouping() const;
  void SetGrouping(GROUPTYPEENU value);
  std::string NonAggragateFields() const;
  bool Aggragate() const;
  DATABASETYPEENU DatabaseType() const override;
  void SetDatabaseType(DATABASETYPEENU value) override;
  void Add(std::string& newItem);
  void Add(std::string_view newItem);
  /// Gives a formula made outside a list its connection (and passes it to every section).
  void TempConnection(const std::shared_ptr<db::Connection>& newCnn);
  bool Valid() const override;
  bool ComparisonSet() const;
  std::string Comparison() const;
  std::string SectionSeperator() const;
  std::string FieldsReferencingSet(std::string_view SetName) const;
  std::string PrintIt() const;

  std::shared_ptr<INode> Child(int32_t Index) const override { return Node(Index); }
  void SetChild(int32_t Index, const std::shared_ptr<INode>& node) override { SetNode(Index, node); }

 protected:
  Formula() = default;

 private:
  std::shared_ptr<db::Connection> Connection() const override;
  void SetConnection(const std::shared_ptr<db::Connection>& connection) override;
  /// A new revision, told to the report that holds the formula (its set resolution reads changed formulas).
  std::shared_ptr<INode> MarkChanged() override;
  std::shared_ptr<FormulaList> List() const;
  void SetList(const std::shared_ptr<FormulaList>& list);
  std::shared_ptr<Section> LastSection() const;
  std::shared_ptr<talvane::Exception> OwningException() const;
  /// A new operand section that has the formula's connection, parent link and (when fixed) data type,
  /// then the text (when given), the formula's name and its dialect.
  std::shared_ptr<Section> NewSection(std::string* value);
  /// Rendering that differs by dialect (formula_render.cpp).
  std::optional<std::string> ClassPatternSQL(bool ShowSets) const;
  std::string ComparisonCollation() const;

  std::shared_ptr<db::Connection> connection_;
  std::vector<std::shared_ptr<Section>> sections_;
  int32_t errorPos_ = 0;
  std::string errorItem_;
  std::string name_;
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
  friend class detail::SetCache;
};

}  // namespace talvane
