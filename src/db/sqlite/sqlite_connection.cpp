#include "talvane/db/sqlite_connection.hpp"

#include <sqlite3.h>

#include <utility>

#include "db/foreign_keys.hpp"
#include "db/sqlite/connection_string.hpp"
#include "db/sqlite/sqlite_error.hpp"
#include "db/sqlite/sqlite_prepare.hpp"
#include "db/sqlite/sqlite_recordset.hpp"
#include "db/sqlite/sqlite_schema.hpp"
#include "db/sqlite/sqlite_session.hpp"

namespace talvane::db {

using detail::RaiseObjectClosed;
using detail::RaiseObjectOpen;
using detail::RaiseSqlite;
using detail::SqliteStage;

namespace {

std::string DataSource(const std::string& connectionString) {
  auto source = detail::ConnectionStringValue(connectionString, "Data Source");
  if (!source || source->empty()) {
    RaiseSqlite(kErrUnspecified, "The connection string names no Data Source.");
  }
  return *source;
}

// Opens an existing database (never creates a file) and reads its catalogue once, so that a file that is
// not a database fails here rather than at the first query. A read-only handle makes every statement that
// would write fail.
sqlite3* OpenHandle(const std::string& path, bool readOnly) {
  sqlite3* handle = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &handle, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    const Error failure = detail::SqliteFailure(handle, rc, SqliteStage::kExecution);
    sqlite3_close_v2(handle);
    // A directory opens read-only and fails only at its first read: it cannot be opened as a database.
    if ((rc & 0xff) == SQLITE_IOERR) {
      RaiseSqlite(kErrUnspecified, std::string(sqlite3_errstr(SQLITE_CANTOPEN)) + " (" + failure.Message() + ")");
    }
    throw failure;
  }
  sqlite3_extended_result_codes(handle, 1);
  return handle;
}

}  // namespace

struct SqliteConnection::Impl {
  std::string connectionString;
  std::shared_ptr<SqliteSession> session;  // null while closed
};

SqliteConnection::SqliteConnection(std::string connectionString) : impl_(std::make_unique<Impl>()) {
  impl_->connectionString = std::move(connectionString);
}

SqliteConnection::~SqliteConnection() {
  if (impl_->session) impl_->session->Close();
}

std::shared_ptr<SqliteConnection> SqliteConnection::Create(const std::string& connectionString) {
  std::shared_ptr<SqliteConnection> connection(new SqliteConnection(connectionString));
  connection->Open();
  return connection;
}

std::string SqliteConnection::ConnectionString() const { return impl_->connectionString; }

int32_t SqliteConnection::State() const { return impl_->session ? kAdStateOpen : kAdStateClosed; }

std::shared_ptr<Recordset> SqliteConnection::OpenSchema(int32_t kind, const std::vector<std::string>& restrictions) {
  if (!impl_->session) RaiseObjectClosed();
  if (kind == kSchemaTables) return detail::OpenTablesSchema(impl_->session, restrictions);
  if (kind == kSchemaColumns) return detail::OpenColumnsSchema(impl_->session, restrictions);
  if (kind == kSchemaForeignKeys) return detail::OpenForeignKeysSchema(impl_->session, restrictions);
  RaiseSqlite(kErrUnspecified, "Object or provider is not capable of performing requested operation.");
}

std::shared_ptr<Recordset> SqliteConnection::NewRecordset() { return std::make_shared<SqliteRecordset>(); }

std::optional<std::string> SqliteConnection::SchemaVersion() noexcept {
  return impl_->session ? impl_->session->SchemaVersion() : std::nullopt;
}

bool SqliteConnection::Compile(std::string_view sql) {
  if (!impl_->session) RaiseObjectClosed();
  sqlite3_finalize(detail::PrepareOne(impl_->session->Handle(), sql));
  return true;
}

void SqliteConnection::Open() {
  if (impl_->session) RaiseObjectOpen();
  sqlite3* handle =
      OpenHandle(DataSource(impl_->connectionString), detail::OpensReadOnly(impl_->connectionString));
  auto session = std::make_shared<SqliteSession>(handle);  // owns the handle from here on
  detail::RegisterSchemaFunctions(handle);
  impl_->session = std::move(session);
}

void SqliteConnection::Close() {
  if (!impl_->session) RaiseObjectClosed();
  const auto session = std::move(impl_->session);
  impl_->session.reset();
  session->Close();
}

sqlite3* SqliteConnection::Handle() const { return impl_->session ? impl_->session->Handle() : nullptr; }

int32_t SqliteConnection::OpenRecordsets() const {
  return impl_->session ? impl_->session->OpenRecordsets() : 0;
}

std::shared_ptr<SqliteSession> SqliteConnection::Session() const { return impl_->session; }

}  // namespace talvane::db
