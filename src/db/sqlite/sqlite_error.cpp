#include "db/sqlite/sqlite_error.hpp"

#include <sqlite3.h>

#include <string>

#include "talvane/db/recordset.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::db::detail {

void RaiseSqlite(int32_t number, std::string_view message) { throw Error(number, kSqliteSource, message); }

Error SqliteFailure(sqlite3* db, int rc, SqliteStage stage) {
  const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  int32_t number = kErrUnspecified;
  if (message.rfind("no such table", 0) == 0) {
    number = kErrNoSuchTable;
  } else if (stage == SqliteStage::kCommand && (rc & 0xff) == SQLITE_ERROR) {
    number = kErrCommandText;
  }
  return Error(number, kSqliteSource, message);
}

void RaiseFromSqlite(sqlite3* db, int rc, SqliteStage stage) { throw SqliteFailure(db, rc, stage); }

void RaiseObjectClosed() { RaiseSqlite(kErrObjectClosed, "Operation is not allowed when the object is closed."); }

void RaiseObjectOpen() { RaiseSqlite(kErrUnspecified, "Operation is not allowed when the object is open."); }

void RaiseNoCurrentRecord() {
  RaiseSqlite(kErrNoCurrentRecord,
              "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
              "current record.");
}

void RaiseItemNotFound() {
  RaiseSqlite(kErrItemNotFound,
              "Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

void RaiseBadArgument() {
  RaiseSqlite(kErrUnspecified,
              "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.");
}

}  // namespace talvane::db::detail
