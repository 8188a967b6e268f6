#include "bindings.hpp"
#include "talvane/report/field.hpp"
#include "text_arguments.hpp"

namespace py = pybind11;

namespace talvane::python {

namespace {

constexpr const char* kFieldDoc =
    "One output column of a report: a database column (Orders.Amount, [Orders].[Ship Date]) or a column a set "
    "supplies. Get them from report.fields.";

// A setter of the field that takes text; setting the reference asks the database, without the GIL.
template <void (Field::*Set)(std::string_view)>
void SetText(Field& field, const std::string& value) {
  const py::gil_scoped_release release;
  (field.*Set)(value);
}

void SetDirection(Field& field, const py::handle& direction) {
  SetText<&Field::SetOrderDirection>(field, DirectionArgument(direction));
}

// <talvane.Field '[Orders].[Amount]' name='[Total]' aggregate='SUM'>
std::string Repr(const Field& field) {
  std::string text = "<talvane.Field " + py::repr(py::str(field.Value())).cast<std::string>();
  if (!field.Name().empty()) text += " name=" + py::repr(py::str(field.Name())).cast<std::string>();
  if (!field.AggragateFunction().empty()) {
    text += " aggregate=" + py::repr(py::str(field.AggragateFunction())).cast<std::string>();
  }
  return text + ">";
}

}  // namespace

void BindField(py::module_& module) {
  py::class_<Field, std::shared_ptr<Field>> binding(module, "Field", kFieldDoc);
  // Under its correct spelling and under the published one.
  for (const char* name : {"aggregate_function", "aggragate_function"}) {
    binding.def_property(name, &Field::AggragateFunction, &SetText<&Field::SetAggragateFunction>,
                         "SUM, COUNT, MAX, MIN, AVG, TOTAL or empty.");
  }
  binding.def_property("value", &Field::Value, &SetText<&Field::SetValue>,
                    "The field reference; setting it looks the column up in the database.")
      .def_property("name", &Field::Name, &SetText<&Field::SetName>, "The output name.")
      .def_property("field_only", &Field::FieldOnly, &SetText<&Field::SetFieldOnly>, "The column name alone.")
      .def_property("order_direction", &Field::OrderDirection, &SetDirection,
                    "Ascending or Descending (ValueError for anything else).")
      .def_property("ordered", &Field::Ordered, &Field::SetOrdered, "Whether the field is in the ORDER BY list.")
      .def_property("total", &Field::Total, &Field::SetTotal, "Whether the field is a total.")
      .def_property("order_pos", &Field::OrderPos, &Field::SetOrderPos,
                    "Place in the ORDER BY list, from 1; 0 when not in it.")
      .def_property_readonly("is_in_set", &Field::IsInSet, "Whether a set supplies the column.")
      .def_property_readonly("table", &Field::Table, "The table of the column.")
      .def_property_readonly("aggragate", &Field::Aggragate, "Whether an aggregate function applies.")
      .def_property_readonly("field_in_set", &Field::FieldInSet, "The column as the set names it.")
      .def_property_readonly("name_of_set", &Field::NameOfSet, "The set that supplies the column.")
      .def("clear", &Field::Clear, "Empties the field.")
      .def("__repr__", &Repr);
}

}  // namespace talvane::python
