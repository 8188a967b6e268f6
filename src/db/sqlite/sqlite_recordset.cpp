#include "db/sqlite/sqlite_recordset.hpp"

#include <sqlite3.h>

#include <cstddef>
#include <utility>

#include "db/sqlite/ado_type.hpp"
#include "db/sqlite/sqlite_error.hpp"
#include "db/sqlite/sqlite_prepare.hpp"
#include "db/sqlite/sqlite_session.hpp"
#include "talvane/db/sqlite_connection.hpp"
#include "talvane/foundation/clean_text.hpp"

namespace talvane::db {

using detail::RaiseBadArgument;
using detail::RaiseItemNotFound;
using detail::RaiseNoCurrentRecord;
using detail::RaiseObjectClosed;
using detail::RaiseObjectOpen;
using detail::RaiseSqlite;
using detail::SqliteFailure;
using detail::SqliteStage;

namespace {

constexpr int32_t kAdUseClient = 3;
constexpr int32_t kAdOpenStatic = 3;
constexpr int32_t kAdLockBatchOptimistic = 4;
constexpr int32_t kAdUnspecified = -1;
constexpr int32_t kAdCmdText = 1;
constexpr int32_t kAdCmdUnknown = 8;

bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

}  // namespace

SqliteRecordset::~SqliteRecordset() { Release(); }

// Cursor settings: every cursor of this backend reads forward only, so location and type are only checked
// and kept; a read-only lock refuses statements that would change the database.
void SqliteRecordset::SetCursorLocation(int32_t location) {
  RequireClosed();
  if (location != kAdUseServer && location != kAdUseClient) RaiseBadArgument();
  cursorLocation_ = location;
}

void SqliteRecordset::SetCursorType(int32_t type) {
  RequireClosed();
  if (!InRange(type, kAdUnspecified, kAdOpenStatic)) RaiseBadArgument();
  cursorType_ = type;
}

void SqliteRecordset::SetLockType(int32_t type) {
  RequireClosed();
  if (!InRange(type, kAdUnspecified, kAdLockBatchOptimistic)) RaiseBadArgument();
  lockType_ = type;
}

void SqliteRecordset::Open(const std::string& sql, const std::shared_ptr<Connection>& connection,
                           int32_t cursorType, int32_t lockType, int32_t options) {
  RequireClosed();
  if (options != kAdUnspecified && options != kAdCmdText && options != kAdCmdUnknown) RaiseBadArgument();
  if (cursorType != kAdUnspecified) SetCursorType(cursorType);
  if (lockType != kAdUnspecified) SetLockType(lockType);
  const auto sqlite = std::dynamic_pointer_cast<SqliteConnection>(connection);
  if (!sqlite) RaiseSqlite(kErrUnspecified, "The recordset can only be opened on a SQLite connection.");
  const auto session = sqlite->Session();
  if (!session || !session->IsOpen()) RaiseObjectClosed();
  OpenStatement(session, sql, {}, {});
}

void SqliteRecordset::OpenCatalog(const std::shared_ptr<SqliteSession>& session, std::string_view sql,
                                  const std::vector<std::string>& parameters, std::vector<int32_t> columnTypes) {
  RequireClosed();
  if (!session || !session->IsOpen()) RaiseObjectClosed();
  OpenStatement(session, sql, parameters, columnTypes);
}

int32_t SqliteRecordset::FieldCount() const {
  RequireOpen();
  return static_cast<int32_t>(names_.size());
}

std::string SqliteRecordset::FieldName(int32_t index) const {
  RequireOpen();
  return names_[static_cast<std::size_t>(CheckedIndex(index))];
}

int32_t SqliteRecordset::FieldType(int32_t index) const {
  RequireOpen();
  return types_[static_cast<std::size_t>(CheckedIndex(index))];
}

int32_t SqliteRecordset::FieldType(std::string_view name) const {
  RequireOpen();
  return types_[static_cast<std::size_t>(IndexOf(name))];
}

std::string SqliteRecordset::FieldValue(int32_t index) const {
  RequireOpen();
  const int column = CheckedIndex(index);
  RequireCurrentRecord();
  return std::string(ColumnText(column));
}

std::string_view SqliteRecordset::FieldText(int32_t index, std::string& /*buffer*/) const {
  RequireOpen();
  const int column = CheckedIndex(index);
  RequireCurrentRecord();
  return ColumnText(column);
}

ValueKind SqliteRecordset::FieldValueKind(int32_t index) const {
  RequireOpen();
  const int column = CheckedIndex(index);
  RequireCurrentRecord();
  switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER: return ValueKind::kInteger;
    case SQLITE_FLOAT: return ValueKind::kReal;
    case SQLITE_TEXT: return ValueKind::kText;
    case SQLITE_BLOB: return ValueKind::kBlob;
    default: return ValueKind::kNull;
  }
}

std::string SqliteRecordset::FieldValue(std::string_view name) const {
  RequireOpen();
  return FieldValue(IndexOf(name));
}

bool SqliteRecordset::FieldIsNull(int32_t index) const {
  RequireOpen();
  const int column = CheckedIndex(index);
  RequireCurrentRecord();
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::string_view SqliteRecordset::ColumnText(int column) const {
  // Blobs are read by length, so bytes after an embedded NUL are kept.
  const bool blob = sqlite3_column_type(statement_, column) == SQLITE_BLOB;
  const void* data = blob ? sqlite3_column_blob(statement_, column) : sqlite3_column_text(statement_, column);
  const int bytes = sqlite3_column_bytes(statement_, column);
  if (data == nullptr || bytes <= 0) return {};
  return std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(bytes));
}

bool SqliteRecordset::Eof() const {
  RequireOpen();
  return eof_;
}

void SqliteRecordset::MoveNext() {
  RequireOpen();
  RequireCurrentRecord();
  Step();
}

int32_t SqliteRecordset::State() const { return statement_ != nullptr ? kAdStateOpen : kAdStateClosed; }

void SqliteRecordset::Close() {
  RequireOpen();
  Release();
}

void SqliteRecordset::Release() noexcept {
  if (statement_ != nullptr) {
    if (session_) {
      session_->GiveBackStatement(sql_, statement_);
    } else {
      sqlite3_finalize(statement_);
    }
    statement_ = nullptr;
  }
  if (session_) {
    session_->Unregister(this);
    session_.reset();
  }
  sql_.clear();
  eof_ = true;
  names_.clear();
  types_.clear();
}

void SqliteRecordset::RequireOpen() const {
  if (statement_ == nullptr) RaiseObjectClosed();
}

void SqliteRecordset::RequireClosed() const {
  if (statement_ != nullptr) RaiseObjectOpen();
}

void SqliteRecordset::RequireCurrentRecord() const {
  if (eof_) RaiseNoCurrentRecord();
}

int32_t SqliteRecordset::CheckedIndex(int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= names_.size()) RaiseItemNotFound();
  return index;
}

int32_t SqliteRecordset::IndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (EqualsIgnoreCase(names_[i], name)) return static_cast<int32_t>(i);
  }
  RaiseItemNotFound();
}

void SqliteRecordset::OpenStatement(const std::shared_ptr<SqliteSession>& session, std::string_view sql,
                                    const std::vector<std::string>& parameters,
                                    const std::vector<int32_t>& columnTypes) {
  if (sqlite3_stmt* kept = session->TakeStatement(sql)) {
    sql_ = sql;
    if (StartKept(session, kept, parameters, columnTypes)) return;
  }
  Prepare(session, sql);
  sql_ = sql;
  RefuseWritesWhenReadOnly();
  Bind(parameters);
  Start(session, columnTypes);
}

bool SqliteRecordset::StartKept(const std::shared_ptr<SqliteSession>& session, sqlite3_stmt* kept,
                                const std::vector<std::string>& parameters,
                                const std::vector<int32_t>& columnTypes) {
  statement_ = kept;
  int rc = BindAll(parameters);
  if (rc == SQLITE_OK) rc = sqlite3_step(statement_);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    sql_.clear();
    return false;
  }
  session_ = session;
  session_->Register(this);
  eof_ = rc == SQLITE_DONE;
  DescribeColumns(columnTypes);
  if (names_.empty()) Release();
  return true;
}

void SqliteRecordset::Prepare(const std::shared_ptr<SqliteSession>& session, std::string_view sql) {
  statement_ = detail::PrepareOne(session->Handle(), sql);
}

void SqliteRecordset::RefuseWritesWhenReadOnly() {
  const bool readOnly = lockType_ == kAdLockReadOnly || lockType_ == kAdUnspecified;
  if (readOnly && sqlite3_stmt_readonly(statement_) == 0) {
    ReleaseAndThrow(Error(kErrCommandText, detail::kSqliteSource,
                          "The recordset is read-only; the command would change the database."));
  }
}

int SqliteRecordset::BindAll(const std::vector<std::string>& parameters) {
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    const int position = static_cast<int>(i) + 1;
    const auto& value = parameters[i];
    const int rc = value.empty() ? sqlite3_bind_null(statement_, position)
                                 : sqlite3_bind_text(statement_, position, value.data(),
                                                     static_cast<int>(value.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

void SqliteRecordset::Bind(const std::vector<std::string>& parameters) {
  const int rc = BindAll(parameters);
  if (rc != SQLITE_OK) ReleaseAndThrow(SqliteFailure(sqlite3_db_handle(statement_), rc, SqliteStage::kExecution));
}

// Read after the first step: a kept statement that SQLite recompiled for a changed schema then reports
// the columns as they are now.
void SqliteRecordset::DescribeColumns(const std::vector<int32_t>& columnTypes) {
  const int count = sqlite3_column_count(statement_);
  names_.clear();
  types_.clear();
  for (int i = 0; i < count; ++i) {
    const char* name = sqlite3_column_name(statement_, i);
    const char* declared = sqlite3_column_decltype(statement_, i);
    names_.emplace_back(name != nullptr ? name : "");
    types_.push_back(detail::AdoTypeFromDeclared(declared != nullptr ? declared : ""));
  }
  for (std::size_t i = 0; i < columnTypes.size() && i < types_.size(); ++i) types_[i] = columnTypes[i];
}

void SqliteRecordset::Start(const std::shared_ptr<SqliteSession>& session, const std::vector<int32_t>& columnTypes) {
  session_ = session;
  session_->Register(this);
  Step();
  DescribeColumns(columnTypes);
  // A command that returns no rows (an update run with a writable lock) leaves the recordset closed.
  if (names_.empty()) Release();
}

void SqliteRecordset::Step() {
  const int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) {
    eof_ = false;
  } else if (rc == SQLITE_DONE) {
    eof_ = true;
  } else {
    ReleaseAndThrow(SqliteFailure(sqlite3_db_handle(statement_), rc, SqliteStage::kExecution));
  }
}

void SqliteRecordset::ReleaseAndThrow(const Error& error) {
  Release();
  throw error;
}

}  // namespace talvane::db
