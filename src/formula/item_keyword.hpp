#pragma once
// The words that change how the formula splitter cuts an item, recognised with one comparison.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace talvane::detail {

// Words that change how an item goes on or ends.
enum class Keyword { None, InOrBetween, Like, And, Not, Aggregate, Boolean };

// A word of 2 to 8 characters packed into one number, letters folded to lower case. A word holds letters,
// digits and, in "NOT LIKE", one blank: setting the 0x20 bit folds letters and leaves digits and the blank as
// they are, so one comparison per keyword of the word's length decides.
constexpr std::uint64_t PackedByBytes(std::string_view word) {
  std::uint64_t packed = 0;
  for (std::size_t i = 0; i < word.size(); ++i) {
    packed |= static_cast<std::uint64_t>(static_cast<unsigned char>(word[i]) | 0x20u) << (8 * i);
  }
  return packed;
}

template <typename Unsigned>
inline std::uint64_t Load(const char* at) {
  Unsigned value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// The same number from two loads that overlap in the middle of the word (its first and last 2 or 4 bytes):
// a byte read twice lands on the same place both times.
constexpr std::uint64_t Packed(std::string_view word) {
  if (std::is_constant_evaluated() || std::endian::native != std::endian::little) return PackedByBytes(word);
  const std::size_t n = word.size();
  const std::uint64_t packed = n >= 4 ? Load<std::uint32_t>(word.data()) | Load<std::uint32_t>(word.data() + n - 4) << (8 * (n - 4))
                                      : Load<std::uint16_t>(word.data()) | Load<std::uint16_t>(word.data() + n - 2) << (8 * (n - 2));
  return packed | (0x2020202020202020u >> (8 * (8 - n)));
}

// The keyword a word of 2 to 8 characters is, given the word packed.
inline Keyword MatchKeyword(std::size_t size, std::uint64_t word) {
  switch (size) {
    case 2:
      return word == Packed("in") ? Keyword::InOrBetween : Keyword::None;
    case 3:
      if (word == Packed("and")) return Keyword::And;
      if (word == Packed("not")) return Keyword::Not;
      return word == Packed("sum") || word == Packed("max") || word == Packed("min") || word == Packed("avg")
                 ? Keyword::Aggregate
                 : Keyword::None;
    case 4:
      if (word == Packed("like")) return Keyword::Like;
      return word == Packed("true") ? Keyword::Boolean : Keyword::None;
    case 5:
      if (word == Packed("false")) return Keyword::Boolean;
      return word == Packed("count") || word == Packed("total") ? Keyword::Aggregate : Keyword::None;
    case 7:
      return word == Packed("between") ? Keyword::InOrBetween : Keyword::None;
    case 8:
      return word == Packed("not like") ? Keyword::Like : Keyword::None;
    default:
      return Keyword::None;
  }
}

}  // namespace talvane::detail
