#pragma once
// Reading the rows of an ODBC statement as text.
#include <sql.h>

#include <optional>
#include <string>
#include <vector>

namespace talvane::db::detail {

// Fetches the next row of `statement` and reads its first `columns` values as text (nullopt for NULL);
// false after the last row. Raises the statement's diagnostics on failure.
bool FetchRow(SQLHSTMT statement, std::size_t columns, std::vector<std::optional<std::string>>& row);

// Every remaining row of the statement.
std::vector<std::vector<std::optional<std::string>>> FetchAll(SQLHSTMT statement, std::size_t columns);

}  // namespace talvane::db::detail
