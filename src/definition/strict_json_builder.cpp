#include "strict_json_builder.hpp"

#include <algorithm>

#include "talvane/definition/definition_error.hpp"
#include "talvane/definition/printable_text.hpp"

namespace talvane::detail {

bool StrictJsonBuilder::Value() const {
  if (open_ > maxDepth_) {
    throw DefinitionError(source_ + ": the JSON is nested more than " + std::to_string(maxDepth_) + " levels deep");
  }
  return true;
}

void StrictJsonBuilder::Open() {
  Value();
  ++open_;
}

bool StrictJsonBuilder::start_object(std::size_t size) {
  Open();
  keysBegin_.push_back(keys_.size());
  return builder_.start_object(size);
}

bool StrictJsonBuilder::key(json::string_t& key) {
  Value();
  const auto begin = keys_.begin() + static_cast<std::ptrdiff_t>(keysBegin_.back());
  if (std::find(begin, keys_.end(), key) != keys_.end()) {
    throw DefinitionError(source_ + ": key " + Quoted(key) + " is given twice in the same object");
  }
  keys_.push_back(key);
  return builder_.key(key);
}

bool StrictJsonBuilder::end_object() {
  --open_;
  keys_.resize(keysBegin_.back());
  keysBegin_.pop_back();
  return builder_.end_object();
}

bool StrictJsonBuilder::start_array(std::size_t size) {
  Open();
  return builder_.start_array(size);
}

bool StrictJsonBuilder::end_array() {
  --open_;
  return builder_.end_array();
}

}  // namespace talvane::detail
