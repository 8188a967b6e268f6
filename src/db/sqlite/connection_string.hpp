#pragma once
// Reading keys of an ADO-style connection string ("Provider=...;Data Source=orders.db").
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace talvane::db::detail {

// Calls `visit` with each key of the string, as written (blanks around it removed), and its value, in order,
// until it returns false.
void ForEachConnectionStringEntry(std::string_view connectionString,
                                  const std::function<bool(std::string_view, std::string&&)>& visit);

// The value of `key` in the string: keys compare without regard to case, blanks around keys and values are
// ignored, a value may be quoted with ' or " (a doubled quote stands for itself). The first occurrence wins;
// nullopt when the key is absent.
std::optional<std::string> ConnectionStringValue(std::string_view connectionString, std::string_view key);

// True when the string asks for a read-only opening: its "Mode" key is "Read", in any letter case (ADO's
// adModeRead).
bool OpensReadOnly(std::string_view connectionString);

// How long a statement waits for a lock another connection holds before it fails, in milliseconds: the
// "Timeout" key in seconds (a number, decimals allowed, 0 fails at once), kDefaultBusyTimeoutMs without it;
// nullopt when the value is not such a number.
inline constexpr int kDefaultBusyTimeoutMs = 5000;
std::optional<int> BusyTimeoutMs(std::string_view connectionString);

}  // namespace talvane::db::detail
