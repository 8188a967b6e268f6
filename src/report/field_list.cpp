#include "talvane/report/field_list.hpp"

#include <utility>

#include "talvane/db/connection.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/field.hpp"

namespace talvane {

namespace {

constexpr int32_t kListCnnClosed = ERR_FIELDLST_CNN_CLOSED;
constexpr int32_t kListIndexOob = ERR_FIELDLST_INDEX_OOB;
constexpr int32_t kListNoField = ERR_FIELDLST_ITEMTYPE;

constexpr std::string_view kFieldIndexSource = "Exception: FieldList.Field(Index)";
constexpr std::string_view kFieldWriteSource = "Exception: FieldList.Field";
constexpr std::string_view kAddNewSource = "Exception: FieldList.AddNew";
constexpr std::string_view kRemoveSource = "Exception: FieldList.Remove(Index)";
constexpr std::string_view kNextByOrderSource = "Exception: FieldList.MoverNextByOrder";

class MadeFieldList final : public FieldList {};

}  // namespace

std::shared_ptr<FieldList> FieldList::Create() { return std::make_shared<MadeFieldList>(); }

// A list that never had a connection fails like a closed one.
void FieldList::CheckConnection(std::string_view source) const {
  if (!connection_ || connection_->State() == db::kAdStateClosed) Raise(kListCnnClosed, source, "Connection not open");
}

const std::shared_ptr<talvane::Field>& FieldList::Checked(int32_t* index, std::string_view closedSource,
                                                          std::string_view boundsSource) const {
  CheckConnection(closedSource);
  if (*index == -1) *index = cursor_;
  if (*index < 1 || *index > Count()) Raise(kListIndexOob, boundsSource, "Index out of bounds");
  return fields_[static_cast<std::size_t>(*index - 1)];
}

std::shared_ptr<talvane::Field> FieldList::Field(int32_t Index) const {
  return Checked(&Index, kFieldIndexSource, kFieldIndexSource);
}

void FieldList::SetField(const std::shared_ptr<talvane::Field>& field, int32_t Index) {
  const auto& held = Checked(&Index, kFieldWriteSource, kFieldIndexSource);
  if (!field) Raise(kListNoField, kFieldWriteSource, "No field given");
  // The held field takes the given field's reference and looks it up; the list keeps its own object.
  held->SetValue(field->Value());
}

void FieldList::AddNew() {
  CheckConnection(kAddNewSource);
  auto field = talvane::Field::Create();
  field->SetConnection(connection_);
  field->SetParentList(shared_from_this());
  fields_.push_back(std::move(field));
  cursor_ = Count();
}

void FieldList::Remove(int32_t Index) { Remove(&Index); }

void FieldList::Remove(int32_t* Index) {
  int32_t fallback = -1;
  if (Index == nullptr) Index = &fallback;
  Checked(Index, kRemoveSource, kRemoveSource);
  const int32_t position = *Index;
  if (position < cursor_ || (position == cursor_ && cursor_ > 1)) --cursor_;
  // The field keeps its texts, its order position and its list reference.
  fields_.erase(fields_.begin() + (position - 1));
}

bool FieldList::Eof() const { return cursor_ > Count(); }
bool FieldList::Bof() const { return cursor_ < 1 || fields_.empty(); }

void FieldList::MoveFirst() { cursor_ = 1; }

int32_t FieldList::FirstOrderedAfter(int32_t position) const {
  int32_t best = 0;
  for (int32_t i = 1; i <= Count(); ++i) {
    const int32_t p = fields_[static_cast<std::size_t>(i - 1)]->OrderPos();
    if (p > position && (best == 0 || p < fields_[static_cast<std::size_t>(best - 1)]->OrderPos())) best = i;
  }
  return best;
}

void FieldList::MoverFirstByOrder() {
  const int32_t best = FirstOrderedAfter(0);
  cursor_ = best > 0 ? best : Count() + 1;
}

void FieldList::MoverNextByOrder() {
  if (fields_.empty()) {
    cursor_ = 1;
    return;
  }
  if (cursor_ < 1 || cursor_ > Count()) Raise(kListIndexOob, kNextByOrderSource, "Index out of bounds");
  const int32_t best = FirstOrderedAfter(fields_[static_cast<std::size_t>(cursor_ - 1)]->OrderPos());
  cursor_ = best > 0 ? best : Count() + 1;
}

void FieldList::MoveLast() { cursor_ = Count(); }

void FieldList::MoveNext() {
  ++cursor_;
  if (cursor_ > Count()) cursor_ = Count() + 1;
}

void FieldList::MovePrevious() {
  --cursor_;
  if (cursor_ < 1) cursor_ = 0;
}

int32_t FieldList::Count() const { return static_cast<int32_t>(fields_.size()); }

void FieldList::Clear() {
  const auto n = fields_.size();
  for (std::size_t i = 0; i < n; ++i) {
    fields_.front()->Clear();
    fields_.erase(fields_.begin());
  }
  cursor_ = 1;
}

std::shared_ptr<talvane::Exception> FieldList::Parent() const { return owner_.lock(); }

// Fields reach their owner through the list, so only the list stores it.
void FieldList::SetParent(const std::shared_ptr<talvane::Exception>& owner) { owner_ = owner; }

void FieldList::SetConnection(const std::shared_ptr<db::Connection>& connection) {
  connection_ = connection;
  for (const auto& field : fields_) field->SetConnection(connection);
}

}  // namespace talvane
