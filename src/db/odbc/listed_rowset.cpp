#include "db/odbc/listed_rowset.hpp"

#include <utility>

#include "db/odbc/odbc_error.hpp"

namespace talvane::db::detail {

ListedRowset::ListedRowset(std::vector<Column> columns, std::vector<Row> rows)
    : BufferedRecordset(kOdbcSource), rows_(std::move(rows)) {
  OpenWith(std::move(columns));
}

// A listing is opened by the connection that made it, never with a query.
void ListedRowset::Open(const std::string& /*sql*/, const std::shared_ptr<Connection>& /*connection*/,
                        int32_t /*cursorType*/, int32_t /*lockType*/, int32_t /*options*/) {
  RequireClosed();
  RaiseOdbc(kErrUnspecified, "Object or provider is not capable of performing requested operation.");
}

bool ListedRowset::ReadRow(Row& row) {
  if (next_ >= rows_.size()) return false;
  row = std::move(rows_[next_++]);
  return true;
}

void ListedRowset::ReleaseSource() noexcept {
  rows_.clear();
  next_ = 0;
}

}  // namespace talvane::db::detail
