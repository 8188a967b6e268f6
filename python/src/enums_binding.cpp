#include "bindings.hpp"
#include "talvane/foundation/enums.hpp"

namespace py = pybind11;

namespace talvane::python {

void BindEnums(py::module_& module) {
  py::enum_<GROUPTYPEENU>(module, "Grouping",
                          "How a formula's condition joins the ones before it in its group: BASE (no operator, "
                          "the first of a group), AND or OR.")
      .value("BASE", kBase)
      .value("AND", kAnd)
      .value("OR", kOr);
  py::enum_<DATABASETYPEENU>(module, "DatabaseType",
                             "The SQL dialect of a statement, chosen by the Provider of the connection string.")
      .value("ACCESS", kAccess)
      .value("SQL_SERVER", kSQLServer)
      .value("SQLITE", kSQLite)
      .value("POSTGRESQL", kPostgreSQL);
}

}  // namespace talvane::python
