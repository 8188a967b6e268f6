#include "json_value.hpp"

namespace talvane::detail {

JsonValue* JsonValue::Member(std::string_view key) {
  for (JsonMember& member : members) {
    if (member.key == key) return &member.value;
  }
  return nullptr;
}

std::string JsonValue::Description() const {
  switch (kind) {
    case Kind::kObject: return "an object";
    case Kind::kList: return "a list";
    case Kind::kString: return "a string";
    case Kind::kBoolean: return "true or false";
    case Kind::kNull: return "null";
    case Kind::kInteger:
    case Kind::kUnsigned:
    case Kind::kFraction: return "a number";
    case Kind::kOther: break;
  }
  return "a value of another kind";
}

}  // namespace talvane::detail
