#include "talvane/report/report_rows.hpp"

#include <utility>

#include "talvane/db/connection.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"

namespace talvane {

namespace {

constexpr std::string_view kSource = "ReportRows";

}  // namespace

ReportRows::ReportRows(Exception& report) : statement_(report.SQL()) { Start(report.Connection()); }

ReportRows::ReportRows(const std::shared_ptr<db::Connection>& connection, std::string statement)
    : statement_(std::move(statement)) {
  if (!connection) Raise(db::kErrObjectClosed, kSource, "Operation is not allowed when the object is closed.");
  Start(connection);
}

ReportRows::~ReportRows() { Close(); }

// A forward-only, read-only cursor: the rows are read as they are walked, and the statement may not write.
void ReportRows::Start(const std::shared_ptr<db::Connection>& connection) {
  auto recordset = connection->NewRecordset();
  recordset->SetCursorType(db::kAdOpenForwardOnly);
  recordset->SetLockType(db::kAdLockReadOnly);
  recordset->Open(statement_, connection);
  // A statement that returns no columns leaves the recordset closed: no columns, no rows.
  if (recordset->State() != db::kAdStateOpen) return;
  const int32_t count = recordset->FieldCount();
  for (int32_t i = 0; i < count; ++i) {
    names_.push_back(recordset->FieldName(i));
    types_.push_back(recordset->FieldType(i));
  }
  buffers_.resize(names_.size());
  recordset_ = std::move(recordset);
}

const std::string& ReportRows::ColumnName(int32_t column) const { return names_[CheckedColumn(column)]; }

int32_t ReportRows::ColumnType(int32_t column) const { return types_[CheckedColumn(column)]; }

bool ReportRows::Next() {
  kinds_.clear();
  if (!recordset_) return false;
  try {
    if (started_) recordset_->MoveNext();
    started_ = true;
    if (recordset_->Eof()) {
      Close();
      return false;
    }
    ReadKinds();
  } catch (...) {
    Close();
    throw;
  }
  ++rowCount_;
  return true;
}

// Read for the whole row before any text: reading a number's text may convert the value.
void ReportRows::ReadKinds() {
  kinds_.resize(names_.size());
  for (std::size_t i = 0; i < kinds_.size(); ++i) kinds_[i] = recordset_->FieldValueKind(static_cast<int32_t>(i));
}

db::ValueKind ReportRows::Kind(int32_t column) const { return kinds_[CurrentColumn(column)]; }

std::string_view ReportRows::Text(int32_t column) const {
  const std::size_t index = CurrentColumn(column);
  return recordset_->FieldText(column, buffers_[index]);
}

void ReportRows::Close() noexcept {
  kinds_.clear();
  if (!recordset_) return;
  try {
    if (recordset_->State() == db::kAdStateOpen) recordset_->Close();
  } catch (...) {  // NOLINT(bugprone-empty-catch): a recordset that cannot close is released all the same
  }
  recordset_.reset();
}

std::size_t ReportRows::CheckedColumn(int32_t column) const {
  if (column < 0 || static_cast<std::size_t>(column) >= names_.size()) {
    Raise(db::kErrItemNotFound, kSource,
          "Item cannot be found in the collection corresponding to the requested name or ordinal.");
  }
  return static_cast<std::size_t>(column);
}

std::size_t ReportRows::CurrentColumn(int32_t column) const {
  const std::size_t index = CheckedColumn(column);
  if (kinds_.empty()) {
    Raise(db::kErrNoCurrentRecord, kSource,
          "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
          "current record.");
  }
  return index;
}

}  // namespace talvane
