#include <memory>
#include <thread>

#include "bindings.hpp"
#include "talvane/db/schema_scope.hpp"

namespace py = pybind11;

namespace talvane::python {

namespace {

constexpr const char* kSchemaScopeDoc =
    "A stretch of work in which the database schema is taken not to change, used as a context manager:\n"
    "\n"
    "    with talvane.SchemaScope():\n"
    "        for text in rules:\n"
    "            report.formulas.add(text)\n"
    "\n"
    "Inside it each connection's schema version is read once instead of at every call, which makes building a "
    "large report several times faster. It belongs to the thread that entered it.";

// The scope lives on the thread that entered it; the library counts scopes per thread.
class PythonSchemaScope {
 public:
  void Enter() {
    if (scope_) throw py::value_error("the schema scope is already entered");
    scope_ = std::make_unique<db::SchemaScope>();
    thread_ = std::this_thread::get_id();
  }

  void Exit() {
    if (!scope_) return;
    if (thread_ != std::this_thread::get_id()) {
      throw py::value_error("a schema scope is left on the thread that entered it");
    }
    scope_.reset();
  }

 private:
  std::unique_ptr<db::SchemaScope> scope_;
  std::thread::id thread_;
};

}  // namespace

void BindSchemaScope(py::module_& module) {
  py::class_<PythonSchemaScope>(module, "SchemaScope", kSchemaScopeDoc)
      .def(py::init<>())
      .def("__enter__", [](py::object self) {
        self.cast<PythonSchemaScope&>().Enter();
        return self;
      })
      .def("__exit__", [](PythonSchemaScope& scope, const py::args&) { scope.Exit(); });
}

}  // namespace talvane::python
