#include "db/sqlite/sqlite_session.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>

#include "db/sqlite/sqlite_recordset.hpp"

namespace talvane::db {

namespace {

uint64_t NextOpening() {
  static std::atomic<uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

// A database name as a quoted identifier.
std::string QuoteName(std::string_view name) {
  std::string quoted = "\"";
  for (const char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

SqliteSession::SqliteSession(sqlite3* handle) : handle_(handle), opening_(NextOpening()) {}

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

std::optional<std::string> SqliteSession::SchemaVersion() noexcept {
  if (handle_ == nullptr) return std::nullopt;
  try {
    // Every attached database by number, name and file, then the schema cookie of each: the cookie moves
    // with every change to that database's schema, whichever connection makes it.
    std::string version = std::to_string(opening_) + "|";
    std::vector<std::string> names;
    if (!AppendRows("PRAGMA database_list", version, &names)) return std::nullopt;
    for (const std::string& name : names) {
      if (!AppendRows("PRAGMA " + QuoteName(name) + ".schema_version", version)) return std::nullopt;
    }
    return version;
  } catch (...) {
    return std::nullopt;
  }
}

bool SqliteSession::AppendRows(const std::string& sql, std::string& out, std::vector<std::string>* secondColumn) {
  sqlite3_stmt* statement = TakeStatement(sql);
  if (statement == nullptr && sqlite3_prepare_v2(handle_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return false;
  }
  int rc = SQLITE_ROW;
  try {
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      const int columns = sqlite3_column_count(statement);
      for (int c = 0; c < columns; ++c) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
        out += text != nullptr ? text : "";
        out += ':';
      }
      out += '|';
      if (secondColumn != nullptr && columns > 1) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
        secondColumn->emplace_back(name != nullptr ? name : "");
      }
    }
  } catch (...) {
    GiveBackStatement(sql, statement);
    throw;
  }
  GiveBackStatement(sql, statement);
  return rc == SQLITE_DONE;
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
