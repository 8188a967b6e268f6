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

sqlite3_stmt* SqliteSession::TakeStatement(std::string_view sql) {
  const auto found = kept_.find(sql);
  if (found == kept_.end() || found->second.empty()) return nullptr;
  sqlite3_stmt* statement = found->second.back();
  found->second.pop_back();
  return statement;
}

void SqliteSession::GiveBackStatement(std::string_view sql, sqlite3_stmt* statement) noexcept {
  if (statement == nullptr) return;
  // A statement whose last step failed reports that failure again on reset; it is not kept.
  const bool healthy =
      handle_ != nullptr && sqlite3_stmt_readonly(statement) != 0 && sqlite3_reset(statement) == SQLITE_OK;
  if (healthy) {
    sqlite3_clear_bindings(statement);
    try {
      auto found = kept_.find(sql);
      if (found == kept_.end() && kept_.size() < kMaxKeptTexts) {
        found = kept_.emplace(std::string(sql), std::vector<sqlite3_stmt*>()).first;
      }
      if (found != kept_.end() && found->second.size() < kMaxKeptPerText) {
        found->second.push_back(statement);
        return;
      }
    } catch (...) {  // NOLINT(bugprone-empty-catch): out of memory only costs the statement's reuse
    }
  }
  sqlite3_finalize(statement);
}

std::size_t SqliteSession::KeptStatements() const {
  std::size_t count = 0;
  for (const auto& entry : kept_) count += entry.second.size();
  return count;
}

void SqliteSession::FinalizeKeptStatements() noexcept {
  for (auto& entry : kept_) {
    for (sqlite3_stmt* statement : entry.second) sqlite3_finalize(statement);
  }
  kept_.clear();
}

void SqliteSession::Close() {
  // Each recordset unregisters itself as it closes, and gives its statement back.
  while (!open_.empty()) open_.back()->Release();
  FinalizeKeptStatements();
  if (handle_ != nullptr) {
    sqlite3_close_v2(handle_);
    handle_ = nullptr;
  }
}

}  // namespace talvane::db
