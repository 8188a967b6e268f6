#pragma once
// The splitter as it stood before its straight-line rewrite: the reference of the differential test.
#include <string>
#include <string_view>

namespace talvane::reference {

// Same contract as talvane::ParseItem(std::string_view&).
std::string ParseItem(std::string_view& rest);

}  // namespace talvane::reference
