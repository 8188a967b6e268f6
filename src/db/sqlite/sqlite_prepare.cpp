#include "db/sqlite/sqlite_prepare.hpp"

#include <sqlite3.h>

#include <cstddef>

#include "db/sqlite/sqlite_error.hpp"
#include "talvane/db/recordset.hpp"

namespace talvane::db::detail {

namespace {

// True when text after the first statement compiles to another one; raises when it does not compile.
bool FollowedByAnotherStatement(sqlite3* db, const char* tail, int bytes) {
  sqlite3_stmt* extra = nullptr;
  const int rc = sqlite3_prepare_v2(db, tail, bytes, &extra, nullptr);
  const bool found = extra != nullptr;
  sqlite3_finalize(extra);
  if (rc != SQLITE_OK) RaiseFromSqlite(db, rc, SqliteStage::kCommand);
  return found;
}

}  // namespace

sqlite3_stmt* PrepareOne(sqlite3* db, std::string_view sql) {
  // SQLite stops reading at a NUL byte: whatever followed it would silently not be part of the command.
  if (sql.find('\0') != std::string_view::npos) RaiseSqlite(kErrCommandText, "The command text holds a NUL character.");
  sqlite3_stmt* statement = nullptr;
  const char* tail = nullptr;
  const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement, &tail);
  if (rc != SQLITE_OK) {
    const Error error = SqliteFailure(db, rc, SqliteStage::kCommand);
    sqlite3_finalize(statement);
    throw error;
  }
  if (statement == nullptr) RaiseSqlite(kErrCommandText, "The command text holds no statement.");
  const auto remaining = static_cast<int>(sql.size() - static_cast<std::size_t>(tail - sql.data()));
  try {
    if (FollowedByAnotherStatement(db, tail, remaining)) {
      RaiseSqlite(kErrCommandText, "Only one statement can be run at a time.");
    }
  } catch (...) {
    sqlite3_finalize(statement);
    throw;
  }
  return statement;
}

}  // namespace talvane::db::detail
