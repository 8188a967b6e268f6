#include "grouping_argument.hpp"

#include <string>

namespace py = pybind11;

namespace talvane::python {

GROUPTYPEENU GroupingArgument(const py::handle& value) {
  if (py::isinstance<GROUPTYPEENU>(value)) return value.cast<GROUPTYPEENU>();
  if (!py::isinstance<py::str>(value)) {
    throw py::type_error("grouping must be a str or talvane.Grouping, not " +
                         py::str(py::type::handle_of(value).attr("__name__")).cast<std::string>());
  }
  const std::string name = py::str(value.attr("lower")()).cast<std::string>();
  if (name == "and") return kAnd;
  if (name == "or") return kOr;
  if (name == "base") return kBase;
  throw py::value_error("grouping must be \"and\", \"or\" or \"base\", not " + py::repr(value).cast<std::string>());
}

}  // namespace talvane::python
