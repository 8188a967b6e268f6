#pragma once
// A request the server cannot use: answered 400 with the message.
#include <stdexcept>
#include <string>

namespace talvane::cli {

class BadRequest : public std::runtime_error {
 public:
  explicit BadRequest(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace talvane::cli
