#include "component/interfaces.hpp"

#include "component/interface_builder.hpp"
#include "talvane/component/identities.hpp"

namespace talvane::component::detail {

namespace {
// The published write takes the index first and the formula last.
void SetFormulaAt(FormulaList& list, int32_t Index, const std::shared_ptr<Formula>& formula) {
  list.SetFormula(formula, Index);
}
}  // namespace

const TypeInfo& FormulaListInterface() {
  static const TypeInfo info = InterfaceBuilder::Build(
      "_FormulaList", kIidFormulaList, "Formula",
      {
          {kGet, "Formula", Bind<&FormulaList::Formula>(), {OptionalIndex()}},
          {kPutRef, "Formula", Bind<&SetFormulaAt>(), {OptionalIndex(), Rhs()}},
          {kGet, "Index", Bind<&FormulaList::Index>()},
          {kPut, "Index", Bind<&FormulaList::SetIndex>(), {Rhs()}},
          {kGet, "Connection", Bind<&FormulaList::Connection>()},
          {kPutRef, "Connection", Bind<&FormulaList::SetConnection>(), {Rhs()}},
          {kMethod, "AddNew", Bind<&FormulaList::AddNew>()},
          {kMethod, "Remove", Bind<static_cast<void (FormulaList::*)(int32_t*)>(&FormulaList::Remove)>(),
           {OptionalIndexByRef()}},
          {kGet, "EOF", Bind<&FormulaList::Eof>()},
          {kGet, "BOF", Bind<&FormulaList::Bof>()},
          {kMethod, "ErrorPos", Bind<static_cast<int32_t (FormulaList::*)(int32_t*) const>(&FormulaList::ErrorPos)>(),
           {OptionalIndexByRef()}},
          {kMethod, "ErrorItem",
           Bind<static_cast<std::string (FormulaList::*)(int32_t*) const>(&FormulaList::ErrorItem)>(),
           {OptionalIndexByRef()}},
          {kMethod, "ERRORCODE", Bind<&FormulaList::ERRORCODE>(), {In("errc")}},
          {kMethod, "MoveFirst", Bind<&FormulaList::MoveFirst>()},
          {kMethod, "MoveLast", Bind<&FormulaList::MoveLast>()},
          {kMethod, "MoveNext", Bind<&FormulaList::MoveNext>()},
          {kMethod, "MovePrevious", Bind<&FormulaList::MovePrevious>()},
          {kGet, "Count", Bind<&FormulaList::Count>()},
          {kMethod, "Clear", Bind<&FormulaList::Clear>()},
          {kGet, "DatabaseType", Bind<&FormulaList::DatabaseType>()},
          {kPut, "DatabaseType", Bind<&FormulaList::SetDatabaseType>(), {Rhs()}},
          {kGet, "Exception", Bind<&FormulaList::Exception>()},
          {kPutRef, "Exception", Bind<&FormulaList::SetException>(), {Rhs()}},
      });
  return info;
}

}  // namespace talvane::component::detail
