#include <optional>

#include "bindings.hpp"
#include "sequence_protocol.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "text_arguments.hpp"

namespace py = pybind11;
using namespace pybind11::literals;

namespace talvane::python {

namespace {

constexpr const char* kFieldListDoc =
    "The output fields of a report, in order: report.fields. len(), indexing from 0 and iteration work as on a "
    "list; add() appends a field. The published cursor members (move_first, eof, ...) count from 1.";

struct FieldSettings {
  std::optional<std::string> name;
  std::optional<std::string> aggregate;
  std::optional<int32_t> orderPos;
  std::optional<std::string> direction;
};

// As a definition sets a field: reference, name, aggregate function, direction, order position. The new field
// is taken out again when any of them is refused.
std::shared_ptr<Field> Add(FieldList& list, const std::string& reference, const FieldSettings& settings) {
  const py::gil_scoped_release release;
  list.AddNew();
  const std::shared_ptr<Field> field = list.Field();
  try {
    field->SetValue(reference);
    if (settings.name) field->SetName(*settings.name);
    if (settings.aggregate) field->SetAggragateFunction(*settings.aggregate);
    if (settings.direction) field->SetOrderDirection(*settings.direction);
    if (settings.orderPos) field->SetOrderPos(*settings.orderPos);
  } catch (const Error&) {
    list.Remove(list.Count());
    throw;
  }
  return field;
}

}  // namespace

void BindFieldList(py::module_& module) {
  py::class_<FieldList, std::shared_ptr<FieldList>> binding(module, "FieldList", kFieldListDoc);
  AddSequenceProtocol<FieldList, Field, &FieldList::Field>(binding);
  binding
      .def(
          "add",
          [](FieldList& list, const std::string& reference, std::optional<std::string> name,
             std::optional<std::string> aggregate, std::optional<int32_t> orderPos, const py::object& direction) {
            std::optional<std::string> checked;
            if (!direction.is_none()) checked = DirectionArgument(direction);
            return Add(list, reference, {std::move(name), std::move(aggregate), orderPos, std::move(checked)});
          },
          "field"_a, py::kw_only(), "name"_a = py::none(), "aggregate"_a = py::none(), "order_pos"_a = py::none(),
          "direction"_a = py::none(), py::keep_alive<0, 1>(),
          "Appends an output field: its reference (Orders.Amount), output name, aggregate function (SUM, COUNT, "
          "...), place in the ORDER BY list (from 1) and direction (Ascending or Descending; ValueError for "
          "anything else). Raises "
          "talvane.Error and leaves the list as it was when any of them is refused.")
      .def("field", &FieldList::Field, "index"_a = -1, py::keep_alive<0, 1>(),
           "The field at a 1-based index; -1 is the cursor.")
      .def("set_field", &FieldList::SetField, "field"_a, "index"_a = -1,
           "The field at a 1-based index (-1: the cursor) takes the given field's reference.")
      .def("add_new", &FieldList::AddNew, "Appends an empty field and moves the cursor to it.")
      .def("remove", py::overload_cast<int32_t>(&FieldList::Remove), "index"_a = -1,
           "Removes the field at a 1-based index; -1 is the cursor.")
      .def_property_readonly("eof", &FieldList::Eof, "Whether the cursor is past the last field.")
      .def_property_readonly("bof", &FieldList::Bof, "Whether the cursor is before the first field.")
      .def("move_first", &FieldList::MoveFirst)
      .def("mover_first_by_order", &FieldList::MoverFirstByOrder, "Moves to the first field in ORDER BY order.")
      .def("mover_next_by_order", &FieldList::MoverNextByOrder, "Moves to the next field in ORDER BY order.")
      .def("move_last", &FieldList::MoveLast)
      .def("move_next", &FieldList::MoveNext)
      .def("move_previous", &FieldList::MovePrevious)
      .def_property_readonly("count", &FieldList::Count, "The number of fields.")
      .def("clear", &FieldList::Clear, "Removes every field.")
      .def_property_readonly("parent", &FieldList::Parent, "The report that holds the list.");
}

}  // namespace talvane::python
