#include "talvane/db/sqlite_connection.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "db/foreign_keys.hpp"
#include "db/sqlite/connection_string.hpp"
#include "db/sqlite/sqlite_error.hpp"
#include "db/sqlite/sqlite_prepare.hpp"
#include "db/sqlite/sqlite_recordset.hpp"
#include "db/sqlite/sqlite_schema.hpp"
#include "db/sqlite/sqlite_session.hpp"
#include "talvane/foundation/clean_text.hpp"

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

int BusyTimeout(const std::string& connectionString) {
  const std::optional<int> timeout = detail::BusyTimeoutMs(connectionString);
  if (!timeout) {
    RaiseSqlite(kErrUnspecified, "The connection string's Timeout is not a number of seconds from 0 to 86400.");
  }
  return *timeout;
}

// Opens an existing database (never creates a file) and reads its catalogue once, so that a file that is
// not a database fails here rather than at the first query. A read-only handle makes every statement that
// would write fail. A statement that meets a lock waits for it up to `busyTimeoutMs`.
sqlite3* OpenHandle(const std::string& path, bool readOnly, int busyTimeoutMs) {
  sqlite3* handle = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &handle, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(handle, busyTimeoutMs);
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
  bool ownsSession = true;                 // false for an alias, which never closes the database
};

SqliteConnection::SqliteConnection(std::string connectionString) : impl_(std::make_unique<Impl>()) {
  impl_->connectionString = std::move(connectionString);
}

SqliteConnection::~SqliteConnection() {
  if (impl_->session && impl_->ownsSession) impl_->session->Close();
}

std::shared_ptr<SqliteConnection> SqliteConnection::Create(const std::string& connectionString) {
  std::shared_ptr<SqliteConnection> connection(new SqliteConnection(connectionString));
  connection->Open();
  return connection;
}

std::shared_ptr<SqliteConnection> SqliteConnection::Alias(const std::string& connectionString) const {
  std::shared_ptr<SqliteConnection> alias(new SqliteConnection(connectionString));
  alias->impl_->session = impl_->session;
  alias->impl_->ownsSession = false;
  return alias;
}

std::vector<std::string> SqliteConnection::UnusedKeys(std::string_view connectionString) {
  static constexpr std::string_view kKeys[] = {"DATA SOURCE", "PROVIDER", "MODE", "TIMEOUT"};
  std::vector<std::string> unused;
  detail::ForEachConnectionStringEntry(connectionString, [&](std::string_view name, std::string&&) {
    if (std::find(std::begin(kKeys), std::end(kKeys), UpperAscii(name)) == std::end(kKeys)) unused.emplace_back(name);
    return true;
  });
  return unused;
}

std::string SqliteConnection::ConnectionString() const { return impl_->connectionString; }

int32_t SqliteConnection::State() const { return Session() ? kAdStateOpen : kAdStateClosed; }

std::shared_ptr<Recordset> SqliteConnection::OpenSchema(int32_t kind, const std::vector<std::string>& restrictions) {
  const std::shared_ptr<SqliteSession> session = Session();
  if (!session) RaiseObjectClosed();
  if (kind == kSchemaTables) return detail::OpenTablesSchema(session, restrictions);
  if (kind == kSchemaColumns) return detail::OpenColumnsSchema(session, restrictions);
  if (kind == kSchemaForeignKeys) return detail::OpenForeignKeysSchema(session, restrictions);
  RaiseSqlite(kErrUnspecified, "Object or provider is not capable of performing requested operation.");
}

std::shared_ptr<Recordset> SqliteConnection::NewRecordset() { return std::make_shared<SqliteRecordset>(); }

std::optional<std::string> SqliteConnection::SchemaVersion() noexcept {
  const std::shared_ptr<SqliteSession> session = Session();
  return session ? session->SchemaVersion() : std::nullopt;
}

std::string SqliteConnection::DatabaseProduct() const { return "SQLite"; }

bool SqliteConnection::Compile(std::string_view sql) {
  const std::shared_ptr<SqliteSession> session = Session();
  if (!session) RaiseObjectClosed();
  sqlite3_finalize(detail::PrepareOne(session->Handle(), sql));
  return true;
}

bool SqliteConnection::Interrupt() noexcept {
  const std::shared_ptr<SqliteSession> session = impl_->session;
  if (!session) return false;
  sqlite3_interrupt(session->Handle());
  return true;
}

void SqliteConnection::Open() {
  if (Session()) RaiseObjectOpen();
  const std::string& text = impl_->connectionString;
  sqlite3* handle = OpenHandle(DataSource(text), detail::OpensReadOnly(text), BusyTimeout(text));
  auto session = std::make_shared<SqliteSession>(handle);  // owns the handle from here on
  detail::RegisterSchemaFunctions(handle);
  impl_->session = std::move(session);
  impl_->ownsSession = true;
}

void SqliteConnection::Close() {
  if (!Session()) RaiseObjectClosed();
  const auto session = std::move(impl_->session);
  impl_->session.reset();
  if (impl_->ownsSession) session->Close();
}

sqlite3* SqliteConnection::Handle() const {
  const std::shared_ptr<SqliteSession> session = Session();
  return session ? session->Handle() : nullptr;
}

int32_t SqliteConnection::OpenRecordsets() const {
  const std::shared_ptr<SqliteSession> session = Session();
  return session ? session->OpenRecordsets() : 0;
}

// None while closed, also for an alias whose database was closed under it.
std::shared_ptr<SqliteSession> SqliteConnection::Session() const {
  return impl_->session && impl_->session->IsOpen() ? impl_->session : nullptr;
}

}  // namespace talvane::db
