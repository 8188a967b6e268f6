#include "text_arguments.hpp"

#include "talvane/foundation/clean_text.hpp"

namespace py = pybind11;

namespace talvane::python {

std::string TextArgument(const char* name, const py::handle& value) {
  if (!py::isinstance<py::str>(value)) {
    throw py::type_error(std::string(name) + " must be a str, not " +
                         py::str(py::type::handle_of(value).attr("__name__")).cast<std::string>());
  }
  return value.cast<std::string>();
}

std::string DirectionArgument(const py::handle& value) {
  std::string direction = TextArgument("direction", value);
  const std::string upper = UpperAscii(direction);
  if (upper != "ASCENDING" && upper != "DESCENDING") {
    throw py::value_error("direction must be \"Ascending\" or \"Descending\", not " + py::repr(value).cast<std::string>());
  }
  return direction;
}

}  // namespace talvane::python
