#pragma once
// The errors the ODBC backend raises: the driver's SQLSTATE and message, numbered as the SQLite backend
// numbers the same failures.
#include <sql.h>

#include <cstdint>
#include <string_view>

#include "talvane/db/recordset.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::db::detail {

inline constexpr std::string_view kOdbcSource = "ODBC";

// Where a failure happened: reading the command text (prepare) or anything else (connect, run, fetch).
enum class OdbcStage { kCommand, kExecution };

[[noreturn]] void RaiseOdbc(int32_t number, std::string_view message);
// The diagnostics of `handle` as one error: "message (SQLSTATE xxxxx)" for each record, joined by "; ". A table
// that does not exist is 0x80040E37, any other error in the command text 0x80040E14, everything else 0x80004005.
Error OdbcFailure(SQLSMALLINT handleType, SQLHANDLE handle, OdbcStage stage);
// Raises the handle's diagnostics when `rc` is a failure; SQL_SUCCESS_WITH_INFO and SQL_NO_DATA pass.
void CheckOdbc(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, OdbcStage stage = OdbcStage::kExecution);

}  // namespace talvane::db::detail
