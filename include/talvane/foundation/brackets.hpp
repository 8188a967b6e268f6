#pragma once
// Square brackets of field references: [table].[field] and bare names.
#include <string>
#include <string_view>

namespace talvane {

std::string AddBrackets(std::string_view text, bool wholeName = false);
std::string StripBrackets(std::string_view text);

}  // namespace talvane
