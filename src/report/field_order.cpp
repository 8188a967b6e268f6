// The ORDER BY members of class Field: positions form a run 1, 2, 3 across the fields of a list.
#include "talvane/report/field.hpp"

#include <algorithm>
#include <limits>

#include "talvane/foundation/error.hpp"
#include "talvane/report/field_list.hpp"

namespace talvane {

namespace {

constexpr std::string_view kNextOrderPosSource = "Field.NextOrderPos";

bool Holds(const std::vector<std::shared_ptr<Field>>& fields, int32_t position) {
  return std::any_of(fields.begin(), fields.end(),
                     [position](const std::shared_ptr<Field>& field) { return field->OrderPos() == position; });
}

}  // namespace

bool Field::Ordered() const { return orderPos_ > 0; }

void Field::SetOrdered(bool value) {
  // Every sibling is read before anything changes, so a closed list leaves all positions alone.
  const Siblings fields = ListFields("Exception: Field.Ordered");
  if (value) {
    orderPos_ = NextOrderPos(0, fields);
    return;
  }
  const int32_t old = orderPos_;
  orderPos_ = 0;
  CloseOrderGap(old, fields);
}

int32_t Field::OrderPos() const { return orderPos_; }

void Field::SetOrderPos(int32_t value) {
  const Siblings fields = ListFields("Exception: Field.OrderPos");
  // A position another field holds sends this one behind the run that holds it. Only ordered fields hold a
  // position: 0 takes the field out of the order whatever the unordered fields are.
  const bool heldByOther =
      value > 0 && std::any_of(fields.begin(), fields.end(), [&](const std::shared_ptr<talvane::Field>& f) {
        return f->orderPos_ != orderPos_ && f->orderPos_ == value;
      });
  if (heldByOther) {
    orderPos_ = NextOrderPos(value, fields);
    return;
  }
  if (value < 0) Raise(ERR_FIELD_INVALIDORDERPOS, "Field.OrderPos", "Order position must be greater than 0.");
  if (value > 0) {
    orderPos_ = value;
    return;
  }
  CloseOrderGap(orderPos_, fields);
  orderPos_ = 0;
}

// The first free position after the run that starts right after `start`.
int32_t Field::NextOrderPos(int32_t start, const Siblings& fields) const {
  if (start < 0) Raise(ERR_FIELD_INVALIDORDERPOS, kNextOrderPosSource, "Start position invalid. Must be > 0.");
  int32_t current = start;
  for (std::size_t n = 0; n < fields.size(); ++n) {
    if (current == std::numeric_limits<int32_t>::max()) {
      Raise(ERR_FIELD_INVALIDORDERPOS, kNextOrderPosSource, "No order position is free after the run.");
    }
    if (!Holds(fields, current + 1)) break;
    ++current;
  }
  if (current == std::numeric_limits<int32_t>::max()) {
    Raise(ERR_FIELD_INVALIDORDERPOS, kNextOrderPosSource, "No order position is free after the run.");
  }
  return current + 1;
}

void Field::CloseOrderGap(int32_t old, const Siblings& fields) {
  if (old < 1) return;
  for (const auto& field : fields) {
    if (field->orderPos_ > old) field->StoreOrderPos(field->orderPos_ - 1);
  }
}

void Field::StoreOrderPos(int32_t position) { orderPos_ = position; }

std::string Field::OrderKeyword() const { return ascending_ ? "ASC" : "DESC"; }

}  // namespace talvane
