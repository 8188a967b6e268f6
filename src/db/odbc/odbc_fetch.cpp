#include "db/odbc/odbc_fetch.hpp"

#include <sqlext.h>

#include <algorithm>
#include <array>

#include "db/odbc/odbc_error.hpp"

namespace talvane::db::detail {

namespace {

// A value is read in pieces until the driver has given all of it, so no length limit applies.
std::optional<std::string> ReadText(SQLHSTMT statement, SQLUSMALLINT column) {
  std::string value;
  std::array<char, 4096> buffer{};
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(statement, column, SQL_C_CHAR, buffer.data(),
                                    static_cast<SQLLEN>(buffer.size()), &indicator);
    if (rc == SQL_NO_DATA) break;
    CheckOdbc(rc, SQL_HANDLE_STMT, statement);
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    const bool whole = rc == SQL_SUCCESS;  // with info: truncated, more to come
    const std::size_t piece = whole && indicator != SQL_NO_TOTAL && static_cast<std::size_t>(indicator) < buffer.size()
                                  ? static_cast<std::size_t>(indicator)
                                  : buffer.size() - 1;  // the terminating NUL is not part of the value
    value.append(buffer.data(), piece);
    if (whole) break;
  }
  return value;
}

}  // namespace

bool FetchRow(SQLHSTMT statement, std::size_t columns, std::vector<std::optional<std::string>>& row) {
  const SQLRETURN rc = SQLFetch(statement);
  if (rc == SQL_NO_DATA) return false;
  CheckOdbc(rc, SQL_HANDLE_STMT, statement);
  row.resize(columns);
  for (std::size_t i = 0; i < columns; ++i) row[i] = ReadText(statement, static_cast<SQLUSMALLINT>(i + 1));
  return true;
}

std::vector<std::vector<std::optional<std::string>>> FetchAll(SQLHSTMT statement, std::size_t columns) {
  std::vector<std::vector<std::optional<std::string>>> rows;
  std::vector<std::optional<std::string>> row;
  while (FetchRow(statement, columns, row)) rows.push_back(row);
  return rows;
}

namespace {

// Widths in bytes: a value whose text is wider than kBoundWidthLimit characters is read on its own, and a
// block holds as many rows as fit in kBlockBytes, up to kBlockRows.
constexpr SQLLEN kBoundWidthLimit = 1024;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
constexpr SQLULEN kBlockRows = 1024;

bool IsLongType(SQLLEN type) {
  return type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR || type == SQL_LONGVARBINARY;
}

bool IsCharacterType(SQLLEN type) {
  return type == SQL_CHAR || type == SQL_VARCHAR || type == SQL_WCHAR || type == SQL_WVARCHAR;
}

// What the driver lets us read with SQLGetData beside bound columns: any column, in any order, bound or not
// (needed to bind at all), and a row of a block the cursor is positioned on (needed for blocks of rows).
enum class Binding { kNone, kSingleRows, kBlocks };

Binding DriverBinding(SQLHDBC connection) {
  SQLUINTEGER extensions = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(connection, SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions, nullptr))) {
    return Binding::kNone;
  }
  constexpr SQLUINTEGER kAnyColumn = SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND;
  if ((extensions & kAnyColumn) != kAnyColumn) return Binding::kNone;
  return (extensions & SQL_GD_BLOCK) != 0 ? Binding::kBlocks : Binding::kSingleRows;
}

}  // namespace

struct RowFetcher::BoundColumn {
  SQLLEN width = 0;  // bytes per row, the terminating NUL included; 0 when the column is not bound
  std::vector<char> text;
  std::vector<SQLLEN> indicators;
};

RowFetcher::RowFetcher(SQLHDBC connection, SQLHSTMT statement) : statement_(statement) {
  SQLSMALLINT count = 0;
  CheckOdbc(SQLNumResultCols(statement, &count), SQL_HANDLE_STMT, statement);
  columns_ = static_cast<std::size_t>(count);
  const Binding binding = columns_ == 0 ? Binding::kNone : DriverBinding(connection);
  if (binding == Binding::kNone) return;
  bound_.resize(columns_);
  std::size_t rowBytes = 0;
  for (std::size_t i = 0; i < columns_; ++i) {
    const auto column = static_cast<SQLUSMALLINT>(i + 1);
    SQLLEN type = 0;
    SQLLEN display = 0;
    if (!SQL_SUCCEEDED(SQLColAttribute(statement, column, SQL_DESC_CONCISE_TYPE, nullptr, 0, nullptr, &type)) ||
        !SQL_SUCCEEDED(SQLColAttribute(statement, column, SQL_DESC_DISPLAY_SIZE, nullptr, 0, nullptr, &display)) ||
        IsLongType(type) || display <= 0 || display > kBoundWidthLimit) {
      continue;
    }
    // Characters of text may take up to four bytes each; a wider value is found by its length and read alone.
    bound_[i].width = (IsCharacterType(type) ? display * 4 : display) + 1;
    rowBytes += static_cast<std::size_t>(bound_[i].width);
  }
  const SQLULEN rows = binding == Binding::kBlocks
                           ? std::clamp<SQLULEN>(kBlockBytes / std::max<std::size_t>(rowBytes, 1), 1, kBlockRows)
                           : 1;
  for (std::size_t i = 0; i < columns_; ++i) {
    BoundColumn& bound = bound_[i];
    if (bound.width == 0) continue;
    bound.text.resize(static_cast<std::size_t>(bound.width) * rows);
    bound.indicators.resize(rows);
    CheckOdbc(SQLBindCol(statement, static_cast<SQLUSMALLINT>(i + 1), SQL_C_CHAR, bound.text.data(), bound.width,
                         bound.indicators.data()),
              SQL_HANDLE_STMT, statement);
  }
  rowStatus_.resize(rows);
  CheckOdbc(SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0),
            SQL_HANDLE_STMT, statement);
  CheckOdbc(SQLSetStmtAttr(statement, SQL_ATTR_ROW_STATUS_PTR, rowStatus_.data(), 0), SQL_HANDLE_STMT, statement);
  CheckOdbc(SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &rowsInBlock_, 0), SQL_HANDLE_STMT, statement);
  binds_ = true;
  positioned_ = rows == 1;  // a single row is the current row already
}

RowFetcher::~RowFetcher() {
  if (!binds_) return;
  // The statement may outlive the buffers: it forgets them.
  SQLFreeStmt(statement_, SQL_UNBIND);
  SQLSetStmtAttr(statement_, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
  SQLSetStmtAttr(statement_, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
}

bool RowFetcher::FetchBlock() {
  rowsInBlock_ = 0;
  nextRow_ = 0;
  const SQLRETURN rc = SQLFetch(statement_);
  if (rc == SQL_NO_DATA) return false;
  CheckOdbc(rc, SQL_HANDLE_STMT, statement_);
  return rowsInBlock_ > 0;
}

void RowFetcher::ReadFromRow(SQLUSMALLINT column, std::optional<std::string>& value) {
  if (!positioned_) {
    CheckOdbc(SQLSetPos(statement_, static_cast<SQLSETPOSIROW>(nextRow_ + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE),
              SQL_HANDLE_STMT, statement_);
    positioned_ = true;
  }
  value = ReadText(statement_, column);
}

bool RowFetcher::Next(std::vector<std::optional<std::string>>& row) {
  if (!binds_) return FetchRow(statement_, columns_, row);
  if (nextRow_ >= rowsInBlock_ && !FetchBlock()) return false;
  if (rowStatus_[nextRow_] == SQL_ROW_ERROR) CheckOdbc(SQL_ERROR, SQL_HANDLE_STMT, statement_);
  row.resize(columns_);
  positioned_ = rowStatus_.size() == 1;
  for (std::size_t i = 0; i < columns_; ++i) {
    const BoundColumn& bound = bound_[i];
    std::optional<std::string>& value = row[i];
    const SQLLEN length = bound.width == 0 ? SQL_NO_TOTAL : bound.indicators[nextRow_];
    if (length == SQL_NULL_DATA) {
      value.reset();
    } else if (length >= 0 && length < bound.width) {
      const char* text = bound.text.data() + static_cast<std::size_t>(bound.width) * nextRow_;
      if (value) {
        value->assign(text, static_cast<std::size_t>(length));
      } else {
        value.emplace(text, static_cast<std::size_t>(length));
      }
    } else {
      ReadFromRow(static_cast<SQLUSMALLINT>(i + 1), value);  // not bound, or wider than its buffer
    }
  }
  ++nextRow_;
  return true;
}

}  // namespace talvane::db::detail
