#include "support/counting_connection.hpp"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace talvane::test {

namespace {
constexpr std::size_t kCallKinds = static_cast<std::size_t>(DbCall::kAny) + 1;
}  // namespace

// State shared by the connection and the recordsets it made; recordsets hold it, not the connection.
struct CountingConnection::Tracker {
  struct Fault {
    DbCall kind;
    int32_t remaining;
    talvane::Error error;
  };

  std::shared_ptr<db::Connection> inner;
  const db::Connection* outer = nullptr;
  std::array<int32_t, kCallKinds> calls{};
  std::vector<Fault> faults;
  std::vector<std::string> requests;
  std::vector<std::weak_ptr<db::Recordset>> made;  // the inner recordsets
  int32_t opened = 0;
  int32_t abandoned = 0;

  // Counts a call and raises a pending fault that has come due.
  void Count(DbCall kind) {
    ++calls[static_cast<std::size_t>(kind)];
    ++calls[static_cast<std::size_t>(DbCall::kAny)];
    for (auto it = faults.begin(); it != faults.end(); ++it) {
      if (it->kind != kind && it->kind != DbCall::kAny) continue;
      if (--it->remaining > 0) continue;
      const talvane::Error error = it->error;
      faults.erase(it);
      throw error;
    }
  }

  void NoteOpened(const db::Recordset& recordset) {
    if (recordset.State() == db::kAdStateOpen) ++opened;
  }
};

namespace {

class CountingRecordset final : public db::Recordset {
 public:
  CountingRecordset(std::shared_ptr<db::Recordset> inner, std::shared_ptr<CountingConnection::Tracker> tracker)
      : inner_(std::move(inner)), tracker_(std::move(tracker)) {
    tracker_->made.push_back(inner_);
  }
  ~CountingRecordset() override {
    if (inner_->State() == db::kAdStateOpen) ++tracker_->abandoned;
  }

  void SetCursorLocation(int32_t location) override {
    tracker_->Count(DbCall::kSetCursorLocation);
    inner_->SetCursorLocation(location);
  }
  void SetCursorType(int32_t type) override {
    tracker_->Count(DbCall::kSetCursorType);
    inner_->SetCursorType(type);
  }
  void SetLockType(int32_t type) override {
    tracker_->Count(DbCall::kSetLockType);
    inner_->SetLockType(type);
  }

  void Open(const std::string& sql, const std::shared_ptr<db::Connection>& connection, int32_t cursorType,
            int32_t lockType, int32_t options) override {
    tracker_->requests.push_back(sql);
    tracker_->Count(DbCall::kOpen);
    // Opening on the counting connection means opening on the real one.
    const auto& target = connection.get() == tracker_->outer ? tracker_->inner : connection;
    inner_->Open(sql, target, cursorType, lockType, options);
    tracker_->NoteOpened(*inner_);
  }

  int32_t FieldCount() const override { return inner_->FieldCount(); }
  std::string FieldName(int32_t index) const override { return inner_->FieldName(index); }
  int32_t FieldType(int32_t index) const override {
    tracker_->Count(DbCall::kFieldType);
    return inner_->FieldType(index);
  }
  int32_t FieldType(std::string_view name) const override {
    tracker_->Count(DbCall::kFieldType);
    return inner_->FieldType(name);
  }
  std::string FieldValue(int32_t index) const override {
    tracker_->Count(DbCall::kFieldValue);
    return inner_->FieldValue(index);
  }
  std::string FieldValue(std::string_view name) const override {
    tracker_->Count(DbCall::kFieldValue);
    return inner_->FieldValue(name);
  }
  bool FieldIsNull(int32_t index) const override { return inner_->FieldIsNull(index); }

  bool Eof() const override { return inner_->Eof(); }
  void MoveNext() override {
    tracker_->Count(DbCall::kMoveNext);
    inner_->MoveNext();
  }
  int32_t State() const override { return inner_->State(); }
  void Close() override {
    tracker_->Count(DbCall::kClose);
    inner_->Close();
  }

 private:
  std::shared_ptr<db::Recordset> inner_;
  std::shared_ptr<CountingConnection::Tracker> tracker_;
};

}  // namespace

CountingConnection::CountingConnection(std::shared_ptr<db::Connection> inner)
    : tracker_(std::make_shared<Tracker>()) {
  tracker_->inner = std::move(inner);
  tracker_->outer = this;
}

CountingConnection::~CountingConnection() { tracker_->outer = nullptr; }

std::shared_ptr<CountingConnection> CountingConnection::Create(std::shared_ptr<db::Connection> inner) {
  return std::shared_ptr<CountingConnection>(new CountingConnection(std::move(inner)));
}

std::string CountingConnection::ConnectionString() const { return tracker_->inner->ConnectionString(); }

int32_t CountingConnection::State() const { return tracker_->inner->State(); }

std::optional<std::string> CountingConnection::SchemaVersion() noexcept {
  return forwardSchemaVersion_ ? tracker_->inner->SchemaVersion() : std::nullopt;
}

void CountingConnection::ForwardSchemaVersion(bool forward) { forwardSchemaVersion_ = forward; }

std::shared_ptr<db::Recordset> CountingConnection::OpenSchema(int32_t kind,
                                                              const std::vector<std::string>& restrictions) {
  tracker_->requests.push_back("schema " + std::to_string(kind));
  tracker_->Count(DbCall::kOpenSchema);
  auto recordset = std::make_shared<CountingRecordset>(tracker_->inner->OpenSchema(kind, restrictions), tracker_);
  tracker_->NoteOpened(*recordset);
  return recordset;
}

std::shared_ptr<db::Recordset> CountingConnection::NewRecordset() {
  tracker_->Count(DbCall::kNewRecordset);
  return std::make_shared<CountingRecordset>(tracker_->inner->NewRecordset(), tracker_);
}

const std::shared_ptr<db::Connection>& CountingConnection::Inner() const { return tracker_->inner; }

int32_t CountingConnection::Calls(DbCall kind) const { return tracker_->calls[static_cast<std::size_t>(kind)]; }

const std::vector<std::string>& CountingConnection::Requests() const { return tracker_->requests; }

void CountingConnection::ResetCounts() {
  tracker_->calls.fill(0);
  tracker_->requests.clear();
}

int32_t CountingConnection::OpenRecordsets() const {
  auto& made = tracker_->made;
  made.erase(std::remove_if(made.begin(), made.end(), [](const auto& weak) { return weak.expired(); }), made.end());
  return static_cast<int32_t>(std::count_if(made.begin(), made.end(), [](const auto& weak) {
    const auto recordset = weak.lock();
    return recordset && recordset->State() == db::kAdStateOpen;
  }));
}

int32_t CountingConnection::OpenedRecordsets() const { return tracker_->opened; }

int32_t CountingConnection::AbandonedRecordsets() const { return tracker_->abandoned; }

void CountingConnection::FailCall(DbCall kind, int32_t nth, const talvane::Error& error) {
  tracker_->faults.push_back({kind, nth < 1 ? 1 : nth, error});
}

}  // namespace talvane::test
