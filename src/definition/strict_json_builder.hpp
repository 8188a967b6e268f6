#pragma once
// Builds a JsonValue from the events of nlohmann's JSON parser, and refuses what a definition must not hold
// while the text is read: a key repeated within one object (only one of them could be kept) and nesting
// deeper than a limit. The parser's own errors are raised as it raises them.
#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "json_value.hpp"

namespace talvane::detail {

class StrictJsonBuilder {
 public:
  using json = nlohmann::json;

  // Refusals raise DefinitionError with `source` in front of the message.
  StrictJsonBuilder(JsonValue& result, std::string source, std::size_t maxDepth)
      : result_(result), source_(std::move(source)), maxDepth_(maxDepth) {}

  bool null() { return Scalar(JsonValue::Kind::kNull); }
  bool boolean(bool value);
  bool number_integer(json::number_integer_t value);
  bool number_unsigned(json::number_unsigned_t value);
  bool number_float(json::number_float_t, const json::string_t&) { return Scalar(JsonValue::Kind::kFraction); }
  bool string(json::string_t& value);
  bool binary(json::binary_t&) { return Scalar(JsonValue::Kind::kOther); }
  bool start_object(std::size_t size);
  bool key(json::string_t& key);
  bool end_object();
  bool start_array(std::size_t size);
  bool end_array();
  template <typename Exception>
  bool parse_error(std::size_t, const std::string&, const Exception& error) {
    throw error;
  }

 private:
  struct OpenContainer {
    JsonValue* value;
    // The keys of an object, once it has too many to compare with each in turn.
    std::unordered_set<std::string> manyKeys;
  };

  // Every event is refused once more containers than the limit are open around it.
  void CheckDepth() const;
  // The value an event fills: the document, a new entry of the open list, or the open object's last member.
  JsonValue& Next();
  // Next(), after the depth check, marked as a value of `kind`.
  JsonValue& Filled(JsonValue::Kind kind);
  bool Scalar(JsonValue::Kind kind) {
    Filled(kind);
    return true;
  }
  void Open(JsonValue::Kind kind);
  bool IsRepeated(OpenContainer& object, const std::string& key) const;

  JsonValue& result_;
  std::string source_;
  std::size_t maxDepth_;
  std::vector<OpenContainer> open_;
};

}  // namespace talvane::detail
