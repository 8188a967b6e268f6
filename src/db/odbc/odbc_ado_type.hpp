#pragma once
// The ADO type code of a column an ODBC driver describes.
#include <sql.h>

#include <cstdint>
#include <string_view>

namespace talvane::db::detail {

// The code the SQLite backend gives the driver's type name when it knows the name, else the code of the
// driver's SQL type.
int32_t AdoTypeFromSqlType(SQLSMALLINT sqlType, std::string_view typeName);

}  // namespace talvane::db::detail
