#pragma once
// A forward-only recordset over one prepared SQLite statement. Opening prepares the query (or takes the
// statement the session kept from an earlier recordset of the same text) and steps to its first row only,
// so a probe costs the same on any table size; MoveNext steps further. Closing gives the statement back.
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
  // SQLite's storage class of the value.
  ValueKind FieldValueKind(int32_t index) const override;
  // A view of SQLite's own text (or blob bytes) of the value; `buffer` is not used.
  std::string_view FieldText(int32_t index, std::string& buffer) const override;

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
  // The value of a column of the current row as SQLite's text, or the bytes of a blob.
  std::string_view ColumnText(int column) const;

  void OpenStatement(const std::shared_ptr<SqliteSession>& session, std::string_view sql,
                     const std::vector<std::string>& parameters, const std::vector<int32_t>& columnTypes);
  // Runs a kept statement to its first row; false (and nothing kept or registered) when that fails, so the
  // caller compiles the text afresh and any failure is reported as a first compile reports it.
  bool StartKept(const std::shared_ptr<SqliteSession>& session, sqlite3_stmt* kept,
                 const std::vector<std::string>& parameters, const std::vector<int32_t>& columnTypes);
  void Prepare(const std::shared_ptr<SqliteSession>& session, std::string_view sql);
  void RefuseWritesWhenReadOnly();
  int BindAll(const std::vector<std::string>& parameters);
  void Bind(const std::vector<std::string>& parameters);
  void DescribeColumns(const std::vector<int32_t>& columnTypes);
  void Start(const std::shared_ptr<SqliteSession>& session, const std::vector<int32_t>& columnTypes);
  void Step();
  // Closes the recordset, then raises the error (captured first, while the handle still holds its message).
  [[noreturn]] void ReleaseAndThrow(const Error& error);

  int32_t cursorLocation_ = kAdUseServer;
  int32_t cursorType_ = kAdOpenForwardOnly;
  int32_t lockType_ = kAdLockReadOnly;

  std::shared_ptr<SqliteSession> session_;
  sqlite3_stmt* statement_ = nullptr;
  std::string sql_;  // the text statement_ was compiled from, under which the session keeps it
  bool eof_ = true;
  std::vector<std::string> names_;
  std::vector<int32_t> types_;
};

}  // namespace talvane::db
