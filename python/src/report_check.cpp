#include "report_check.hpp"

#include <optional>
#include <string>
#include <vector>

#include "report_rows_reader.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/definition/definition_check.hpp"
#include "talvane/definition/definition_writer.hpp"
#include "talvane/definition/report_builder.hpp"
#include "talvane/formula/formula_items.hpp"
#include "talvane/report/exception.hpp"

namespace py = pybind11;
using namespace pybind11::literals;

namespace talvane::python {

namespace {

const char* SubjectName(CheckFailure::Subject subject) {
  switch (subject) {
    case CheckFailure::Subject::kMainTable: return "main_table";
    case CheckFailure::Subject::kMainField: return "main_field";
    case CheckFailure::Subject::kFormula: return "formula";
    case CheckFailure::Subject::kField: return "field";
    case CheckFailure::Subject::kStatement: return "statement";
  }
  return "statement";
}

template <typename Number>
py::object Optional(const std::optional<Number>& value) {
  if (!value) return py::none();
  return py::int_(*value);
}

// The item of the text that starts at `position`, as written; where cutting failed, the text from there to
// the next blank.
py::object ItemAt(const std::string& text, const std::optional<std::size_t>& position) {
  if (!position || *position >= text.size()) return py::none();
  const CutFormula cut = CutIntoItems(text);
  for (const FormulaItem& item : cut.items) {
    if (item.position == *position) return py::str(text.substr(item.position, item.end - item.position));
  }
  const std::size_t end = text.find(' ', *position);
  return py::str(text.substr(*position, end == std::string::npos ? std::string::npos : end - *position));
}

// The 0-based place of a formula or field in its list, none for the other subjects.
py::object IndexIf(CheckFailure::Subject subject, CheckFailure::Subject wanted, std::size_t index) {
  if (subject != wanted || index == 0) return py::none();
  return py::int_(index - 1);
}

py::object FindingOf(CheckFailure::Subject subject, std::size_t index, const std::string& text,
                     const std::optional<std::size_t>& position, std::optional<int32_t> number,
                     const std::string& source, const std::string& message) {
  const py::object finding = py::module_::import("talvane._check").attr("Finding");
  return finding(SubjectName(subject), IndexIf(subject, CheckFailure::Subject::kFormula, index),
                 IndexIf(subject, CheckFailure::Subject::kField, index), text, Optional(position),
                 ItemAt(text, position), Optional(number), source, message);
}

py::list FailuresOf(const std::vector<CheckFailure>& failures) {
  py::list list;
  for (const CheckFailure& f : failures) {
    py::object finding = FindingOf(f.subject, f.index, f.text, f.position, f.errorNumber, f.source, f.message);
    if (!f.setting.empty()) {
      finding = py::module_::import("dataclasses").attr("replace")(finding, "setting"_a = f.setting,
                                                                   "setting_value"_a = f.settingValue);
    }
    list.append(finding);
  }
  return list;
}

py::list WarningsOf(const std::vector<CheckWarning>& warnings) {
  py::list list;
  for (const CheckWarning& w : warnings) {
    list.append(FindingOf(w.subject, w.index, w.text, w.position, std::nullopt, "", w.message));
  }
  return list;
}

}  // namespace

py::object CheckReport(Exception& report) {
  CheckResult result;
  {
    const py::gil_scoped_release release;
    const std::shared_ptr<db::Connection> own = report.Connection();
    if (!own || own->State() == db::kAdStateClosed) report.SQL();  // raises as report.sql does
    result = CheckDefinition(DefinitionOf(report), own, SqliteConnectionOf(report));
  }
  return py::module_::import("talvane._check").attr("CheckResult")(FailuresOf(result.failures),
                                                                    WarningsOf(result.warnings));
}

std::shared_ptr<Exception> BuildCheckedReport(const Definition& definition,
                                              const std::shared_ptr<db::Connection>& connection) {
  BuiltReport built;
  {
    const py::gil_scoped_release release;
    built = BuildReport(definition, connection);
  }
  if (built.failures.empty()) return built.report;
  const py::object error =
      py::module_::import("talvane._check").attr("_definition_error")(definition.source, FailuresOf(built.failures));
  PyErr_SetObject(py::type::handle_of(error).ptr(), error.ptr());
  throw py::error_already_set();
}

}  // namespace talvane::python
