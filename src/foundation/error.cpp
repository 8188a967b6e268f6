#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {
std::string Describe(std::string_view source, std::string_view message) {
  std::string d(source);
  d += '\r';
  d += message;
  return d;
}
}  // namespace

Error::Error(int32_t number, std::string_view source, std::string_view message)
    : std::runtime_error(Describe(source, message)),
      number_(number),
      source_(source),
      description_(Describe(source, message)) {}

Error::Error(int32_t number) : std::runtime_error(""), number_(number) {}

std::string Error::Message() const {
  auto cr = description_.find('\r');
  return cr == std::string::npos ? description_ : description_.substr(cr + 1);
}

void Raise(int32_t number, std::string_view source, std::string_view message) {
  throw Error(number, source, message);
}

}  // namespace talvane
