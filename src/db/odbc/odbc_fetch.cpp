#include "db/odbc/odbc_fetch.hpp"

#include <sqlext.h>

#include <array>

#include "db/odbc/odbc_error.hpp"

namespace talvane::db::detail {

namespace {

// A value is read in pieces until the driver has given all of it, so no length limit applies.
std::optional<std::string> ReadText(SQLHSTMT statement, SQLUSMALLINT column) {
  std::string value;
  std::array<char, 4096> buffer{};
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(statement, column, SQL_C_CHAR, buffer.data(),
                                    static_cast<SQLLEN>(buffer.size()), &indicator);
    if (rc == SQL_NO_DATA) break;
    CheckOdbc(rc, SQL_HANDLE_STMT, statement);
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    const bool whole = rc == SQL_SUCCESS;  // with info: truncated, more to come
    const std::size_t piece = whole && indicator != SQL_NO_TOTAL && static_cast<std::size_t>(indicator) < buffer.size()
                                  ? static_cast<std::size_t>(indicator)
                                  : buffer.size() - 1;  // the terminating NUL is not part of the value
    value.append(buffer.data(), piece);
    if (whole) break;
  }
  return value;
}

}  // namespace

bool FetchRow(SQLHSTMT statement, std::size_t columns, std::vector<std::optional<std::string>>& row) {
  const SQLRETURN rc = SQLFetch(statement);
  if (rc == SQL_NO_DATA) return false;
  CheckOdbc(rc, SQL_HANDLE_STMT, statement);
  row.resize(columns);
  for (std::size_t i = 0; i < columns; ++i) row[i] = ReadText(statement, static_cast<SQLUSMALLINT>(i + 1));
  return true;
}

std::vector<std::vector<std::optional<std::string>>> FetchAll(SQLHSTMT statement, std::size_t columns) {
  std::vector<std::vector<std::optional<std::string>>> rows;
  std::vector<std::optional<std::string>> row;
  while (FetchRow(statement, columns, row)) rows.push_back(row);
  return rows;
}

}  // namespace talvane::db::detail
