#pragma once
// A JSON value as the definition reader keeps it: its kind, the text of a string, the value of a whole number,
// the members of an object in the order written and the entries of a list. Lighter than a general JSON
// document (no tree of map nodes, no separate allocation per string), as a definition of thousands of
// formulas is read on every command.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace talvane::detail {

struct JsonMember;

struct JsonValue {
  enum class Kind { kNull, kBoolean, kInteger, kUnsigned, kFraction, kString, kObject, kList, kOther };

  Kind kind = Kind::kNull;
  std::string text;                 // of a string
  bool truth = false;               // of a boolean
  int64_t integer = 0;              // of a whole number below zero (kInteger)
  uint64_t unsignedInteger = 0;     // of a whole number of zero or more (kUnsigned)
  std::vector<JsonMember> members;  // of an object
  std::vector<JsonValue> entries;   // of a list

  bool IsWholeNumber() const { return kind == Kind::kInteger || kind == Kind::kUnsigned; }
  bool IsNumber() const { return IsWholeNumber() || kind == Kind::kFraction; }
  // The member named `key`, or null.
  JsonValue* Member(std::string_view key);
  // What the value is, for "must be ..., not ..." messages: "an object", "a list", "a string", ...
  std::string Description() const;
};

struct JsonMember {
  std::string key;
  JsonValue value;
};

}  // namespace talvane::detail
