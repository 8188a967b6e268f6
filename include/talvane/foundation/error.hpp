#pragma once
// The one error type of the library: a number, the raising member (source) and a description.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace talvane {

class Error : public std::runtime_error {
 public:
  /// Description is source + "\r" + message.
  Error(int32_t number, std::string_view source, std::string_view message);
  /// A bare number: no source and no description.
  explicit Error(int32_t number);

  int32_t Number() const noexcept { return number_; }
  const std::string& Source() const noexcept { return source_; }
  const std::string& Description() const noexcept { return description_; }
  /// The message part of the description (what follows the carriage return).
  std::string Message() const;

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
};

[[noreturn]] void Raise(int32_t number, std::string_view source, std::string_view message);

}  // namespace talvane
