#pragma once
// The library's column probe ("SELECT * FROM [name] ;", names in square brackets) in the quoting of the
// driver at hand.
#include <string>
#include <string_view>

namespace talvane::db::detail {

// The probe with each bracketed name part quoted with `quote` (a quote inside a name doubled; "[" means
// square brackets); no quoting when `quote` is blank. Any other text is returned unchanged: only the
// library's own probe is rewritten, never a statement of the host.
std::string QuoteProbeNames(std::string_view sql, std::string_view quote);

}  // namespace talvane::db::detail
