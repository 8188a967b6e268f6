// C++ errors become the Python exceptions of talvane/_errors.py: talvane.Error for the library's errors,
// talvane.DefinitionError for a definition that cannot be read.
#include <exception>

#include "bindings.hpp"
#include "formula_failure.hpp"
#include "talvane/db/recordset.hpp"
#include "talvane/definition/definition_error.hpp"

namespace py = pybind11;

namespace talvane::python {

namespace {

// A definition is no database request: it has no number of its own and is raised as the unspecified one.
constexpr const char* kDefinitionSource = "Definition";

void SetPythonError(const char* className, const py::tuple& arguments) {
  const py::object type = py::module_::import("talvane._errors").attr(className);
  PyErr_SetObject(type.ptr(), type(*arguments).ptr());
}

void Translate(std::exception_ptr exception) {
  try {
    if (exception) std::rethrow_exception(exception);
  } catch (const FormulaFailure& failure) {
    const Error& e = failure.error;
    SetPythonError("Error", py::make_tuple(e.Number(), e.Source(), e.Description(), failure.position, failure.item));
  } catch (const Error& e) {
    SetPythonError("Error", py::make_tuple(e.Number(), e.Source(), e.Description()));
  } catch (const DefinitionError& e) {
    SetPythonError("DefinitionError", py::make_tuple(db::kErrUnspecified, kDefinitionSource, e.what()));
  }
}

}  // namespace

void BindErrors(py::module_&) { py::register_exception_translator(&Translate); }

}  // namespace talvane::python
