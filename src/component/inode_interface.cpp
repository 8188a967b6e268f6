#include "component/interfaces.hpp"

#include "component/interface_builder.hpp"
#include "talvane/component/identities.hpp"

namespace talvane::component::detail {

const TypeInfo& INodeInterface() {
  static const TypeInfo info = InterfaceBuilder::Build(
      "_INode", kIidINode, "Value",
      {
          {kGet, "DataType", Bind<&INode::DataType>()},
          {kPut, "DataType", Bind<&INode::SetDataType>(), {Rhs()}},
          {kGet, "ItemType", Bind<&INode::ItemType>()},
          {kPut, "ItemType", Bind<&INode::SetItemType>(), {Rhs()}},
          {kGet, "Name", Bind<&INode::Name>()},
          {kPut, "Name", Bind<&INode::SetName>(), {Rhs()}},
          {kGet, "Parent", Bind<&INode::Parent>()},
          {kPutRef, "Parent", Bind<&INode::SetParent>(), {Rhs()}},
          {kGet, "Value", Bind<&INode::Value>()},
          {kPut, "Value", Bind<static_cast<void (INode::*)(std::string&)>(&INode::SetValue)>(), {Rhs()}},
          {kMethod, "SQL", Bind<&INode::SQL>(), {ShowSets()}},
          {kMethod, "ERRORCODE", Bind<&INode::ERRORCODE>(), {In("errc")}},
          {kGet, "Count", Bind<&INode::Count>()},
          {kGet, "Valid", Bind<&INode::Valid>()},
          {kGet, "Child", Bind<&INode::Child>(), {In("Index")}},
          {kPutRef, "Child", Bind<&INode::SetChild>(), {In("Index"), Rhs()}},
          {kGet, "DatabaseType", Bind<&INode::DatabaseType>()},
          {kPut, "DatabaseType", Bind<&INode::SetDatabaseType>(), {Rhs()}},
          {kMethod, "Clear", Bind<&INode::Clear>()},
      });
  return info;
}

}  // namespace talvane::component::detail
