#pragma once
// ADO type codes of SQLite columns, from the type a column was declared with.
#include <cstdint>
#include <optional>
#include <string_view>

namespace talvane::db::detail {

constexpr int32_t kAdVariant = 12;

// Maps a declared type ("VARCHAR(50)", "money", "") to an ADO type code by its base name (the text before any
// "("), ignoring case. No declared type (an expression, or a column declared without one) gives kAdVariant;
// an unknown name falls back on SQLite's own affinity rules.
int32_t AdoTypeFromDeclared(std::string_view declared);
// The code of a declared type whose base name the table above knows; nullopt for any other.
std::optional<int32_t> KnownDeclaredType(std::string_view declared);

}  // namespace talvane::db::detail
