#pragma once
// Builds a JSON document from parser events, as nlohmann's own document builder does, and refuses what a
// definition must not hold while the text is read: a key repeated within one object (the document would keep
// only the last one) and nesting deeper than a limit.
#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace talvane::detail {

class StrictJsonBuilder {
 public:
  using json = nlohmann::json;

  // Refusals raise DefinitionError with `source` in front of the message.
  StrictJsonBuilder(json& result, std::string source, std::size_t maxDepth)
      : builder_(result), source_(std::move(source)), maxDepth_(maxDepth) {}

  bool null() { return Value() && builder_.null(); }
  bool boolean(bool value) { return Value() && builder_.boolean(value); }
  bool number_integer(json::number_integer_t value) { return Value() && builder_.number_integer(value); }
  bool number_unsigned(json::number_unsigned_t value) { return Value() && builder_.number_unsigned(value); }
  bool number_float(json::number_float_t value, const json::string_t& text) {
    return Value() && builder_.number_float(value, text);
  }
  bool string(json::string_t& value) { return Value() && builder_.string(value); }
  bool binary(json::binary_t& value) { return Value() && builder_.binary(value); }
  bool start_object(std::size_t size);
  bool key(json::string_t& key);
  bool end_object();
  bool start_array(std::size_t size);
  bool end_array();
  template <typename Exception>
  bool parse_error(std::size_t position, const std::string& lastToken, const Exception& error) {
    return builder_.parse_error(position, lastToken, error);
  }

 private:
  // Every event is refused once `open_` containers are open around it and that is more than the limit.
  bool Value() const;
  void Open();

  nlohmann::detail::json_sax_dom_parser<json> builder_;
  std::string source_;
  std::size_t maxDepth_;
  std::size_t open_ = 0;
  // The keys of the open objects, innermost last, and where each object's keys begin.
  std::vector<std::string> keys_;
  std::vector<std::size_t> keysBegin_;
};

}  // namespace talvane::detail
