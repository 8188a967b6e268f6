#include <optional>

#include "bindings.hpp"
#include "formula_failure.hpp"
#include "grouping_argument.hpp"
#include "sequence_protocol.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/formula_list.hpp"

namespace py = pybind11;
using namespace pybind11::literals;

namespace talvane::python {

namespace {

constexpr const char* kFormulaListDoc =
    "The rules of a report, in order: report.formulas. len(), indexing from 0 and iteration work as on a list; "
    "add() appends a formula. The published cursor members (move_first, eof, ...) count from 1.";

// The new formula is taken out again when any of its settings is refused, so that a failed add leaves the
// list as it was.
std::shared_ptr<Formula> Add(FormulaList& list, std::string text, const std::optional<std::string>& name,
                             GROUPTYPEENU grouping) {
  const py::gil_scoped_release release;
  list.AddNew();
  const std::shared_ptr<Formula> formula = list.Formula();
  try {
    formula->SetGrouping(grouping);
    if (name) formula->SetName(*name);
    formula->SetValue(text);
  } catch (const Error& e) {
    const FormulaFailure failure{e, formula->ErrorPos(), formula->ErrorItem()};
    list.Remove(list.Count());
    throw failure;
  }
  return formula;
}

}  // namespace

void BindFormulaList(py::module_& module) {
  const py::call_guard<py::gil_scoped_release> released;
  py::class_<FormulaList, std::shared_ptr<FormulaList>> binding(module, "FormulaList", kFormulaListDoc);
  AddSequenceProtocol<FormulaList, Formula, &FormulaList::Formula>(binding);
  binding
      .def(
          "add",
          [](FormulaList& list, std::string text, const std::optional<std::string>& name, const py::object& grouping) {
            return Add(list, std::move(text), name, grouping.is_none() ? kAnd : GroupingArgument(grouping));
          },
          "text"_a, py::kw_only(), "name"_a = py::none(), "grouping"_a = py::none(), py::keep_alive<0, 1>(),
          "Appends a formula: its text, the set it belongs to (name) and how it joins the formulas before it "
          "(grouping: \"and\", the default, \"or\" or \"base\"). Raises talvane.Error, with the position and item "
          "where the text failed, and leaves the list as it was.")
      .def("formula", &FormulaList::Formula, "index"_a = -1, py::keep_alive<0, 1>(),
           "The formula at a 1-based index; -1 is the cursor.")
      .def("set_formula", &FormulaList::SetFormula, "formula"_a, "index"_a = -1, released,
           "The formula at a 1-based index (-1: the cursor) takes the given formula's text.")
      .def_property("index", &FormulaList::Index, &FormulaList::SetIndex, "The cursor, from 1.")
      .def_property("connection", &FormulaList::Connection, &FormulaList::SetConnection, "The list's connection.")
      .def("add_new", &FormulaList::AddNew, "Appends an empty formula and moves the cursor to it.")
      .def("remove", py::overload_cast<int32_t>(&FormulaList::Remove), "index"_a = -1,
           "Removes the formula at a 1-based index; -1 is the cursor.")
      .def_property_readonly("eof", &FormulaList::Eof, "Whether the cursor is past the last formula.")
      .def_property_readonly("bof", &FormulaList::Bof, "Whether the cursor is before the first formula.")
      .def("error_pos", py::overload_cast<int32_t>(&FormulaList::ErrorPos, py::const_), "index"_a = -1,
           "Where the text of the formula at a 1-based index last failed.")
      .def("error_item", py::overload_cast<int32_t>(&FormulaList::ErrorItem, py::const_), "index"_a = -1,
           "The item where the text of the formula at a 1-based index last failed.")
      .def("move_first", &FormulaList::MoveFirst)
      .def("move_last", &FormulaList::MoveLast)
      .def("move_next", &FormulaList::MoveNext)
      .def("move_previous", &FormulaList::MovePrevious)
      .def_property_readonly("count", &FormulaList::Count, "The number of formulas.")
      .def("clear", &FormulaList::Clear, released, "Removes every formula.")
      .def_property("database_type", &FormulaList::DatabaseType, &FormulaList::SetDatabaseType,
                    "The dialect the formulas render.")
      .def_property_readonly("exception", &FormulaList::Exception, "The report that holds the list.");
}

}  // namespace talvane::python
