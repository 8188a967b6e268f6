#pragma once
// A report definition that cannot be read or applied: its text is one line naming the definition and what is
// wrong with it.
#include <stdexcept>
#include <string>

namespace talvane {

/// A definition that cannot be read or applied; what() is one line naming the definition and what is wrong.
class DefinitionError : public std::runtime_error {
 public:
  /// An error with the one-line `message`.
  explicit DefinitionError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace talvane
