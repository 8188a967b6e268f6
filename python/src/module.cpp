// The compiled part of the `talvane` package; talvane/__init__.py publishes it.
#include "bindings.hpp"

PYBIND11_MODULE(_talvane, module) {
  module.doc() = "Talvane report objects: build the SQL statement of an exception report from its rules.";
  module.attr("__version__") = TALVANE_VERSION;
  talvane::python::BindErrors(module);
  talvane::python::BindEnums(module);
  talvane::python::BindConnection(module);
  talvane::python::BindFormula(module);
  talvane::python::BindFormulaList(module);
  talvane::python::BindField(module);
  talvane::python::BindFieldList(module);
  talvane::python::BindReport(module);
  talvane::python::BindSchemaScope(module);
  talvane::python::BindScan(module);
}
