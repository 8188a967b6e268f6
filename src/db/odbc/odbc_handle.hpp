#pragma once
// One ODBC handle (environment, connection or statement), freed when its owner goes: no error path leaks one.
#include <sql.h>

namespace talvane::db::detail {

class OdbcHandle {
 public:
  OdbcHandle() = default;
  // Allocates a handle of `type` under `parent` (SQL_NULL_HANDLE for an environment); raises talvane::Error
  // with the parent's diagnostics when the driver manager refuses.
  OdbcHandle(SQLSMALLINT type, SQLHANDLE parent);
  ~OdbcHandle();
  OdbcHandle(OdbcHandle&& other) noexcept;
  OdbcHandle& operator=(OdbcHandle&& other) noexcept;
  OdbcHandle(const OdbcHandle&) = delete;
  OdbcHandle& operator=(const OdbcHandle&) = delete;

  SQLHANDLE Get() const noexcept { return handle_; }
  SQLSMALLINT Type() const noexcept { return type_; }
  explicit operator bool() const noexcept { return handle_ != SQL_NULL_HANDLE; }
  void Reset() noexcept;

 private:
  SQLSMALLINT type_ = 0;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

}  // namespace talvane::db::detail
