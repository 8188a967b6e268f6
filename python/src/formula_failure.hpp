#pragma once
// A library error on the text of a formula, raised in Python as talvane.Error with the byte position and
// the item where the text failed.
#include <cstdint>
#include <string>

#include "talvane/foundation/error.hpp"

namespace talvane::python {

struct FormulaFailure {
  Error error;
  int32_t position = 0;
  std::string item;
};

}  // namespace talvane::python
