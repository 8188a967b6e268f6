#pragma once
// A grouping as Python callers give it: talvane.Grouping, or its name in any letter case ("and", "or",
// "base"). Anything else raises ValueError (an unknown name) or TypeError (another kind of value).
#include <pybind11/pybind11.h>

#include "talvane/foundation/enums.hpp"

namespace talvane::python {

GROUPTYPEENU GroupingArgument(const pybind11::handle& value);

}  // namespace talvane::python
