#include "db/sqlite/sqlite_error.hpp"

#include <sqlite3.h>

#include <string>

#include "db/ado_errors.hpp"
#include "talvane/db/recordset.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::db::detail {

void RaiseSqlite(int32_t number, std::string_view message) { throw Error(number, kSqliteSource, message); }

Error SqliteFailure(sqlite3* db, int rc, SqliteStage stage) {
  const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  int32_t number = kErrUnspecified;
  if ((rc & 0xff) == SQLITE_INTERRUPT) {
    number = kErrCancelled;
  } else if (message.rfind("no such table", 0) == 0) {
    number = kErrNoSuchTable;
  } else if (stage == SqliteStage::kCommand && (rc & 0xff) == SQLITE_ERROR) {
    number = kErrCommandText;
  }
  return Error(number, kSqliteSource, message);
}

void RaiseFromSqlite(sqlite3* db, int rc, SqliteStage stage) { throw SqliteFailure(db, rc, stage); }

void RaiseObjectClosed() { detail::RaiseObjectClosed(kSqliteSource); }

void RaiseObjectOpen() { detail::RaiseObjectOpen(kSqliteSource); }

void RaiseNoCurrentRecord() { detail::RaiseNoCurrentRecord(kSqliteSource); }

void RaiseItemNotFound() { detail::RaiseItemNotFound(kSqliteSource); }

void RaiseBadArgument() { detail::RaiseBadArgument(kSqliteSource); }

}  // namespace talvane::db::detail
