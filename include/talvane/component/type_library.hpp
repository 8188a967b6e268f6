#pragma once
// The library's type information as a whole: its identity, every interface and the published
// enumerations with their constants.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "talvane/component/guid.hpp"

namespace talvane::component {

class TypeInfo;

/// One published enumeration and its constants.
struct EnumInfo {
  /// The enumeration's name, e.g. "ITEMTYPEENU".
  std::string_view name;  // "ITEMTYPEENU"
  /// Its identifier.
  Guid id;
  /// Its constants and their values, in published order.
  std::vector<std::pair<std::string_view, int32_t>> constants;  // in published order
};

/// The library's type information as a whole (see the top of this file).
class TypeLibrary {
 public:
  /// The type library's name.
  static std::string_view Name();
  /// Its description.
  static std::string_view Description();
  /// Its major version.
  static uint16_t MajorVersion();
  /// Its minor version.
  static uint16_t MinorVersion();
  /// Its locale identifier.
  static uint32_t Locale();
  /// Its identifier.
  static const Guid& Id();

  /// _Exception, _INode, _Item, _Section, _Formula, _FormulaList, _FieldList, _Field.
  static std::span<const TypeInfo* const> Interfaces();
  /// By name (letter case ignored) or by identifier.
  static const TypeInfo* FindInterface(std::string_view name);
  /// The interface of that identifier, or null.
  static const TypeInfo* FindInterface(const Guid& iid);

  /// Every published enumeration.
  static std::span<const EnumInfo> Enumerations();
  /// The value of a published constant (kIsNumeric, ERR_FIELD_FNF, ...), letter case ignored.
  static std::optional<int32_t> ConstantValue(std::string_view name);
};

}  // namespace talvane::component
