#include "component/interfaces.hpp"

#include "component/interface_builder.hpp"
#include "talvane/component/identities.hpp"

namespace talvane::component::detail {

const TypeInfo& ExceptionInterface() {
  static const TypeInfo info = InterfaceBuilder::Build(
      "_Exception", kIidException, "",
      {
          {kGet, "Formulae", Bind<&Exception::Formulae>()},
          {kPutRef, "Formulae", Bind<&Exception::SetFormulae>(), {Rhs()}},
          {kGet, "Fields", Bind<&Exception::Fields>()},
          {kPutRef, "Fields", Bind<&Exception::SetFields>(), {Rhs()}},
          {kGet, "MainField", Bind<&Exception::MainField>()},
          {kPut, "MainField", Bind<&Exception::SetMainField>(), {Rhs()}},
          {kGet, "MainTable", Bind<&Exception::MainTable>()},
          {kPut, "MainTable", Bind<&Exception::SetMainTable>(), {Rhs()}},
          {kGet, "Connection", Bind<&Exception::Connection>()},
          {kPutRef, "Connection", Bind<&Exception::SetConnection>(), {Rhs()}},
          {kGet, "DatabaseType", Bind<&Exception::DatabaseType>()},
          {kMethod, "Clear", Bind<&Exception::Clear>()},
          {kMethod, "SQL", Bind<&Exception::SQL>()},
          {kMethod, "FindSets", Bind<&Exception::FindSets>()},
          {kMethod, "FieldsReferencingSet", Bind<&Exception::FieldsReferencingSet>(), {In("SetName")}},
          {kMethod, "Sets", Bind<&Exception::Sets>()},
          {kMethod, "FieldsInSet", Bind<&Exception::FieldsInSet>(), {In("SetName")}},
          // Added members come last: the identifiers of the earlier ones stay what hosts have stored.
          {kGet, "LanguageLevel", Bind<&Exception::LanguageLevel>()},
          {kPut, "LanguageLevel", Bind<&Exception::SetLanguageLevel>(), {Rhs()}},
          {kGet, "Distinct", Bind<&Exception::Distinct>()},
          {kPut, "Distinct", Bind<&Exception::SetDistinct>(), {Rhs()}},
      });
  return info;
}

}  // namespace talvane::component::detail
