#include "component/interfaces.hpp"

#include "component/interface_builder.hpp"
#include "talvane/component/identities.hpp"

namespace talvane::component::detail {

const TypeInfo& ItemInterface() {
  static const TypeInfo info = InterfaceBuilder::Build(
      "_Item", kIidItem, "Value",
      {
          {kGet, "INode_DatabaseType", Bind<&Item::INode_DatabaseType>()},
          {kPut, "INode_DatabaseType", Bind<&Item::SetINode_DatabaseType>(), {Rhs()}},
          {kGet, "Valid", Bind<&Item::Valid>()},
          {kPut, "ItemType", Bind<&Item::SetItemType>(), {Rhs()}},
          {kGet, "ItemType", Bind<&Item::ItemType>()},
          {kPut, "Name", Bind<&Item::SetName>(), {Rhs()}},
          {kGet, "Name", Bind<&Item::Name>()},
          {kPutRef, "Parent", Bind<&Item::SetParent>(), {Rhs()}},
          {kGet, "Parent", Bind<&Item::Parent>()},
          {kPut, "Value", Bind<static_cast<void (Item::*)(std::string&)>(&Item::SetValue)>(), {Rhs()}},
          {kGet, "Value", Bind<&Item::Value>()},
          {kMethod, "ERRORCODE", Bind<&Item::ERRORCODE>(), {In("errc")}},
          {kMethod, "SQL", Bind<&Item::SQL>(), {ShowSets()}},
          {kGet, "Count", Bind<&Item::Count>()},
          {kGet, "DatabaseType", Bind<&Item::DatabaseType>()},
          {kPut, "DatabaseType", Bind<&Item::SetDatabaseType>(), {Rhs()}},
          {kMethod, "Clear", Bind<&Item::Clear>()},
          {kPut, "DataType", Bind<&Item::SetDataType>(), {Rhs()}},
          {kGet, "DataType", Bind<&Item::DataType>()},
          {kGet, "Field", Bind<&Item::Field>()},
          {kGet, "Table", Bind<&Item::Table>()},
          {kMethod, "IsInSet", Bind<&Item::IsInSet>(), {In("SetName")}},
      });
  return info;
}

}  // namespace talvane::component::detail
