#pragma once
// One opening of a SQLite database: the handle and the recordsets currently open on it. Recordsets hold the
// session, not the connection, so closing or destroying the connection closes them first and none is left
// with a statement on a closed handle.
//
// The session also keeps the read-only statements of closed recordsets, reset and keyed by their SQL text,
// so that the same probe or catalogue query asked again is not compiled again: a report asks the same few
// questions thousands of times. A kept statement belongs to no recordset, holds no lock and is not counted
// among the open recordsets; one taken out belongs to exactly one recordset until it is given back.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace talvane::db {

class SqliteRecordset;

class SqliteSession {
 public:
  // Takes ownership of an open handle.
  explicit SqliteSession(sqlite3* handle);
  ~SqliteSession();
  SqliteSession(const SqliteSession&) = delete;
  SqliteSession& operator=(const SqliteSession&) = delete;

  sqlite3* Handle() const { return handle_; }
  bool IsOpen() const { return handle_ != nullptr; }

  void Register(SqliteRecordset* recordset);
  void Unregister(SqliteRecordset* recordset);
  int32_t OpenRecordsets() const { return static_cast<int32_t>(open_.size()); }

  // A kept statement compiled from exactly `sql`, now owned by the caller; null when none is kept.
  sqlite3_stmt* TakeStatement(std::string_view sql);
  // Takes back a statement compiled from `sql`: reset and kept when it is read-only, healthy and there is
  // room, finalized otherwise. Never raises.
  void GiveBackStatement(std::string_view sql, sqlite3_stmt* statement) noexcept;
  std::size_t KeptStatements() const;

  // Text that changes with any change to the schema of a database attached to the handle (by any
  // connection), or with another opening of the handle; nullopt when it cannot be read.
  std::optional<std::string> SchemaVersion() noexcept;

  // Closes every recordset still open on the session, finalizes the kept statements, then closes the handle.
  void Close();

  // Distinct texts kept at most, and statements kept per text (recordsets open at once on the same text).
  static constexpr std::size_t kMaxKeptTexts = 128;
  static constexpr std::size_t kMaxKeptPerText = 2;

 private:
  // Looks texts up by string_view without building a string.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>()(text); }
  };

  void FinalizeKeptStatements() noexcept;
  // Runs a statement, reusing a kept one, and appends its rows to `out` (each column followed by ':',
  // each row by '|'), and each row's second column to `secondColumn` when given; false when it fails.
  bool AppendRows(const std::string& sql, std::string& out, std::vector<std::string>* secondColumn = nullptr);

  sqlite3* handle_;
  // Tells this opening from every other one in the process.
  uint64_t opening_;
  std::vector<SqliteRecordset*> open_;
  std::unordered_map<std::string, std::vector<sqlite3_stmt*>, TextHash, std::equal_to<>> kept_;
};

}  // namespace talvane::db
