#pragma once
// Tells what an item is and rewrites operators and booleans into their canonical form.
#include <string>

#include "talvane/foundation/enums.hpp"

namespace talvane {

ITEMTYPEENU ClassifyItem(std::string& item);

}  // namespace talvane
