#include "db/odbc/odbc_error.hpp"

#include <sqlext.h>

#include <array>
#include <string>

namespace talvane::db::detail {

namespace {

struct Diagnostics {
  std::string firstState;
  std::string text;
};

Diagnostics ReadDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
  Diagnostics read;
  for (SQLSMALLINT record = 1;; ++record) {
    std::array<SQLCHAR, 6> state{};
    std::array<SQLCHAR, 1024> message{};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRec(handleType, handle, record, state.data(), &native, message.data(),
                                       static_cast<SQLSMALLINT>(message.size()), &length);
    if (!SQL_SUCCEEDED(rc)) break;
    const std::string sqlState(reinterpret_cast<const char*>(state.data()));
    if (read.firstState.empty()) read.firstState = sqlState;
    if (!read.text.empty()) read.text += "; ";
    read.text += reinterpret_cast<const char*>(message.data());
    read.text += " (SQLSTATE " + sqlState + ")";
  }
  if (read.text.empty()) read.text = "The ODBC driver reported a failure without a diagnostic.";
  return read;
}

// 42S02 and S0002 are ODBC's "base table not found", 42P01 is how PostgreSQL's driver passes its own; the
// SQLite driver only says so in its message.
bool IsMissingTable(const Diagnostics& read) {
  return read.firstState == "42S02" || read.firstState == "S0002" || read.firstState == "42P01" ||
         read.text.find("no such table") != std::string::npos;
}

// The SQLite driver reports a refused text as a general error (HY000), which other drivers also use for a
// lost connection: only its message tells.
bool IsCommandTextError(const Diagnostics& read) {
  return read.firstState.rfind("42", 0) == 0 || read.firstState == "37000" ||
         read.text.find("syntax error") != std::string::npos;
}

// HY008 is ODBC's "operation canceled"; PostgreSQL's driver passes the server's own 57014.
bool IsCancelled(const Diagnostics& read) { return read.firstState == "HY008" || read.firstState == "57014"; }

}  // namespace

void RaiseOdbc(int32_t number, std::string_view message) { throw Error(number, kOdbcSource, message); }

Error OdbcFailure(SQLSMALLINT handleType, SQLHANDLE handle, OdbcStage stage) {
  const Diagnostics read = ReadDiagnostics(handleType, handle);
  int32_t number = kErrUnspecified;
  if (IsCancelled(read)) {
    number = kErrCancelled;
  } else if (IsMissingTable(read)) {
    number = kErrNoSuchTable;
  } else if (stage == OdbcStage::kCommand && IsCommandTextError(read)) {
    number = kErrCommandText;
  }
  return Error(number, kOdbcSource, read.text);
}

void CheckOdbc(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, OdbcStage stage) {
  if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA) return;
  throw OdbcFailure(handleType, handle, stage);
}

}  // namespace talvane::db::detail
