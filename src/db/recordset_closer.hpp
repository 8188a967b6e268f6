#pragma once
// Closes a recordset when the scope ends, on every path, errors included. Close() closes it at once and lets a
// failure of that close through; the destructor tries once more and swallows a failure, since it may run
// while an error unwinds. Either way no recordset the library opened outlives the member call that opened it.
#include <memory>
#include <utility>

#include "talvane/db/recordset.hpp"

namespace talvane::detail {

class RecordsetCloser {
 public:
  explicit RecordsetCloser(std::shared_ptr<db::Recordset> recordset) : recordset_(std::move(recordset)) {}
  ~RecordsetCloser() {
    try {
      Close();
    } catch (...) {  // NOLINT(bugprone-empty-catch): an error is already on its way out
    }
  }
  RecordsetCloser(const RecordsetCloser&) = delete;
  RecordsetCloser& operator=(const RecordsetCloser&) = delete;

  db::Recordset* operator->() const { return recordset_.get(); }
  db::Recordset& operator*() const { return *recordset_; }
  explicit operator bool() const { return recordset_ != nullptr; }

  void Close() {
    if (recordset_ && recordset_->State() == db::kAdStateOpen) recordset_->Close();
  }

 private:
  std::shared_ptr<db::Recordset> recordset_;
};

}  // namespace talvane::detail
