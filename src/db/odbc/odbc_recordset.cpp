#include "db/odbc/odbc_recordset.hpp"

#include <sqlext.h>

#include <array>
#include <utility>

#include "db/odbc/odbc_ado_type.hpp"
#include "db/odbc/odbc_error.hpp"
#include "db/odbc/odbc_fetch.hpp"
#include "db/odbc/odbc_session.hpp"
#include "db/odbc/probe_text.hpp"
#include "talvane/db/odbc_connection.hpp"

namespace talvane::db {

using detail::CheckOdbc;
using detail::OdbcStage;

namespace {

constexpr std::size_t kNameLength = 256;

std::string ColumnTypeName(SQLHSTMT statement, SQLUSMALLINT column) {
  std::array<char, kNameLength> name{};
  SQLSMALLINT length = 0;
  const SQLRETURN rc = SQLColAttribute(statement, column, SQL_DESC_TYPE_NAME, name.data(),
                                       static_cast<SQLSMALLINT>(name.size()), &length, nullptr);
  return SQL_SUCCEEDED(rc) ? std::string(name.data()) : std::string();
}

}  // namespace

OdbcRecordset::OdbcRecordset() : BufferedRecordset(detail::kOdbcSource) {}

OdbcRecordset::~OdbcRecordset() { ReleaseSource(); }

void OdbcRecordset::Open(const std::string& sql, const std::shared_ptr<Connection>& connection,
                         int32_t /*cursorType*/, int32_t /*lockType*/, int32_t /*options*/) {
  RequireClosed();
  const auto odbc = std::dynamic_pointer_cast<OdbcConnection>(connection);
  if (!odbc) detail::RaiseOdbc(kErrUnspecified, "The recordset can only be opened on an ODBC connection.");
  session_ = odbc->Session();
  if (!session_) {
    ReleaseSource();
    detail::RaiseOdbc(kErrObjectClosed, "Operation is not allowed when the object is closed.");
  }
  try {
    Prepare(detail::QuoteProbeNames(sql, session_->QuoteChar()));
    std::vector<Column> columns = DescribeColumns();
    // A statement without columns (a definition, a change) runs now and leaves the recordset closed.
    if (columns.empty()) {
      Execute(OdbcStage::kCommand);  // a driver that compiles only now reports the text's errors here
      ReleaseSource();
      return;
    }
    OpenWith(std::move(columns));
  } catch (...) {
    ReleaseSource();
    throw;
  }
}

void OdbcRecordset::Describe(const std::string& sql, std::shared_ptr<detail::OdbcSession> session) {
  RequireClosed();
  session_ = std::move(session);
  try {
    Prepare(sql);
    DescribeColumns();
  } catch (...) {
    ReleaseSource();
    throw;
  }
  ReleaseSource();
}

void OdbcRecordset::Prepare(const std::string& sql) {
  statement_ = session_->NewStatement();
  executed_ = false;
  std::string text = sql;
  ++session_->Counts().statementsPrepared;
  CheckOdbc(SQLPrepare(statement_.Get(), reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size())),
            SQL_HANDLE_STMT, statement_.Get(), OdbcStage::kCommand);
}

std::vector<OdbcRecordset::Column> OdbcRecordset::DescribeColumns() {
  SQLSMALLINT count = 0;
  CheckOdbc(SQLNumResultCols(statement_.Get(), &count), SQL_HANDLE_STMT, statement_.Get(), OdbcStage::kCommand);
  std::vector<Column> columns;
  for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
    std::array<SQLCHAR, kNameLength> name{};
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT sqlType = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = 0;
    CheckOdbc(SQLDescribeCol(statement_.Get(), i, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength,
                             &sqlType, &size, &digits, &nullable),
              SQL_HANDLE_STMT, statement_.Get(), OdbcStage::kCommand);
    columns.push_back({reinterpret_cast<const char*>(name.data()),
                       detail::AdoTypeFromSqlType(sqlType, ColumnTypeName(statement_.Get(), i))});
  }
  return columns;
}

void OdbcRecordset::Execute(OdbcStage stage) {
  ++session_->Counts().statementsExecuted;
  const detail::OdbcSession::Running running(*session_, statement_.Get());
  CheckOdbc(SQLExecute(statement_.Get()), SQL_HANDLE_STMT, statement_.Get(), stage);
  executed_ = true;
  SQLSMALLINT count = 0;
  if (SQL_SUCCEEDED(SQLNumResultCols(statement_.Get(), &count)) && count == 0) session_->SchemaMayHaveChanged();
  if (stage == OdbcStage::kExecution) {
    fetcher_ = std::make_unique<detail::RowFetcher>(session_->Handle(), statement_.Get());
  }
}

bool OdbcRecordset::ReadRow(Row& row) {
  if (!executed_) Execute(OdbcStage::kExecution);
  const detail::OdbcSession::Running running(*session_, statement_.Get());
  return fetcher_->Next(row);
}

void OdbcRecordset::ReleaseSource() noexcept {
  fetcher_.reset();
  statement_.Reset();
  session_.reset();
  executed_ = false;
}

}  // namespace talvane::db
