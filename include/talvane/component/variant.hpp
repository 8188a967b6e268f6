#pragma once
// The value passed to and returned from late-bound calls: empty, boolean, 32-bit integer, double,
// text or object. Conversions follow what a dispatch host expects: numbers and numeric text convert
// into each other, an object converts to a scalar through its default member, anything else is a
// type mismatch (raised as a talvane::Error).
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "talvane/component/dispatch_object.hpp"

namespace talvane::component {

enum class VariantType : int32_t {
  kEmpty = 0,
  kBool = 1,
  kInt32 = 2,
  kDouble = 3,
  kString = 4,
  kObject = 5,
};

/// A value of a late-bound call (see the top of this file).
class Variant {
 public:
  Variant() = default;
  /// @{
  /// A variant holding @p value.
  Variant(bool value) : value_(value) {}
  Variant(int32_t value) : value_(value) {}
  Variant(double value) : value_(value) {}
  Variant(std::string value) : value_(std::move(value)) {}
  Variant(std::string_view value) : value_(std::string(value)) {}
  Variant(const char* value) : value_(std::string(value)) {}
  Variant(DispatchObject value) : value_(std::move(value)) {}
  /// @}
  /// The published enumerations travel as their 32-bit values.
  template <class E>
    requires std::is_enum_v<E>
  Variant(E value) : value_(static_cast<int32_t>(value)) {}

  /// What the variant holds.
  VariantType Type() const { return static_cast<VariantType>(value_.index()); }
  /// Whether it holds nothing.
  bool IsEmpty() const { return Type() == VariantType::kEmpty; }

  /// @{
  /// Conversions; each raises kErrTypeMismatch (or kErrOverflow) when the value cannot convert.
  bool ToBool() const;
  int32_t ToInt32() const;
  double ToDouble() const;
  std::string ToString() const;
  /// @}
  /// Empty converts to Nothing; a scalar does not convert to an object.
  DispatchObject ToObject() const;

  /// Same type and value; objects compare by identity.
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  /// The order of the alternatives is the order of VariantType.
  std::variant<std::monostate, bool, int32_t, double, std::string, DispatchObject> value_;
};

}  // namespace talvane::component
