#pragma once
// The ADO type code of a column an ODBC driver describes.
#include <sql.h>

#include <cstdint>
#include <string_view>

namespace talvane::db::detail {

// Maps the driver's SQL type onto the codes the SQLite backend gives the same declared types; a money type
// (by the driver's type name) is adCurrency, and a text type the SQLite backend knows by name gets its code.
int32_t AdoTypeFromSqlType(SQLSMALLINT sqlType, std::string_view typeName);

}  // namespace talvane::db::detail
