#include "db/odbc/odbc_session.hpp"

#include <sqlext.h>

#include <algorithm>
#include <array>
#include <atomic>

#include "db/odbc/odbc_error.hpp"
#include "db/odbc/odbc_fetch.hpp"

namespace talvane::db::detail {

namespace {

constexpr SQLULEN kLoginTimeoutSeconds = 15;
constexpr std::size_t kTableColumns = 5;

// Shared by every session of the process, so that no two sessions (nor two generations of one) share a number.
uint64_t NextGeneration() {
  static std::atomic<uint64_t> next{0};
  return ++next;
}

SQLPOINTER AsPointer(SQLULEN value) { return reinterpret_cast<SQLPOINTER>(value); }

}  // namespace

OdbcSession::OdbcSession(const std::string& driverString, bool readOnly)
    : environment_(SQL_HANDLE_ENV, SQL_NULL_HANDLE), generation_(NextGeneration()) {
  CheckOdbc(SQLSetEnvAttr(environment_.Get(), SQL_ATTR_ODBC_VERSION, AsPointer(SQL_OV_ODBC3), 0), SQL_HANDLE_ENV,
            environment_.Get());
  connection_ = OdbcHandle(SQL_HANDLE_DBC, environment_.Get());
  SQLSetConnectAttr(connection_.Get(), SQL_ATTR_LOGIN_TIMEOUT, AsPointer(kLoginTimeoutSeconds), 0);
  // Asked of the driver; one that cannot open read-only still opens, as an ADO provider would.
  if (readOnly) SQLSetConnectAttr(connection_.Get(), SQL_ATTR_ACCESS_MODE, AsPointer(SQL_MODE_READ_ONLY), 0);
  std::string text = driverString;
  const SQLRETURN rc = SQLDriverConnect(connection_.Get(), nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                                        static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr,
                                        SQL_DRIVER_NOPROMPT);
  CheckOdbc(rc, SQL_HANDLE_DBC, connection_.Get());
  connected_ = true;
  quote_ = InfoText(SQL_IDENTIFIER_QUOTE_CHAR);
  patternEscape_ = InfoText(SQL_SEARCH_PATTERN_ESCAPE);
  product_ = InfoText(SQL_DBMS_NAME);
}

OdbcSession::~OdbcSession() {
  if (connected_) SQLDisconnect(connection_.Get());
}

OdbcHandle OdbcSession::NewStatement() { return OdbcHandle(SQL_HANDLE_STMT, connection_.Get()); }

void OdbcSession::SchemaMayHaveChanged() {
  generation_ = NextGeneration();
  tables_.reset();
}

const std::vector<OdbcSession::Row>& OdbcSession::Tables() {
  if (tables_) return *tables_;
  OdbcHandle statement = NewStatement();
  std::array<SQLCHAR, 6> type{'T', 'A', 'B', 'L', 'E', '\0'};
  ++counts_.catalogueCalls;
  CheckOdbc(SQLTables(statement.Get(), nullptr, 0, nullptr, 0, nullptr, 0, type.data(), SQL_NTS), SQL_HANDLE_STMT,
            statement.Get());
  tables_ = FetchAll(statement.Get(), kTableColumns);
  return *tables_;
}

OdbcSession::Running::Running(OdbcSession& session, SQLHSTMT statement) : session_(session), statement_(statement) {
  const std::lock_guard<std::mutex> hold(session_.runningLock_);
  session_.running_.push_back(statement_);
}

OdbcSession::Running::~Running() {
  const std::lock_guard<std::mutex> hold(session_.runningLock_);
  std::erase(session_.running_, statement_);
}

void OdbcSession::Cancel() noexcept {
  const std::lock_guard<std::mutex> hold(runningLock_);
  for (SQLHSTMT statement : running_) SQLCancel(statement);
}

std::string OdbcSession::InfoText(SQLUSMALLINT info) {
  std::array<char, 64> buffer{};
  SQLSMALLINT length = 0;
  const SQLRETURN rc =
      SQLGetInfo(connection_.Get(), info, buffer.data(), static_cast<SQLSMALLINT>(buffer.size()), &length);
  if (!SQL_SUCCEEDED(rc)) return {};
  return std::string(buffer.data());
}

}  // namespace talvane::db::detail
