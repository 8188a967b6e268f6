#include "db/sqlite/sqlite_session.hpp"

#include <sqlite3.h>

#include <algorithm>

#include "db/sqlite/sqlite_recordset.hpp"

namespace talvane::db {

SqliteSession::SqliteSession(sqlite3* handle) : handle_(handle) {}

SqliteSession::~SqliteSession() { Close(); }

void SqliteSession::Register(SqliteRecordset* recordset) { open_.push_back(recordset); }

void SqliteSession::Unregister(SqliteRecordset* recordset) {
  open_.erase(std::remove(open_.begin(), open_.end(), recordset), open_.end());
}

void SqliteSession::Close() {
  // Each recordset unregisters itself as it closes.
  while (!open_.empty()) open_.back()->Release();
  if (handle_ != nullptr) {
    sqlite3_close_v2(handle_);
    handle_ = nullptr;
  }
}

}  // namespace talvane::db
