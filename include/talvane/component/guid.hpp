#pragma once
// A 128-bit class, interface or library identifier, read from and written as braced text
// ({1DBDCEF3-1416-413C-B7AC-CD321B9EF68F}).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvane::component {

/// A 128-bit class, interface or library identifier (see the top of this file).
class Guid {
 public:
  constexpr Guid() = default;

  /// Reads braced text in any letter case; nullopt for anything else.
  static constexpr std::optional<Guid> Parse(std::string_view text) {
    constexpr std::size_t kLength = 38;
    if (text.size() != kLength || text.front() != '{' || text.back() != '}') return std::nullopt;
    Guid g;
    std::size_t byte = 0;
    for (std::size_t i = 1; i + 1 < kLength;) {
      if (i == 9 || i == 14 || i == 19 || i == 24) {
        if (text[i] != '-') return std::nullopt;
        ++i;
        continue;
      }
      const int high = HexValue(text[i]);
      const int low = HexValue(text[i + 1]);
      if (high < 0 || low < 0) return std::nullopt;
      g.bytes_[byte++] = static_cast<uint8_t>(high * 16 + low);
      i += 2;
    }
    return g;
  }

  /// For published constants: text that does not parse stops compilation.
  static consteval Guid FromText(std::string_view text) {
    const auto g = Parse(text);
    if (!g) throw "malformed identifier text";
    return *g;
  }

  /// Braced, upper case.
  std::string ToString() const;
  /// Whether every digit is zero.
  bool IsNil() const { return *this == Guid{}; }

  /// Identifiers are equal when every digit is.
  friend constexpr bool operator==(const Guid&, const Guid&) = default;

 private:
  static constexpr int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  /// The digits in text order (not the platform's mixed-endian layout; only text and equality matter here).
  std::array<uint8_t, 16> bytes_{};
};

}  // namespace talvane::component
