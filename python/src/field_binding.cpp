#include "bindings.hpp"
#include "talvane/report/field.hpp"

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

}  // namespace

void BindField(py::module_& module) {
  py::class_<Field, std::shared_ptr<Field>>(module, "Field", kFieldDoc)
      .def_property("value", &Field::Value, &SetText<&Field::SetValue>,
                    "The field reference; setting it looks the column up in the database.")
      .def_property("name", &Field::Name, &SetText<&Field::SetName>, "The output name.")
      .def_property("aggragate_function", &Field::AggragateFunction, &SetText<&Field::SetAggragateFunction>,
                    "SUM, COUNT, MAX, MIN, AVG, TOTAL or empty.")
      .def_property("field_only", &Field::FieldOnly, &SetText<&Field::SetFieldOnly>, "The column name alone.")
      .def_property("order_direction", &Field::OrderDirection, &SetText<&Field::SetOrderDirection>,
                    "Ascending or Descending.")
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
      .def("__repr__", [](const Field& f) { return "<talvane.Field " + py::repr(py::str(f.Value())).cast<std::string>() + ">"; });
}

}  // namespace talvane::python
