#pragma once
// A forward-only recordset over one ODBC statement. Opening prepares the statement and learns its columns
// from the driver; the statement runs only at the first look at its rows, so a recordset opened for its
// columns alone (the library's probe) costs the same on any table size.
#include <memory>
#include <string>

#include "db/odbc/buffered_recordset.hpp"
#include "db/odbc/odbc_error.hpp"
#include "db/odbc/odbc_fetch.hpp"
#include "db/odbc/odbc_handle.hpp"

namespace talvane::db {

namespace detail {
class OdbcSession;
}

class OdbcRecordset final : public detail::BufferedRecordset {
 public:
  OdbcRecordset();
  ~OdbcRecordset() override;
  OdbcRecordset(const OdbcRecordset&) = delete;
  OdbcRecordset& operator=(const OdbcRecordset&) = delete;

  void Open(const std::string& sql, const std::shared_ptr<Connection>& connection, int32_t cursorType = -1,
            int32_t lockType = -1, int32_t options = -1) override;
  // Prepares and describes the statement on the session, and lets it go: what the server says of a text it
  // cannot compile is raised.
  void Describe(const std::string& sql, std::shared_ptr<detail::OdbcSession> session);

 private:
  bool ReadRow(Row& row) override;
  void ReleaseSource() noexcept override;
  void Prepare(const std::string& sql);
  std::vector<Column> DescribeColumns();
  void Execute(detail::OdbcStage stage);

  std::shared_ptr<detail::OdbcSession> session_;
  detail::OdbcHandle statement_;
  bool executed_ = false;
  std::unique_ptr<detail::RowFetcher> fetcher_;  // from the statement's execution; before the statement in
                                                  // destruction, so its buffers are unbound first
};

}  // namespace talvane::db
