#pragma once
// Text arguments as Python callers give them, checked before the library sees them: a wrong kind of value
// raises TypeError naming the argument and what it takes, a word outside its choices ValueError.
#include <pybind11/pybind11.h>

#include <string>

namespace talvane::python {

// The value as text; TypeError "<name> must be a str, not <type>" otherwise.
std::string TextArgument(const char* name, const pybind11::handle& value);

// "Ascending" or "Descending" in any letter case, as the field's order direction takes it.
std::string DirectionArgument(const pybind11::handle& value);

}  // namespace talvane::python
