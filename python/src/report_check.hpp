#pragma once
// Report.check() and the failures of Report.from_definition, as the Python objects of talvane/_check.py.
#include <pybind11/pybind11.h>

#include <memory>

#include "talvane/definition/definition.hpp"
#include "talvane/fwd.hpp"

namespace talvane::python {

// What `talvane check` finds in the report: a talvane._check.CheckResult. A report whose connection is
// missing or closed raises what its SQL() raises.
pybind11::object CheckReport(Exception& report);

// The report the definition builds; a definition that applies with failures (what `talvane sql` refuses)
// raises talvane.DefinitionError carrying every failure.
std::shared_ptr<Exception> BuildCheckedReport(const Definition& definition,
                                              const std::shared_ptr<db::Connection>& connection);

}  // namespace talvane::python
