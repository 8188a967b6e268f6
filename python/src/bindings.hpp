#pragma once
// The parts of the compiled module `talvane._talvane`, one function per class it publishes.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

namespace talvane::python {

void BindErrors(pybind11::module_& module);
void BindEnums(pybind11::module_& module);
void BindConnection(pybind11::module_& module);
void BindFormula(pybind11::module_& module);
void BindFormulaList(pybind11::module_& module);
void BindField(pybind11::module_& module);
void BindFieldList(pybind11::module_& module);
void BindReport(pybind11::module_& module);
void BindSchemaScope(pybind11::module_& module);
void BindScan(pybind11::module_& module);

}  // namespace talvane::python
