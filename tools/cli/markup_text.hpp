#pragma once
// Text put into XML or HTML: the five special characters as entities, and the control characters XML 1.0
// does not allow (all below 0x20 but tab, line feed and carriage return) as U+FFFD.
#include <string>
#include <string_view>

namespace talvane::cli {

std::string MarkupEscaped(std::string_view text);

}  // namespace talvane::cli
