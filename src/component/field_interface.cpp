#include "component/interfaces.hpp"

#include "component/interface_builder.hpp"
#include "talvane/component/identities.hpp"

namespace talvane::component::detail {

const TypeInfo& FieldInterface() {
  static const TypeInfo info = InterfaceBuilder::Build(
      "_Field", kIidField, "Field",
      {
          {kMethod, "Clear", Bind<&Field::Clear>()},
          {kGet, "IsInSet", Bind<&Field::IsInSet>()},
          {kGet, "Table", Bind<&Field::Table>()},
          {kGet, "Aggragate", Bind<&Field::Aggragate>()},
          {kGet, "AggragateFunction", Bind<&Field::AggragateFunction>()},
          {kPut, "AggragateFunction", Bind<&Field::SetAggragateFunction>(), {Rhs()}},
          {kGet, "FieldOnly", Bind<&Field::FieldOnly>()},
          {kPut, "FieldOnly", Bind<&Field::SetFieldOnly>(), {Rhs()}},
          // The default member keeps its published name; C++ spells it Value.
          {kGet, "Field", Bind<&Field::Value>()},
          {kPut, "Field", Bind<&Field::SetValue>(), {Rhs()}},
          {kGet, "FieldInSet", Bind<&Field::FieldInSet>()},
          {kGet, "NameOfSet", Bind<&Field::NameOfSet>()},
          {kGet, "Ordered", Bind<&Field::Ordered>()},
          {kPut, "Ordered", Bind<&Field::SetOrdered>(), {Rhs()}},
          {kGet, "Total", Bind<&Field::Total>()},
          {kPut, "Total", Bind<&Field::SetTotal>(), {Rhs()}},
          {kGet, "OrderPos", Bind<&Field::OrderPos>()},
          {kPut, "OrderPos", Bind<&Field::SetOrderPos>(), {Rhs()}},
          {kGet, "OrderDirection", Bind<&Field::OrderDirection>()},
          {kPut, "OrderDirection", Bind<&Field::SetOrderDirection>(), {Rhs()}},
          {kGet, "Name", Bind<&Field::Name>()},
          {kPut, "Name", Bind<&Field::SetName>(), {Rhs()}},
      });
  return info;
}

}  // namespace talvane::component::detail
