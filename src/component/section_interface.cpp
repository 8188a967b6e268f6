#include "component/interfaces.hpp"

#include "component/interface_builder.hpp"
#include "talvane/component/identities.hpp"

namespace talvane::component::detail {

namespace {
using AddByReference = void (Section::*)(std::string&, const std::shared_ptr<INode>&,
                                         const std::shared_ptr<db::Connection>&);
}  // namespace

const TypeInfo& SectionInterface() {
  static const TypeInfo info = InterfaceBuilder::Build(
      "_Section", kIidSection, "Value",
      {
          {kGet, "INode_DatabaseType", Bind<&Section::INode_DatabaseType>()},
          {kPut, "INode_DatabaseType", Bind<&Section::SetINode_DatabaseType>(), {Rhs()}},
          {kPut, "DataType", Bind<&Section::SetDataType>(), {Rhs()}},
          {kGet, "DataType", Bind<&Section::DataType>()},
          {kPut, "ItemType", Bind<&Section::SetItemType>(), {Rhs()}},
          {kGet, "ItemType", Bind<&Section::ItemType>()},
          {kPut, "Name", Bind<&Section::SetName>(), {Rhs()}},
          {kGet, "Name", Bind<&Section::Name>()},
          {kPut, "SectionFunction", Bind<&Section::SetSectionFunction>(), {Rhs()}},
          {kGet, "SectionFunction", Bind<&Section::SectionFunction>()},
          {kPutRef, "Parent", Bind<&Section::SetParent>(), {Rhs()}},
          {kGet, "Parent", Bind<&Section::Parent>()},
          {kPutRef, "Node", Bind<&Section::SetNode>(), {In("Index"), Rhs()}},
          {kGet, "Node", Bind<&Section::Node>(), {In("Index")}},
          {kPut, "Value", Bind<static_cast<void (Section::*)(std::string&)>(&Section::SetValue)>(), {Rhs()}},
          {kGet, "Value", Bind<&Section::Value>()},
          {kMethod, "ERRORCODE", Bind<&Section::ERRORCODE>(), {In("errc")}},
          {kMethod, "SQL", Bind<&Section::SQL>(), {ShowSets()}},
          {kGet, "Count", Bind<&Section::Count>()},
          {kGet, "DatabaseType", Bind<&Section::DatabaseType>()},
          {kPut, "DatabaseType", Bind<&Section::SetDatabaseType>(), {Rhs()}},
          {kMethod, "Clear", Bind<&Section::Clear>()},
          {kGet, "Fields", Bind<&Section::Fields>()},
          {kGet, "Tables", Bind<&Section::Tables>()},
          {kGet, "ErrorPos", Bind<&Section::ErrorPos>()},
          {kGet, "Locked", Bind<&Section::Locked>()},
          {kPut, "Locked", Bind<&Section::SetLocked>(), {Rhs()}},
          {kGet, "Aggragate", Bind<&Section::Aggragate>()},
          {kGet, "NonAggragateFields", Bind<&Section::NonAggragateFields>()},
          {kGet, "Valid", Bind<&Section::Valid>()},
          {kMethod, "Add", Bind<static_cast<AddByReference>(&Section::Add)>(),
           {ByRef("newItem"), In("myParent"), ByRef("cnn")}},
          {kGet, "Last", Bind<&Section::Last>()},
          {kMethod, "CloseSection", Bind<&Section::CloseSection>()},
          {kMethod, "FieldsReferencingSet", Bind<&Section::FieldsReferencingSet>(), {In("SetName")}},
      });
  return info;
}

}  // namespace talvane::component::detail
