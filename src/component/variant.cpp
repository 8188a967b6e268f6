#include "talvane/component/variant.hpp"

#include <charconv>
#include <cmath>
#include <limits>

#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/foundation/ascii_text.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::component {

namespace {

[[noreturn]] void Mismatch(std::string_view from, std::string_view to) {
  std::string message = "Type mismatch: cannot convert ";
  message += from;
  message += " to ";
  message += to;
  throw Error(kErrTypeMismatch, kDispatchSource, message);
}

// Numeric text as a dispatch host reads it: optional sign, digits, decimal point, exponent.
std::optional<double> ParseNumber(std::string_view text) {
  text = TrimWhitespace(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

int32_t RoundToInt32(double value) {
  // Halves round to even, as the platform's conversion does.
  const double rounded = std::nearbyint(value);
  if (!(rounded >= static_cast<double>(std::numeric_limits<int32_t>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<int32_t>::max()))) {
    throw Error(kErrOverflow, kDispatchSource, "Overflow: the number does not fit a 32-bit integer");
  }
  return static_cast<int32_t>(rounded);
}

std::string FormatDouble(double value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::string_view DescribeText(const std::string& text) {
  return text.size() > 40 ? std::string_view("a long text") : std::string_view(text);
}

// An object converts to a scalar through its default member.
Variant DefaultValueOf(const DispatchObject& object) {
  if (object.IsNothing()) Mismatch("Nothing", "a value");
  if (!object.Interface().Find(0, MemberKind::kPropertyGet) && !object.Interface().Find(0, MemberKind::kMethod)) {
    Mismatch(std::string("an object of class ") + std::string(object.ClassName()) + " (it has no default member)",
             "a value");
  }
  return object.Invoke(0, kInvokePropertyGet, {});
}

}  // namespace

bool Variant::ToBool() const {
  switch (Type()) {
    case VariantType::kEmpty: return false;
    case VariantType::kBool: return std::get<bool>(value_);
    case VariantType::kInt32: return std::get<int32_t>(value_) != 0;
    case VariantType::kDouble: return std::get<double>(value_) != 0;
    case VariantType::kString: {
      const std::string& text = std::get<std::string>(value_);
      const std::string_view trimmed = TrimWhitespace(text);
      if (EqualsIgnoreCase(trimmed, "True")) return true;
      if (EqualsIgnoreCase(trimmed, "False")) return false;
      if (const auto number = ParseNumber(trimmed)) return *number != 0;
      Mismatch(std::string("the text \"") + std::string(DescribeText(text)) + "\"", "a boolean");
    }
    case VariantType::kObject: return DefaultValueOf(std::get<DispatchObject>(value_)).ToBool();
  }
  return false;
}

double Variant::ToDouble() const {
  switch (Type()) {
    case VariantType::kEmpty: return 0;
    case VariantType::kBool: return std::get<bool>(value_) ? -1 : 0;
    case VariantType::kInt32: return std::get<int32_t>(value_);
    case VariantType::kDouble: return std::get<double>(value_);
    case VariantType::kString: {
      const std::string& text = std::get<std::string>(value_);
      if (const auto number = ParseNumber(text)) return *number;
      Mismatch(std::string("the text \"") + std::string(DescribeText(text)) + "\"", "a number");
    }
    case VariantType::kObject: return DefaultValueOf(std::get<DispatchObject>(value_)).ToDouble();
  }
  return 0;
}

int32_t Variant::ToInt32() const {
  switch (Type()) {
    case VariantType::kInt32: return std::get<int32_t>(value_);
    case VariantType::kBool: return std::get<bool>(value_) ? -1 : 0;  // the platform's True is -1
    case VariantType::kObject: return DefaultValueOf(std::get<DispatchObject>(value_)).ToInt32();
    default: return RoundToInt32(ToDouble());
  }
}

std::string Variant::ToString() const {
  switch (Type()) {
    case VariantType::kEmpty: return {};
    case VariantType::kBool: return std::get<bool>(value_) ? "True" : "False";
    case VariantType::kInt32: return std::to_string(std::get<int32_t>(value_));
    case VariantType::kDouble: return FormatDouble(std::get<double>(value_));
    case VariantType::kString: return std::get<std::string>(value_);
    case VariantType::kObject: return DefaultValueOf(std::get<DispatchObject>(value_)).ToString();
  }
  return {};
}

DispatchObject Variant::ToObject() const {
  switch (Type()) {
    case VariantType::kEmpty: return {};
    case VariantType::kObject: return std::get<DispatchObject>(value_);
    case VariantType::kBool: Mismatch("a boolean", "an object");
    case VariantType::kInt32:
    case VariantType::kDouble: Mismatch("a number", "an object");
    case VariantType::kString: Mismatch("a text", "an object");
  }
  return {};
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.Type() != b.Type()) return false;
  switch (a.Type()) {
    case VariantType::kEmpty: return true;
    case VariantType::kBool: return std::get<bool>(a.value_) == std::get<bool>(b.value_);
    case VariantType::kInt32: return std::get<int32_t>(a.value_) == std::get<int32_t>(b.value_);
    case VariantType::kDouble: return std::get<double>(a.value_) == std::get<double>(b.value_);
    case VariantType::kString: return std::get<std::string>(a.value_) == std::get<std::string>(b.value_);
    case VariantType::kObject:
      return std::get<DispatchObject>(a.value_).IsSameObject(std::get<DispatchObject>(b.value_));
  }
  return false;
}

}  // namespace talvane::component
