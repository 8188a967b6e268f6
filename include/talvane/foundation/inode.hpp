#pragma once
// The interface shared by Item, Section and Formula; every tree walk goes through it.
// INode itself is creatable: its members do nothing and return empty values.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "talvane/foundation/enums.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

/// A node of a formula tree: the common interface of Item, Section and Formula. Every member has a
/// harmless default, so a tree walk may ask any node anything.
class INode : public std::enable_shared_from_this<INode> {
 public:
  /// A node whose members do nothing and return empty values.
  static std::shared_ptr<INode> Create();
  virtual ~INode() = default;

  /// @{
  /// The data type of the node's value (numeric, date, time, boolean, string), as type checking settled it.
  virtual ITEMDATATYPEENUM DataType() const;
  virtual void SetDataType(ITEMDATATYPEENUM value);
  /// @}
  /// @{
  /// What the node is: a literal, a field, an operator, a section, a formula.
  virtual ITEMTYPEENU ItemType() const;
  virtual void SetItemType(ITEMTYPEENU value);
  /// @}
  /// @{
  /// The node's name; for a formula, the name of the set it belongs to (empty: no set).
  virtual std::string Name() const;
  virtual void SetName(std::string_view value);
  /// @}
  /// @{
  /// The node this one belongs to (null for the root of a tree).
  virtual std::shared_ptr<INode> Parent() const;
  virtual void SetParent(const std::shared_ptr<INode>& value);
  /// @}
  /// The node's text as it was assigned (a formula: its trimmed text).
  virtual std::string Value() const;
  /// Assigns the node's text and parses it; throws talvane::Error when the text is refused.
  /// Text passed by reference: a node may rewrite the caller's text (a formula trims it).
  virtual void SetValue(std::string& text);
  /// Assigns a copy of @p text (see the overload above).
  void SetValue(std::string_view text);
  /// The node rendered as SQL in its dialect; @p ShowSets renders a set's formula against its own table
  /// rather than as a column of the set.
  virtual std::string SQL(bool ShowSets = false) const;
  /// The error number of @p errc, as a host compares it with talvane::Error::Number().
  int32_t ERRORCODE(ERR_INODE errc) const { return errc; }
  /// The number of children.
  virtual int32_t Count() const;
  /// Whether the node holds a complete, accepted value.
  virtual bool Valid() const;
  /// @{
  /// The child at @p Index (0-based); reading out of range gives null.
  virtual std::shared_ptr<INode> Child(int32_t Index) const;
  virtual void SetChild(int32_t Index, const std::shared_ptr<INode>& node);
  /// @}
  /// @{
  /// The SQL dialect the node renders in (SQL Server, Access or SQLite).
  virtual DATABASETYPEENU DatabaseType() const;
  virtual void SetDatabaseType(DATABASETYPEENU value);
  /// @}
  /// Empties the node: no text, no children.
  virtual void Clear();

 protected:
  /// Nodes are made through Create() and held by std::shared_ptr.
  INode() = default;

 private:
  /// Library-internal: the connection a node uses for field look-ups.
  virtual std::shared_ptr<db::Connection> Connection() const;
  virtual void SetConnection(const std::shared_ptr<db::Connection>& connection);
  friend struct detail::NodeAccess;
};

}  // namespace talvane
