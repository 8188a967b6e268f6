#pragma once
// A leaf of the formula tree: a literal, a field reference or an arithmetic operator.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "talvane/foundation/inode.hpp"

namespace talvane {

/// A leaf of a formula: a literal, a field reference or an arithmetic operator. A field reference is looked
/// up in the schema when it is assigned, and takes the column's data type.
class Item : public INode {
 public:
  /// An empty item.
  static std::shared_ptr<Item> Create();

  /// @{
  /// The dialect, under the name the late-bound interface gives it.
  DATABASETYPEENU INode_DatabaseType() const { return DatabaseType(); }
  void SetINode_DatabaseType(DATABASETYPEENU value) { SetDatabaseType(value); }
  /// @}
  bool Valid() const override;
  ITEMTYPEENU ItemType() const override;
  void SetItemType(ITEMTYPEENU value) override;
  std::string Name() const override;
  void SetName(std::string_view value) override;
  std::shared_ptr<INode> Parent() const override;
  void SetParent(const std::shared_ptr<INode>& value) override;
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
  ITEMDATATYPEENUM DataType() const override;
  void SetDataType(ITEMDATATYPEENUM value) override;
  /// The column part of a field reference, in brackets; raises for an item that is not a field.
  std::string Field() const;
  /// The table part of a field reference, in brackets; raises for an item that is not a field.
  std::string Table() const;
  /// Whether the item is a field reference to the set @p SetName.
  bool IsInSet(std::string_view SetName) const;

  /// Items have no children: both raise "Index out of bounds".
  std::shared_ptr<INode> Child(int32_t Index) const override;
  void SetChild(int32_t Index, const std::shared_ptr<INode>& node) override;

 protected:
  /// Items are made through Create().
  Item() = default;

 private:
  std::shared_ptr<db::Connection> Connection() const override;
  void SetConnection(const std::shared_ptr<db::Connection>& connection) override;
  bool IsSetReference() const { return setReference_; }

  void StoreValue(const std::string& text, ITEMTYPEENU kind);
  void StoreLiteral(const std::string& text);
  void CheckField(const std::string& text);
  ITEMDATATYPEENUM LookupFieldType(const std::string& reference);
  std::shared_ptr<talvane::Exception> OwningException() const;

  /// Rendering by kind (item_render.cpp).
  std::string LiteralSQL() const;
  std::string FieldSQL(bool ShowSets) const;
  std::string ArithSQL() const;
  bool StandsInText() const;
  std::string ColumnReference(bool ShowSets) const;

  std::shared_ptr<db::Connection> connection_;
  std::weak_ptr<INode> parent_;
  std::string value_;
  ITEMDATATYPEENUM dataType_ = kIsString;
  /// ADO type code of the probed column (0 when unknown); some dialects render money or floats differently
  /// from integers.
  int32_t columnType_ = 0;
  ITEMTYPEENU itemType_ = kLiteral;
  std::string name_;
  bool setReference_ = false;
  DATABASETYPEENU databaseType_ = kAccess;

  friend class Section;
  friend class Formula;
  friend class Exception;
  friend struct detail::Access;
  friend class detail::ChangeNote;
  friend class detail::SetIndex;
};

}  // namespace talvane
