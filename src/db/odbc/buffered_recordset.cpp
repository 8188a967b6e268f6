#include "db/odbc/buffered_recordset.hpp"

#include <utility>

#include "db/ado_errors.hpp"
#include "talvane/foundation/clean_text.hpp"

namespace talvane::db::detail {

namespace {

constexpr int32_t kAdUseClient = 3;

}  // namespace

// Every cursor reads forward only and never writes: the settings are accepted while closed and not kept.
void BufferedRecordset::SetCursorLocation(int32_t location) {
  RequireClosed();
  if (location != kAdUseServer && location != kAdUseClient) RaiseBadArgument(source_);
}

void BufferedRecordset::SetCursorType(int32_t /*type*/) { RequireClosed(); }

void BufferedRecordset::SetLockType(int32_t /*type*/) { RequireClosed(); }

void BufferedRecordset::OpenWith(std::vector<Column> columns) {
  columns_ = std::move(columns);
  row_.assign(columns_.size(), std::nullopt);
  open_ = true;
  started_ = false;
  eof_ = true;
}

int32_t BufferedRecordset::FieldCount() const {
  RequireOpen();
  return static_cast<int32_t>(columns_.size());
}

std::string BufferedRecordset::FieldName(int32_t index) const {
  RequireOpen();
  return columns_[CheckedIndex(index)].name;
}

int32_t BufferedRecordset::FieldType(int32_t index) const {
  RequireOpen();
  return columns_[CheckedIndex(index)].adoType;
}

int32_t BufferedRecordset::FieldType(std::string_view name) const {
  RequireOpen();
  return columns_[IndexOf(name)].adoType;
}

std::string BufferedRecordset::FieldValue(int32_t index) const {
  RequireOpen();
  return Current(CheckedIndex(index)).value_or(std::string());
}

std::string BufferedRecordset::FieldValue(std::string_view name) const {
  RequireOpen();
  return Current(IndexOf(name)).value_or(std::string());
}

bool BufferedRecordset::FieldIsNull(int32_t index) const {
  RequireOpen();
  return !Current(CheckedIndex(index)).has_value();
}

std::string_view BufferedRecordset::FieldText(int32_t index, std::string& /*buffer*/) const {
  RequireOpen();
  const std::optional<std::string>& value = Current(CheckedIndex(index));
  return value ? std::string_view(*value) : std::string_view();
}

bool BufferedRecordset::Eof() const {
  RequireOpen();
  Start();
  return eof_;
}

void BufferedRecordset::MoveNext() {
  RequireOpen();
  Start();
  if (eof_) RaiseNoCurrentRecord(source_);
  Advance();
}

int32_t BufferedRecordset::State() const { return open_ ? kAdStateOpen : kAdStateClosed; }

void BufferedRecordset::Close() {
  RequireOpen();
  ReleaseSource();
  open_ = false;
  columns_.clear();
  row_.clear();
}

void BufferedRecordset::RequireClosed() const {
  if (open_) RaiseObjectOpen(source_);
}

void BufferedRecordset::RequireOpen() const {
  if (!open_) RaiseObjectClosed(source_);
}

// A failure to read closes the recordset before it passes on: what the source held is given back at once.
void BufferedRecordset::Advance() {
  try {
    eof_ = !ReadRow(row_);
  } catch (...) {
    ReleaseSource();
    open_ = false;
    throw;
  }
}

// Reading the first row changes what the recordset shows, not what it is: the const looks at the rows read it.
void BufferedRecordset::Start() const {
  if (started_) return;
  started_ = true;
  const_cast<BufferedRecordset*>(this)->Advance();
}

std::size_t BufferedRecordset::CheckedIndex(int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= columns_.size()) RaiseItemNotFound(source_);
  return static_cast<std::size_t>(index);
}

std::size_t BufferedRecordset::IndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (EqualsIgnoreCase(columns_[i].name, name)) return i;
  }
  RaiseItemNotFound(source_);
}

const std::optional<std::string>& BufferedRecordset::Current(std::size_t column) const {
  Start();
  if (eof_) RaiseNoCurrentRecord(source_);
  return row_[column];
}

}  // namespace talvane::db::detail
