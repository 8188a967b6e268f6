#pragma once
// A forward-only result of a query or a schema request, in the manner of an ADO recordset.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace talvane::db {

class Connection;

/// ADO constants the library uses.
constexpr int32_t kAdUseServer = 2;
constexpr int32_t kAdOpenForwardOnly = 0;
constexpr int32_t kAdLockReadOnly = 1;
constexpr int32_t kAdStateClosed = 0;
constexpr int32_t kAdStateOpen = 1;

/// Error numbers of the database layer, as a host of the original platform sees them.
constexpr int32_t kErrNoCurrentRecord = 3021;
constexpr int32_t kErrItemNotFound = 3265;
constexpr int32_t kErrObjectClosed = 3704;
constexpr int32_t kErrNoSuchTable = static_cast<int32_t>(0x80040E37u);
constexpr int32_t kErrCommandText = static_cast<int32_t>(0x80040E14u);
constexpr int32_t kErrUnspecified = static_cast<int32_t>(0x80004005u);
/// A statement stopped by Connection::Interrupt before it finished.
constexpr int32_t kErrCancelled = static_cast<int32_t>(0x80040E4Eu);

/// What a value of the current row holds: SQLite's storage classes, which other backends map onto.
enum class ValueKind : int32_t {
  kNull = 0,
  kInteger = 1,
  kReal = 2,
  kText = 3,
  kBlob = 4,
};

/// The rows of a query or of a schema listing, read forward: what the library asks of a backend's results.
class Recordset {
 public:
  virtual ~Recordset() = default;

  /// @{
  /// Cursor and lock settings in ADO's codes, given before Open; a forward-only backend may ignore them.
  virtual void SetCursorLocation(int32_t location) = 0;
  virtual void SetCursorType(int32_t type) = 0;
  virtual void SetLockType(int32_t type) = 0;
  /// @}

  /// Runs the query and positions on its first row (or at end-of-file).
  virtual void Open(const std::string& sql, const std::shared_ptr<Connection>& connection,
                    int32_t cursorType = -1, int32_t lockType = -1, int32_t options = -1) = 0;

  /// The number of columns.
  virtual int32_t FieldCount() const = 0;
  /// The name of the column at @p index (0-based).
  virtual std::string FieldName(int32_t index) const = 0;
  /// ADO type code of a column; names are matched without regard to case.
  virtual int32_t FieldType(int32_t index) const = 0;
  /// The ADO type code of the column named @p name.
  virtual int32_t FieldType(std::string_view name) const = 0;
  /// Value of a column in the current row, as text (empty for NULL).
  virtual std::string FieldValue(int32_t index) const = 0;
  /// The value of the column named @p name in the current row, as text.
  virtual std::string FieldValue(std::string_view name) const = 0;
  /// Whether the value of a column in the current row is NULL.
  virtual bool FieldIsNull(int32_t index) const = 0;
  /// The kind of a column's value in the current row. The default tells NULL from text only; a backend that
  /// knows how the value is stored says more. Read it before the value's text: reading the text may convert it.
  virtual ValueKind FieldValueKind(int32_t index) const {
    return FieldIsNull(index) ? ValueKind::kNull : ValueKind::kText;
  }
  /// The value of a column in the current row, as FieldValue gives it, without a copy where the backend can
  /// show its own bytes: the view is valid until the next MoveNext, Close or read of the same column. The
  /// default copies the value into `buffer` and views that.
  virtual std::string_view FieldText(int32_t index, std::string& buffer) const {
    buffer = FieldValue(index);
    return buffer;
  }

  /// Whether every row has been read (no current row).
  virtual bool Eof() const = 0;
  /// Moves to the next row.
  virtual void MoveNext() = 0;
  /// 0 closed, 1 open.
  virtual int32_t State() const = 0;
  /// Releases the query; the recordset may be opened again.
  virtual void Close() = 0;
};

}  // namespace talvane::db
