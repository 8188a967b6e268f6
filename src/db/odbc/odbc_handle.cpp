#include "db/odbc/odbc_handle.hpp"

#include <utility>

#include "db/odbc/odbc_error.hpp"

namespace talvane::db::detail {

OdbcHandle::OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
  const SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
  if (!SQL_SUCCEEDED(rc)) {
    handle_ = SQL_NULL_HANDLE;
    if (parent == SQL_NULL_HANDLE) RaiseOdbc(kErrUnspecified, "The ODBC driver manager cannot allocate an environment.");
    const SQLSMALLINT parentType = type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV;
    throw OdbcFailure(parentType, parent, OdbcStage::kExecution);
  }
}

OdbcHandle::~OdbcHandle() { Reset(); }

OdbcHandle::OdbcHandle(OdbcHandle&& other) noexcept
    : type_(other.type_), handle_(std::exchange(other.handle_, nullptr)) {}

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& other) noexcept {
  if (this != &other) {
    Reset();
    type_ = other.type_;
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

// A statement's cursor is closed first: a statement described but never run otherwise leaves the PostgreSQL
// driver holding its description.
void OdbcHandle::Reset() noexcept {
  if (handle_ != SQL_NULL_HANDLE && type_ == SQL_HANDLE_STMT) SQLFreeStmt(handle_, SQL_CLOSE);
  if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
  handle_ = SQL_NULL_HANDLE;
}

}  // namespace talvane::db::detail
