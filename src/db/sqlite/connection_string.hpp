#pragma once
// Reading keys of an ADO-style connection string ("Provider=...;Data Source=orders.db").
#include <optional>
#include <string>
#include <string_view>

namespace talvane::db::detail {

// The value of `key` in the string: keys compare without regard to case, blanks around keys and values are
// ignored, a value may be quoted with ' or " (a doubled quote stands for itself). The first occurrence wins;
// nullopt when the key is absent.
std::optional<std::string> ConnectionStringValue(std::string_view connectionString, std::string_view key);

// True when the string asks for a read-only opening: its "Mode" key is "Read", in any letter case (ADO's
// adModeRead).
bool OpensReadOnly(std::string_view connectionString);

}  // namespace talvane::db::detail
