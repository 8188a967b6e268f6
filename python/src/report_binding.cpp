#include <fstream>
#include <optional>

#include "bindings.hpp"
#include "cell_values.hpp"
#include "report_check.hpp"
#include "report_rows_reader.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/definition/definition_error.hpp"
#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/definition_writer.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"
#include "text_arguments.hpp"

namespace py = pybind11;
using namespace pybind11::literals;

namespace talvane::python {

namespace {

constexpr const char* kReportDoc =
    "An exception report: a main table and its key field, rules (formulas) and output fields, on a connection.\n"
    "\n"
    "    report = talvane.Report(talvane.connect(\"Data Source=sample.db\"))\n"
    "    report.main_table, report.main_field = \"Orders\", \"OrderID\"\n"
    "    report.fields.add(\"Orders.Amount\")\n"
    "    report.formulas.add(\"Orders.Amount > 100\")\n"
    "    print(report.sql)        # the SELECT statement, in the dialect of the connection\n"
    "    rows = report.run()      # its rows, run in the SQLite dialect\n"
    "\n"
    "Every failure of the library raises talvane.Error with its number.";

std::shared_ptr<Exception> NewReport(const std::shared_ptr<db::Connection>& connection) {
  std::shared_ptr<Exception> report = Exception::Create();
  if (connection) report->SetConnection(connection);
  return report;
}

// A dict is written as JSON and read as a definition file's text; anything else names a file.
Definition ReadDefinition(const py::object& definition) {
  if (py::isinstance<py::dict>(definition)) {
    const std::string text = py::module_::import("json").attr("dumps")(definition).cast<std::string>();
    return ParseDefinition(text, "<dict>");
  }
  if (!py::isinstance<py::str>(definition) && !py::hasattr(definition, "__fspath__")) {
    throw py::type_error("a definition is a dict or the path of a JSON file");
  }
  const std::string path = py::str(py::module_::import("os").attr("fspath")(definition)).cast<std::string>();
  const py::gil_scoped_release release;
  return LoadDefinition(path);
}

std::shared_ptr<Exception> FromDefinition(const py::object& definition,
                                          const std::shared_ptr<db::Connection>& connection) {
  return BuildCheckedReport(ReadDefinition(definition), connection);
}

py::dict ToDefinition(const Exception& report, const std::optional<py::object>& path) {
  std::string text;
  {
    const py::gil_scoped_release release;
    text = DefinitionJson(DefinitionOf(report));
  }
  if (path) {
    const std::string file = py::str(py::module_::import("os").attr("fspath")(*path)).cast<std::string>();
    std::ofstream out(file, std::ios::binary);
    if (!(out << text)) throw DefinitionError("cannot write the definition " + file);
  }
  return py::module_::import("json").attr("loads")(text);
}

void Validate(Exception& report) {
  const SqliteStatement built = SqliteStatementOf(report);
  built.connection->Compile(built.statement);
}

py::object Run(Exception& report, std::optional<int64_t> limit) {
  if (limit && *limit < 0) throw py::value_error("limit must be 0 or more");
  ReadRows read;
  {
    const py::gil_scoped_release release;
    read = ReadReportRows(report, limit);
  }
  const CellValues cells;
  py::list rows;
  for (const std::vector<Cell>& row : read.rows) {
    py::tuple values(row.size());
    for (std::size_t c = 0; c < row.size(); ++c) values[c] = cells.Value(row[c], read.columnTypes[c]);
    rows.append(values);
  }
  return py::module_::import("talvane._rows").attr("Rows")(rows, py::tuple(py::cast(read.columnNames)));
}

// <talvane.Report main_table='[Orders]' main_field='[OrderID]' formulas=2 fields=1 database_type=SQLITE>
std::string Repr(const Exception& report) {
  return "<talvane.Report main_table=" + py::repr(py::str(report.MainTable())).cast<std::string>() +
         " main_field=" + py::repr(py::str(report.MainField())).cast<std::string>() +
         " formulas=" + std::to_string(report.Formulae()->Count()) +
         " fields=" + std::to_string(report.Fields()->Count()) +
         " database_type=" + py::str(py::cast(report.DatabaseType()).attr("name")).cast<std::string>() + ">";
}

}  // namespace

void BindReport(py::module_& module) {
  const py::call_guard<py::gil_scoped_release> released;
  py::class_<Exception, std::shared_ptr<Exception>>(module, "Report", kReportDoc)
      .def(py::init(&NewReport), "connection"_a = py::none(), "A new, empty report on the connection.")
      .def_static("from_definition", &FromDefinition, "definition"_a, "connection"_a,
                  "A report built from a definition: a dict, or the path of a JSON definition file. Raises "
                  "talvane.DefinitionError when it is no valid definition or applies with failures (what "
                  "`talvane sql` refuses: a setting the library refuses, an incomplete formula, a reference to "
                  "nothing, ...); its `failures` lists them all, as Report.check() does.")
      .def("to_definition", &ToDefinition, "path"_a = py::none(),
           "The report as a definition dict (main table and field, fields, formulas), also written to `path` as "
           "JSON when given; Report.from_definition builds the same statement from it.")
      .def_property("formulas", py::cpp_function(&Exception::Formulae, py::keep_alive<0, 1>()), &Exception::SetFormulae,
                    "The rules (talvane.FormulaList).")
      .def_property("fields", py::cpp_function(&Exception::Fields, py::keep_alive<0, 1>()), &Exception::SetFields,
                    "The output fields (talvane.FieldList).")
      .def_property("main_table", &Exception::MainTable,
                    [](Exception& r, const py::handle& value) { r.SetMainTable(TextArgument("main_table", value)); },
                    "The table whose records the report lists.")
      .def_property("main_field", &Exception::MainField,
                    [](Exception& r, const py::handle& value) { r.SetMainField(TextArgument("main_field", value)); },
                    "Its key column, on which every set is joined.")
      .def_property("language_level", &Exception::LanguageLevel, &Exception::SetLanguageLevel,
                    "1 (the default): statements as they always were; 2: rows filtered before grouping, joins from "
                    "the main table, COUNT of non-NULL values, output aggregates applied. Setting it checks every "
                    "formula again.")
      .def_property("distinct", &Exception::Distinct, &Exception::SetDistinct,
                    "One row per distinct result (SELECT DISTINCT).")
      .def_property("connection", &Exception::Connection, &Exception::SetConnection,
                    "The connection; its Provider chooses the dialect.")
      .def_property_readonly("database_type", &Exception::DatabaseType, "The dialect of the statement.")
      .def_property_readonly("sql", py::cpp_function(&Exception::SQL, released), "The SELECT statement of the report.")
      .def_property_readonly("sets", &Exception::Sets, "The names of the report's sets.")
      .def("clear", &Exception::Clear, "Removes every formula and field.")
      .def("find_sets", &Exception::FindSets, released, "Does nothing: the references to sets are resolved as formulas are assigned and renamed.")
      .def("fields_referencing_set", &Exception::FieldsReferencingSet, "set_name"_a, released,
           "The fields of the formulas that name the set.")
      .def("fields_in_set", &Exception::FieldsInSet, "set_name"_a, released, "The output columns of the set.")
      .def("validate", &Validate, released,
           "Builds the statement in the SQLite dialect and has the database compile it, without running it; "
           "raises talvane.Error when either fails.")
      .def("check", &CheckReport,
           "What `talvane check` finds in the report: a talvane.CheckResult whose `failures` (the statement "
           "cannot be built or SQLite refuses it) and `warnings` (it probably does not mean what it says) are "
           "talvane.Finding objects.")
      .def("run", &Run, py::kw_only(), "limit"_a = py::none(),
           "Runs the statement in the SQLite dialect and returns its rows (at most `limit`): a list of tuples "
           "with the attribute column_names.")
      .def("__repr__", &Repr);
}

}  // namespace talvane::python
