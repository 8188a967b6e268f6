#pragma once
// A forward-only recordset over one prepared SQLite statement. Opening prepares the query and steps to its
// first row only, so a probe costs the same on any table size; MoveNext steps further.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/db/recordset.hpp"
#include "talvane/foundation/error.hpp"

struct sqlite3_stmt;

namespace talvane::db {

class SqliteSession;

class SqliteRecordset final : public Recordset {
 public:
  SqliteRecordset() = default;
  ~SqliteRecordset() override;
  SqliteRecordset(const SqliteRecordset&) = delete;
  SqliteRecordset& operator=(const SqliteRecordset&) = delete;

  void SetCursorLocation(int32_t location) override;
  void SetCursorType(int32_t type) override;
  void SetLockType(int32_t type) override;

  void Open(const std::string& sql, const std::shared_ptr<Connection>& connection, int32_t cursorType = -1,
            int32_t lockType = -1, int32_t options = -1) override;
  // Opens a catalogue query of the backend: each parameter is bound in order (an empty one as NULL), and
  // the columns report the given ADO types instead of their declared ones.
  void OpenCatalog(const std::shared_ptr<SqliteSession>& session, std::string_view sql,
                   const std::vector<std::string>& parameters, std::vector<int32_t> columnTypes);

  int32_t FieldCount() const override;
  std::string FieldName(int32_t index) const override;
  int32_t FieldType(int32_t index) const override;
  int32_t FieldType(std::string_view name) const override;
  std::string FieldValue(int32_t index) const override;
  std::string FieldValue(std::string_view name) const override;
  bool FieldIsNull(int32_t index) const override;

  bool Eof() const override;
  void MoveNext() override;
  int32_t State() const override;
  void Close() override;

  int32_t CursorLocation() const { return cursorLocation_; }
  int32_t CursorType() const { return cursorType_; }
  int32_t LockType() const { return lockType_; }

  // Finalizes the statement and leaves the session; never raises. Used by Close and by a closing session.
  void Release() noexcept;

 private:
  void RequireOpen() const;
  void RequireClosed() const;
  void RequireCurrentRecord() const;
  int32_t CheckedIndex(int32_t index) const;
  int32_t IndexOf(std::string_view name) const;

  void Prepare(const std::shared_ptr<SqliteSession>& session, std::string_view sql);
  void RefuseWritesWhenReadOnly();
  void Bind(const std::vector<std::string>& parameters);
  void DescribeColumns();
  void Start(const std::shared_ptr<SqliteSession>& session);
  void Step();
  // Closes the recordset, then raises the error (captured first, while the handle still holds its message).
  [[noreturn]] void ReleaseAndThrow(const Error& error);

  int32_t cursorLocation_ = kAdUseServer;
  int32_t cursorType_ = kAdOpenForwardOnly;
  int32_t lockType_ = kAdLockReadOnly;

  std::shared_ptr<SqliteSession> session_;
  sqlite3_stmt* statement_ = nullptr;
  bool eof_ = true;
  std::vector<std::string> names_;
  std::vector<int32_t> types_;
};

}  // namespace talvane::db
