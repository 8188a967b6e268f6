#pragma once
// The error of input the program cannot use at all (a definition file, a database, a command line).
// Its text is one line, printed as "talvane: <text>".
#include <stdexcept>
#include <string>

namespace talvane::cli {

class InputError : public std::runtime_error {
 public:
  explicit InputError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace talvane::cli
