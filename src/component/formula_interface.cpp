#include "component/interfaces.hpp"

#include "component/interface_builder.hpp"
#include "talvane/component/identities.hpp"

namespace talvane::component::detail {

const TypeInfo& FormulaInterface() {
  static const TypeInfo info = InterfaceBuilder::Build(
      "_Formula", kIidFormula, "Value",
      {
          {kGet, "INode_DatabaseType", Bind<&Formula::INode_DatabaseType>()},
          {kPut, "INode_DatabaseType", Bind<&Formula::SetINode_DatabaseType>(), {Rhs()}},
          {kPut, "DataType", Bind<&Formula::SetDataType>(), {Rhs()}},
          {kGet, "DataType", Bind<&Formula::DataType>()},
          {kPut, "ItemType", Bind<&Formula::SetItemType>(), {Rhs()}},
          {kGet, "ItemType", Bind<&Formula::ItemType>()},
          {kPut, "Name", Bind<&Formula::SetName>(), {Rhs()}},
          {kGet, "Name", Bind<&Formula::Name>()},
          {kPutRef, "Parent", Bind<&Formula::SetParent>(), {Rhs()}},
          {kGet, "Parent", Bind<&Formula::Parent>()},
          {kPutRef, "Node", Bind<&Formula::SetNode>(), {In("Index"), Rhs()}},
          {kGet, "Node", Bind<&Formula::Node>(), {In("Index")}},
          // The text is passed by reference: the caller gets it back trimmed.
          {kPut, "Value", Bind<static_cast<void (Formula::*)(std::string&)>(&Formula::SetValue)>(), {Rhs()}},
          {kGet, "Value", Bind<&Formula::Value>()},
          {kMethod, "ERRORCODE", Bind<&Formula::ERRORCODE>(), {In("errc")}},
          {kMethod, "SQL", Bind<&Formula::SQL>(), {ShowSets()}},
          {kGet, "Count", Bind<&Formula::Count>()},
          {kMethod, "Clear", Bind<&Formula::Clear>()},
          {kGet, "ErrorItem", Bind<&Formula::ErrorItem>()},
          {kGet, "Fields", Bind<&Formula::Fields>()},
          {kGet, "Tables", Bind<&Formula::Tables>()},
          {kGet, "ErrorPos", Bind<&Formula::ErrorPos>()},
          {kGet, "Grouping", Bind<&Formula::Grouping>()},
          {kPut, "Grouping", Bind<&Formula::SetGrouping>(), {Rhs()}},
          {kGet, "NonAggragateFields", Bind<&Formula::NonAggragateFields>()},
          {kGet, "Aggragate", Bind<&Formula::Aggragate>()},
          {kGet, "DatabaseType", Bind<&Formula::DatabaseType>()},
          {kPut, "DatabaseType", Bind<&Formula::SetDatabaseType>(), {Rhs()}},
          {kMethod, "Add", Bind<static_cast<void (Formula::*)(std::string&)>(&Formula::Add)>(), {ByRef("newItem")}},
          {kMethod, "TempConnection", Bind<&Formula::TempConnection>(), {ByRef("newCnn")}, "Variant"},
          {kGet, "Valid", Bind<&Formula::Valid>()},
          {kGet, "ComparisonSet", Bind<&Formula::ComparisonSet>()},
          {kGet, "Comparison", Bind<&Formula::Comparison>()},
          {kGet, "SectionSeperator", Bind<&Formula::SectionSeperator>()},
          {kMethod, "FieldsReferencingSet", Bind<&Formula::FieldsReferencingSet>(), {ByRef("SetName")}},
          {kMethod, "PrintIt", Bind<&Formula::PrintIt>()},
      });
  return info;
}

}  // namespace talvane::component::detail
