#pragma once
// The safety oracle of the fuzz targets (tests/hardening/statement_safety.hpp), as an abort.
#include <string_view>

namespace talvane::fuzz {

// Aborts with the problem and the statement when the statement is not safe.
void RequireSafeStatement(std::string_view sql, std::string_view what);

}  // namespace talvane::fuzz
