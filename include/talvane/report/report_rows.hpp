#pragma once
// The rows of a report's statement, run on the report's connection and read forward once, one row at a
// time: a host walks them without holding them, however many there are.
//
//   talvane::ReportRows rows(*report);
//   while (rows.Next()) {
//     for (int32_t c = 0; c < rows.ColumnCount(); ++c) use(rows.ColumnName(c), rows.Kind(c), rows.Text(c));
//   }
//
// The statement runs through the database layer (a forward-only, read-only recordset), so any backend
// behind db::Connection serves. Every failure is a talvane::Error: the database's own when the statement
// does not compile or fails part-way (the rows read before stay valid to the caller, the recordset is closed).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/db/recordset.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

/// The rows of a report's statement, read forward once (see the top of this file).
class ReportRows {
 public:
  /// Runs the statement the report builds (Exception::SQL) on the report's connection.
  explicit ReportRows(Exception& report);
  /// Runs `statement` on `connection`.
  ReportRows(const std::shared_ptr<db::Connection>& connection, std::string statement);
  ~ReportRows();
  ReportRows(const ReportRows&) = delete;
  ReportRows& operator=(const ReportRows&) = delete;

  /// The statement that runs, as it was given or built.
  const std::string& Statement() const { return statement_; }
  /// The number of columns of the statement.
  int32_t ColumnCount() const { return static_cast<int32_t>(names_.size()); }
  /// The output name of a column (0-based); raises 3265 for a column that does not exist.
  const std::string& ColumnName(int32_t column) const;
  /// The ADO type code of a column (0-based) as the database declares it (a DATE column 133, MONEY 6, ...;
  /// 12 for a computed column, which declares none); raises 3265 for a column that does not exist.
  int32_t ColumnType(int32_t column) const;

  /// Moves to the next row, the first one on the first call; false, with no current row, once every row
  /// has been read (and on every call after that).
  bool Next();
  /// Rows moved to so far.
  int64_t RowCount() const { return rowCount_; }

  /// What the value of a column in the current row holds. Raises 3021 with no current row, 3265 for a
  /// column that does not exist.
  db::ValueKind Kind(int32_t column) const;
  /// The value as text: the database's text of a number, the bytes of a blob, empty for NULL. Valid until
  /// the next call of Next or Close.
  std::string_view Text(int32_t column) const;

  /// Stops reading and releases the statement; Next then returns false. Never raises.
  void Close() noexcept;

 private:
  void Start(const std::shared_ptr<db::Connection>& connection);
  void ReadKinds();
  std::size_t CheckedColumn(int32_t column) const;
  std::size_t CurrentColumn(int32_t column) const;

  std::string statement_;
  std::shared_ptr<db::Recordset> recordset_;  // null once closed or exhausted
  std::vector<std::string> names_;
  std::vector<int32_t> types_;
  std::vector<db::ValueKind> kinds_;  // of the current row; empty when there is none
  mutable std::vector<std::string> buffers_;  // copies of values for backends that cannot show their own
  bool started_ = false;
  int64_t rowCount_ = 0;
};

}  // namespace talvane
