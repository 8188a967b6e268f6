#include "talvane/foundation/inode.hpp"

namespace talvane {

namespace {
// INode is abstract in spirit but creatable; this gives make_shared a public constructor.
class PlainNode final : public INode {};
}  // namespace

std::shared_ptr<INode> INode::Create() { return std::make_shared<PlainNode>(); }

ITEMDATATYPEENUM INode::DataType() const { return kIsString; }
void INode::SetDataType(ITEMDATATYPEENUM) {}
ITEMTYPEENU INode::ItemType() const { return kLiteral; }
void INode::SetItemType(ITEMTYPEENU) {}
std::string INode::Name() const { return {}; }
void INode::SetName(std::string_view) {}
std::shared_ptr<INode> INode::Parent() const { return {}; }
void INode::SetParent(const std::shared_ptr<INode>&) {}
std::string INode::Value() const { return {}; }
void INode::SetValue(std::string&) {}
void INode::SetValue(std::string_view text) {
  std::string copy(text);
  SetValue(copy);
}
std::string INode::SQL(bool) const { return {}; }
int32_t INode::Count() const { return 0; }
bool INode::Valid() const { return false; }
std::shared_ptr<INode> INode::Child(int32_t) const { return {}; }
void INode::SetChild(int32_t, const std::shared_ptr<INode>&) {}
DATABASETYPEENU INode::DatabaseType() const { return kAccess; }
void INode::SetDatabaseType(DATABASETYPEENU) {}
void INode::Clear() {}
std::shared_ptr<db::Connection> INode::Connection() const { return {}; }
void INode::SetConnection(const std::shared_ptr<db::Connection>&) {}

}  // namespace talvane
