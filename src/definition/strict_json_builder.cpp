#include "strict_json_builder.hpp"

#include "talvane/definition/definition_error.hpp"
#include "talvane/definition/printable_text.hpp"

namespace talvane::detail {

namespace {

// An object's keys are compared one by one up to this many; past it they are hashed, so that an object of a
// million keys is read in linear time.
constexpr std::size_t kKeysComparedInTurn = 16;
constexpr std::size_t kMembersReserved = 4;

}  // namespace

void StrictJsonBuilder::CheckDepth() const {
  if (open_.size() > maxDepth_) {
    throw DefinitionError(source_ + ": the JSON is nested more than " + std::to_string(maxDepth_) + " levels deep");
  }
}

JsonValue& StrictJsonBuilder::Next() {
  if (open_.empty()) return result_;
  JsonValue& container = *open_.back().value;
  if (container.kind == JsonValue::Kind::kList) return container.entries.emplace_back();
  return container.members.back().value;
}

JsonValue& StrictJsonBuilder::Filled(JsonValue::Kind kind) {
  CheckDepth();
  JsonValue& next = Next();
  next.kind = kind;
  return next;
}

bool StrictJsonBuilder::number_integer(json::number_integer_t value) {
  Filled(JsonValue::Kind::kInteger).integer = value;
  return true;
}

bool StrictJsonBuilder::boolean(bool value) {
  Filled(JsonValue::Kind::kBoolean).truth = value;
  return true;
}

bool StrictJsonBuilder::number_unsigned(json::number_unsigned_t value) {
  Filled(JsonValue::Kind::kUnsigned).unsignedInteger = value;
  return true;
}

bool StrictJsonBuilder::string(json::string_t& value) {
  Filled(JsonValue::Kind::kString).text = value;
  return true;
}

void StrictJsonBuilder::Open(JsonValue::Kind kind) { open_.push_back({&Filled(kind), {}}); }

bool StrictJsonBuilder::start_object(std::size_t) {
  Open(JsonValue::Kind::kObject);
  // Room for the keys of a field or a formula, in one allocation.
  open_.back().value->members.reserve(kMembersReserved);
  return true;
}

bool StrictJsonBuilder::IsRepeated(OpenContainer& object, const std::string& key) const {
  if (object.value->members.size() < kKeysComparedInTurn) return object.value->Member(key) != nullptr;
  if (object.manyKeys.empty()) {
    for (const JsonMember& member : object.value->members) object.manyKeys.insert(member.key);
  }
  return !object.manyKeys.insert(key).second;
}

bool StrictJsonBuilder::key(json::string_t& key) {
  CheckDepth();
  OpenContainer& object = open_.back();
  if (IsRepeated(object, key)) {
    throw DefinitionError(source_ + ": key " + Quoted(key) + " is given twice in the same object");
  }
  object.value->members.push_back({key, {}});
  return true;
}

bool StrictJsonBuilder::end_object() {
  open_.pop_back();
  return true;
}

bool StrictJsonBuilder::start_array(std::size_t) {
  Open(JsonValue::Kind::kList);
  return true;
}

bool StrictJsonBuilder::end_array() {
  open_.pop_back();
  return true;
}

}  // namespace talvane::detail
