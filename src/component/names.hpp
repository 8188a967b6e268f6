#pragma once
// Member and class names are compared the way a dispatch host compares them: ASCII letters
// without regard to case.
#include <string>
#include <string_view>

namespace talvane::component::detail {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept;
std::string UpperCase(std::string_view text);

}  // namespace talvane::component::detail
