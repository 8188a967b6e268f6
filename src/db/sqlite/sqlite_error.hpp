#pragma once
// The errors the SQLite backend raises, numbered as a host of an ADO provider would see them.
#include <cstdint>
#include <string_view>

#include "talvane/foundation/error.hpp"

struct sqlite3;

namespace talvane::db::detail {

inline constexpr std::string_view kSqliteSource = "SQLite";

// Where a SQLite failure happened: reading the command text (prepare) or running it (step, open, close).
enum class SqliteStage { kCommand, kExecution };

[[noreturn]] void RaiseSqlite(int32_t number, std::string_view message);
// The failure `rc` with the handle's message: "no such table" is 0x80040E37, any other error in the command
// text 0x80040E14, everything else 0x80004005.
Error SqliteFailure(sqlite3* db, int rc, SqliteStage stage);
[[noreturn]] void RaiseFromSqlite(sqlite3* db, int rc, SqliteStage stage);

[[noreturn]] void RaiseObjectClosed();
[[noreturn]] void RaiseObjectOpen();
[[noreturn]] void RaiseNoCurrentRecord();
[[noreturn]] void RaiseItemNotFound();
[[noreturn]] void RaiseBadArgument();

}  // namespace talvane::db::detail
