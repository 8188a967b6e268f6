#pragma once
// Compiling one command text into one SQLite statement.
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace talvane::db::detail {

// The statement compiled from `sql`, owned by the caller. Raises talvane::Error, leaving nothing behind,
// when SQLite refuses the text (0x80040E14, or 0x80040E37 for a missing table), when it holds a NUL byte or
// no statement, or when a second statement follows the first: only one statement is ever run, so text
// after it (a statement smuggled into a name, say) is refused rather than silently dropped. Whitespace and
// comments after the statement are fine.
sqlite3_stmt* PrepareOne(sqlite3* db, std::string_view sql);

}  // namespace talvane::db::detail
