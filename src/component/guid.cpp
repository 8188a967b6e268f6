#include "talvane/component/guid.hpp"

namespace talvane::component {

std::string Guid::ToString() const {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "{";
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kDigits[bytes_[i] >> 4];
    text += kDigits[bytes_[i] & 0x0F];
  }
  text += '}';
  return text;
}

}  // namespace talvane::component
