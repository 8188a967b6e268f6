#pragma once
// The one error type of the library: a number, the raising member (source) and a description.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace talvane {

/// Every failure the library raises: a number (0x80040000 plus a small offset for the report objects,
/// the database layer's own numbers for the database), the source that raised it and a message.
class Error : public std::runtime_error {
 public:
  /// Description is source + "\r" + message.
  Error(int32_t number, std::string_view source, std::string_view message);
  /// A bare number: no source and no description.
  explicit Error(int32_t number);

  /// The error number; as a signed value the object errors are negative.
  int32_t Number() const noexcept { return number_; }
  /// The object and member that raised the error, e.g. "Exception: Section.Add".
  const std::string& Source() const noexcept { return source_; }
  /// The source, a carriage return and the message.
  const std::string& Description() const noexcept { return description_; }
  /// The message part of the description (what follows the carriage return).
  std::string Message() const;

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
};

/// Throws an Error with the given number, source and message.
[[noreturn]] void Raise(int32_t number, std::string_view source, std::string_view message);

}  // namespace talvane
