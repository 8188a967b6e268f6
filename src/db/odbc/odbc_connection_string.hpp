#pragma once
// The part of a connection string that goes to the ODBC driver.
#include <string>
#include <string_view>

namespace talvane::db::detail {

// The string without its Provider and Mode keys, which speak to the library (the dialect, a read-only
// opening) and not to the driver. Pieces are split at ";" outside {braces}; the others pass unchanged.
std::string DriverConnectionString(std::string_view connectionString);

}  // namespace talvane::db::detail
