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

struct EnumInfo {
  std::string_view name;  // "ITEMTYPEENU"
  Guid id;
  std::vector<std::pair<std::string_view, int32_t>> constants;  // in published order
};

class TypeLibrary {
 public:
  static std::string_view Name();
  static std::string_view Description();
  static uint16_t MajorVersion();
  static uint16_t MinorVersion();
  static uint32_t Locale();
  static const Guid& Id();

  /// _Exception, _INode, _Item, _Section, _Formula, _FormulaList, _FieldList, _Field.
  static std::span<const TypeInfo* const> Interfaces();
  /// By name (letter case ignored) or by identifier.
  static const TypeInfo* FindInterface(std::string_view name);
  static const TypeInfo* FindInterface(const Guid& iid);

  static std::span<const EnumInfo> Enumerations();
  /// The value of a published constant (kIsNumeric, ERR_FIELD_FNF, ...), letter case ignored.
  static std::optional<int32_t> ConstantValue(std::string_view name);
};

}  // namespace talvane::component
