#pragma once
// One opening of a SQLite database: the handle and the recordsets currently open on it. Recordsets hold the
// session, not the connection, so closing or destroying the connection closes them first and none is left
// with a statement on a closed handle.
#include <cstdint>
#include <vector>

struct sqlite3;

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

  // Closes every recordset still open on the session, then the handle.
  void Close();

 private:
  sqlite3* handle_;
  std::vector<SqliteRecordset*> open_;
};

}  // namespace talvane::db
