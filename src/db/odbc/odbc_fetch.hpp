#pragma once
// Reading the rows of an ODBC statement as text.
#include <sql.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace talvane::db::detail {

// Fetches the next row of `statement` and reads its first `columns` values as text (nullopt for NULL);
// false after the last row. Raises the statement's diagnostics on failure.
bool FetchRow(SQLHSTMT statement, std::size_t columns, std::vector<std::optional<std::string>>& row);

// Every remaining row of the statement.
std::vector<std::vector<std::optional<std::string>>> FetchAll(SQLHSTMT statement, std::size_t columns);

// Reads the rows of an executed statement as text, as FetchRow does, with fewer calls to the driver: columns
// of a bounded text width are bound to buffers, for a block of rows where the driver can read a value of a
// block's row on its own, else for one row; the rest (long text, a value wider than its buffer) are read
// from the row one by one. A driver that cannot read an unbound column beside bound ones is read with
// FetchRow.
class RowFetcher {
 public:
  RowFetcher(SQLHDBC connection, SQLHSTMT statement);
  ~RowFetcher();
  RowFetcher(const RowFetcher&) = delete;
  RowFetcher& operator=(const RowFetcher&) = delete;

  bool Next(std::vector<std::optional<std::string>>& row);

 private:
  struct BoundColumn;
  bool FetchBlock();
  void ReadFromRow(SQLUSMALLINT column, std::optional<std::string>& value);

  SQLHSTMT statement_;
  std::size_t columns_ = 0;
  bool binds_ = false;  // columns are bound; otherwise rows are read with FetchRow
  std::vector<BoundColumn> bound_;  // one per column; an unbound one has no buffer
  SQLULEN rowsInBlock_ = 0;
  SQLULEN nextRow_ = 0;
  bool positioned_ = false;
  std::vector<SQLUSMALLINT> rowStatus_;
};

}  // namespace talvane::db::detail
