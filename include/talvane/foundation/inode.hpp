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

class INode : public std::enable_shared_from_this<INode> {
 public:
  static std::shared_ptr<INode> Create();
  virtual ~INode() = default;

  virtual ITEMDATATYPEENUM DataType() const;
  virtual void SetDataType(ITEMDATATYPEENUM value);
  virtual ITEMTYPEENU ItemType() const;
  virtual void SetItemType(ITEMTYPEENU value);
  virtual std::string Name() const;
  virtual void SetName(std::string_view value);
  virtual std::shared_ptr<INode> Parent() const;
  virtual void SetParent(const std::shared_ptr<INode>& value);
  virtual std::string Value() const;
  // Text passed by reference: a node may rewrite the caller's text (a formula trims it).
  virtual void SetValue(std::string& text);
  void SetValue(std::string_view text);
  virtual std::string SQL(bool ShowSets = false) const;
  int32_t ERRORCODE(ERR_INODE errc) const { return errc; }
  virtual int32_t Count() const;
  virtual bool Valid() const;
  virtual std::shared_ptr<INode> Child(int32_t Index) const;
  virtual void SetChild(int32_t Index, const std::shared_ptr<INode>& node);
  virtual DATABASETYPEENU DatabaseType() const;
  virtual void SetDatabaseType(DATABASETYPEENU value);
  virtual void Clear();

 protected:
  INode() = default;

 private:
  // Library-internal: the connection a node uses for field look-ups.
  virtual std::shared_ptr<db::Connection> Connection() const;
  virtual void SetConnection(const std::shared_ptr<db::Connection>& connection);
  // Library-internal: notes a change at or below this node. A formula takes a new revision; the library's
  // other nodes return their parent for the note to climb on; any other node ends the climb (null).
  virtual std::shared_ptr<INode> MarkChanged();

  friend class Item;
  friend class Section;
  friend class Formula;
  friend class FormulaList;
  friend class Exception;
  friend struct detail::Access;
  friend class detail::ChangeNote;
};

}  // namespace talvane
