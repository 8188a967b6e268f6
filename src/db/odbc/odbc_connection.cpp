#include "talvane/db/odbc_connection.hpp"

#include <utility>

#include "db/foreign_keys.hpp"
#include "db/odbc/odbc_connection_string.hpp"
#include "db/odbc/odbc_error.hpp"
#include "db/odbc/odbc_recordset.hpp"
#include "db/odbc/odbc_schema.hpp"
#include "db/odbc/odbc_session.hpp"
#include "db/sqlite/connection_string.hpp"

namespace talvane::db {

namespace {

void Add(OdbcCounts& total, const OdbcCounts& more) {
  total.catalogueCalls += more.catalogueCalls;
  total.statementsPrepared += more.statementsPrepared;
  total.statementsExecuted += more.statementsExecuted;
}

[[noreturn]] void RaiseClosed() {
  detail::RaiseOdbc(kErrObjectClosed, "Operation is not allowed when the object is closed.");
}

}  // namespace

OdbcConnection::OdbcConnection(std::string connectionString) : connectionString_(std::move(connectionString)) {}

OdbcConnection::~OdbcConnection() = default;

std::shared_ptr<OdbcConnection> OdbcConnection::Create(const std::string& connectionString) {
  std::shared_ptr<OdbcConnection> connection(new OdbcConnection(connectionString));
  connection->Open();
  return connection;
}

std::string OdbcConnection::ConnectionString() const { return connectionString_; }

int32_t OdbcConnection::State() const { return session_ ? kAdStateOpen : kAdStateClosed; }

std::shared_ptr<Recordset> OdbcConnection::OpenSchema(int32_t kind, const std::vector<std::string>& restrictions) {
  if (!session_) RaiseClosed();
  if (kind == kSchemaTables) return detail::OpenTablesSchema(*session_, restrictions);
  if (kind == kSchemaColumns) return detail::OpenColumnsSchema(*session_, restrictions);
  if (kind == kSchemaForeignKeys) return detail::OpenForeignKeysSchema(*session_, restrictions);
  detail::RaiseOdbc(kErrUnspecified, "Object or provider is not capable of performing requested operation.");
}

std::shared_ptr<Recordset> OdbcConnection::NewRecordset() { return std::make_shared<OdbcRecordset>(); }

std::optional<std::string> OdbcConnection::SchemaVersion() noexcept {
  if (!session_) return std::nullopt;
  return "odbc:" + std::to_string(session_->Generation());
}

bool OdbcConnection::Interrupt() noexcept {
  const std::shared_ptr<detail::OdbcSession> session = session_;
  if (!session) return false;
  session->Cancel();
  return true;
}

bool OdbcConnection::Compile(std::string_view sql) {
  if (!session_) RaiseClosed();
  const auto statement = std::make_shared<OdbcRecordset>();
  statement->Describe(std::string(sql), session_);
  return true;
}

std::string OdbcConnection::DatabaseProduct() const { return session_ ? session_->Product() : std::string(); }

void OdbcConnection::Open() {
  if (session_) detail::RaiseOdbc(kErrUnspecified, "Operation is not allowed when the object is open.");
  session_ = std::make_shared<detail::OdbcSession>(detail::DriverConnectionString(connectionString_),
                                                   detail::OpensReadOnly(connectionString_));
}

void OdbcConnection::Close() {
  if (!session_) RaiseClosed();
  Add(closedCounts_, session_->Counts());
  session_.reset();
}

void OdbcConnection::SchemaChanged() {
  if (session_) session_->SchemaMayHaveChanged();
}

OdbcCounts OdbcConnection::Counts() const {
  OdbcCounts total = closedCounts_;
  if (session_) Add(total, session_->Counts());
  return total;
}

std::shared_ptr<detail::OdbcSession> OdbcConnection::Session() const { return session_; }

}  // namespace talvane::db
