#pragma once
// Square brackets of field references: [table].[field] and bare names.
#include <string>
#include <string_view>

namespace talvane {

std::string AddBrackets(std::string_view text, bool wholeName = false);
std::string StripBrackets(std::string_view text);

/// True when a bare name can stand between square brackets as one name in SQL: it holds no "[" or "]" of its
/// own (neither dialect can escape a closing bracket the same way) and no NUL byte (a host handing the
/// statement on as a C string would lose everything after it).
bool CanBracket(std::string_view name);

}  // namespace talvane
