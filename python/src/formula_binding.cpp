#include "bindings.hpp"
#include "formula_failure.hpp"
#include "grouping_argument.hpp"
#include "talvane/formula/formula.hpp"

namespace py = pybind11;
using namespace pybind11::literals;

namespace talvane::python {

namespace {

constexpr const char* kFormulaDoc =
    "One rule of a report: a comparison such as \"Orders.Amount > 100\". Formulas that share a name form a set, "
    "a derived table joined on the report's main field. Get them from report.formulas.";

// Setting the text parses it and asks the database about the fields it names.
void SetText(Formula& formula, std::string text) {
  const py::gil_scoped_release release;
  try {
    formula.SetValue(text);
  } catch (const Error& e) {
    throw FormulaFailure{e, formula.ErrorPos(), formula.ErrorItem()};
  }
}

void SetGrouping(Formula& formula, const py::handle& grouping) { formula.SetGrouping(GroupingArgument(grouping)); }

// <talvane.Formula '[Orders].[Amount] > 100' name='[Big]' grouping=OR>
std::string Repr(const Formula& formula) {
  std::string text = "<talvane.Formula " + py::repr(py::str(formula.Value())).cast<std::string>();
  if (!formula.Name().empty()) text += " name=" + py::repr(py::str(formula.Name())).cast<std::string>();
  return text + " grouping=" + py::str(py::cast(formula.Grouping()).attr("name")).cast<std::string>() + ">";
}

}  // namespace

void BindFormula(py::module_& module) {
  const py::call_guard<py::gil_scoped_release> released;
  py::class_<Formula, std::shared_ptr<Formula>> binding(module, "Formula", kFormulaDoc);
  // Each under its correct spelling and under the published one.
  for (const char* name : {"non_aggregate_fields", "non_aggragate_fields"}) {
    binding.def_property_readonly(name, py::cpp_function(&Formula::NonAggragateFields, released),
                                  "The fields named outside an aggregate function.");
  }
  for (const char* name : {"section_separator", "section_seperator"}) {
    binding.def_property_readonly(name, &Formula::SectionSeperator,
                                  "What separates the right-hand operands (AND for BETWEEN, a comma for IN).");
  }
  binding.def_property("value", &Formula::Value, &SetText,
                    "The text of the formula; setting it parses it (talvane.Error with position and item "
                    "when it does not parse).")
      .def_property("name", &Formula::Name, [](Formula& f, const std::string& name) { f.SetName(name); },
                    "The set the formula belongs to; empty for the report's own conditions.")
      .def_property("grouping", &Formula::Grouping, &SetGrouping,
                    "How the condition joins the ones before it in its group: talvane.Grouping or \"and\", "
                    "\"or\", \"base\".")
      .def("sql", &Formula::SQL, "show_sets"_a = false, released, "The condition as SQL.")
      .def_property_readonly("data_type", [](const Formula& f) { return static_cast<int32_t>(f.DataType()); },
                             "The data type of the comparison (0 string, 1 numeric, 2 date, 3 time, 4 boolean).")
      .def_property_readonly("item_type", [](const Formula& f) { return static_cast<int32_t>(f.ItemType()); },
                             "The node kind (7, a formula).")
      .def_property_readonly("count", &Formula::Count, "The number of operand sections.")
      .def("clear", &Formula::Clear, "Empties the formula.")
      .def_property_readonly("error_item", &Formula::ErrorItem, "The item where the text last failed.")
      .def_property_readonly("error_pos", &Formula::ErrorPos, "The byte position where the text last failed.")
      .def_property_readonly("fields", py::cpp_function(&Formula::Fields, released), "The fields the formula names.")
      .def_property_readonly("tables", py::cpp_function(&Formula::Tables, released), "The tables the formula names.")
      .def_property_readonly("aggragate", &Formula::Aggragate, "Whether the formula applies an aggregate function.")
      .def_property_readonly("database_type", &Formula::DatabaseType, "The dialect the formula renders.")
      .def_property_readonly("valid", &Formula::Valid, "Whether the formula is complete.")
      .def_property_readonly("comparison_set", &Formula::ComparisonSet, "Whether the comparison has been read.")
      .def_property_readonly("comparison", &Formula::Comparison, "The comparison operator.")
      .def("fields_referencing_set", &Formula::FieldsReferencingSet, "set_name"_a, released,
           "The fields of the formula that name the set.")
      .def("print_it", &Formula::PrintIt, "The node tree of the formula, one node a line.")
      .def("add", [](Formula& f, const std::string& item) { f.Add(std::string_view(item)); }, "item"_a, released,
           "Appends one item (an operand or operator) to the formula.")
      .def("__repr__", &Repr);
}

}  // namespace talvane::python
