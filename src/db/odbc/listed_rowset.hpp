#pragma once
// A rowset whose rows were all read beforehand (a catalogue listing), walked forward only.
#include <cstddef>
#include <vector>

#include "db/odbc/buffered_recordset.hpp"

namespace talvane::db::detail {

class ListedRowset final : public BufferedRecordset {
 public:
  ListedRowset(std::vector<Column> columns, std::vector<Row> rows);

  void Open(const std::string& sql, const std::shared_ptr<Connection>& connection, int32_t cursorType = -1,
            int32_t lockType = -1, int32_t options = -1) override;

 private:
  bool ReadRow(Row& row) override;
  void ReleaseSource() noexcept override;

  std::vector<Row> rows_;
  std::size_t next_ = 0;
};

}  // namespace talvane::db::detail
