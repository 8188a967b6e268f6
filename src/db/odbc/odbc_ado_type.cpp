#include "db/odbc/odbc_ado_type.hpp"

#include <sqlext.h>

#include <optional>

#include "db/sqlite/ado_type.hpp"

namespace talvane::db::detail {

namespace {

int32_t CodeOf(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_SMALLINT: return 2;
    case SQL_INTEGER: return 3;
    case SQL_REAL: return 4;
    case SQL_FLOAT:
    case SQL_DOUBLE: return 5;
    case SQL_BIT: return 11;
    case SQL_TINYINT: return 17;
    case SQL_BIGINT: return 20;
    case SQL_GUID: return 72;
    case SQL_CHAR: return 129;
    case SQL_WCHAR: return 130;
    case SQL_DECIMAL:
    case SQL_NUMERIC: return 131;
    case SQL_DATE:
    case SQL_TYPE_DATE: return 133;
    case SQL_TIME:
    case SQL_TYPE_TIME: return 134;
    case SQL_TIMESTAMP:
    case SQL_TYPE_TIMESTAMP: return 135;
    case SQL_VARCHAR: return 200;
    case SQL_LONGVARCHAR: return 201;
    case SQL_WVARCHAR: return 202;
    case SQL_WLONGVARCHAR: return 203;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: return 205;
    default: return kAdVariant;
  }
}

}  // namespace

// A type name the SQLite backend knows decides, as it decides there: drivers hand several types over as one SQL
// type (money as decimal, PostgreSQL's booleans as text unless told otherwise, SQLite's numeric as double).
// A four-byte float stays adSingle whatever its name (SQL Server calls it "real", SQLite's real has eight).
int32_t AdoTypeFromSqlType(SQLSMALLINT sqlType, std::string_view typeName) {
  const std::optional<int32_t> declared = KnownDeclaredType(typeName);
  if (declared && sqlType != SQL_REAL) return *declared;
  return CodeOf(sqlType);
}

}  // namespace talvane::db::detail
