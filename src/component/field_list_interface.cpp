#include "component/interfaces.hpp"

#include "component/interface_builder.hpp"
#include "talvane/component/identities.hpp"

namespace talvane::component::detail {

namespace {
// The published write takes the index first and the field last.
void SetFieldAt(FieldList& list, int32_t Index, const std::shared_ptr<Field>& field) { list.SetField(field, Index); }
}  // namespace

const TypeInfo& FieldListInterface() {
  static const TypeInfo info = InterfaceBuilder::Build(
      "_FieldList", kIidFieldList, "Field",
      {
          {kGet, "Field", Bind<&FieldList::Field>(), {OptionalIndex()}},
          // A write whose value is an object (the held field takes the given field's reference text).
          {kPut, "Field", Bind<&SetFieldAt>(), {OptionalIndex(), Rhs()}},
          {kMethod, "AddNew", Bind<&FieldList::AddNew>()},
          {kMethod, "Remove", Bind<static_cast<void (FieldList::*)(int32_t*)>(&FieldList::Remove)>(),
           {OptionalIndexByRef()}},
          {kGet, "EOF", Bind<&FieldList::Eof>()},
          {kGet, "BOF", Bind<&FieldList::Bof>()},
          {kMethod, "ERRORCODE", Bind<&FieldList::ERRORCODE>(), {In("errc")}},
          {kMethod, "MoveFirst", Bind<&FieldList::MoveFirst>()},
          {kMethod, "MoverFirstByOrder", Bind<&FieldList::MoverFirstByOrder>()},
          {kMethod, "MoverNextByOrder", Bind<&FieldList::MoverNextByOrder>()},
          {kMethod, "MoveLast", Bind<&FieldList::MoveLast>()},
          {kMethod, "MoveNext", Bind<&FieldList::MoveNext>()},
          {kMethod, "MovePrevious", Bind<&FieldList::MovePrevious>()},
          {kGet, "Count", Bind<&FieldList::Count>()},
          {kMethod, "Clear", Bind<&FieldList::Clear>()},
          {kGet, "Parent", Bind<&FieldList::Parent>()},
          {kPutRef, "Parent", Bind<&FieldList::SetParent>(), {Rhs()}},
      });
  return info;
}

}  // namespace talvane::component::detail
