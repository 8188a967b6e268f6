#pragma once
// Type information of one interface: its members in published order, one entry per half of a
// property (read, write, object assign) in the order the interface declares them, each with its
// dispatch identifier and its parameters.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/component/guid.hpp"
#include "talvane/component/variant.hpp"

namespace talvane::component {

/// The kind of one member entry; the values of the platform's invoke kinds.
enum class MemberKind : int32_t {
  kMethod = 1,
  kPropertyGet = 2,
  kPropertyPut = 4,
  kPropertyPutRef = 8,
};

/// One parameter of a member.
struct ParamInfo {
  /// The parameter's name.
  std::string_view name;
  /// The published type: "String", "Long", "Boolean", "Variant", an enumeration or a class name.
  std::string_view typeName;
  /// The variant type its value travels as.
  VariantType type = VariantType::kEmpty;
  /// Whether the argument is passed by reference (written back after the call).
  bool byRef = false;
  /// Whether the argument may be left out.
  bool optional = false;
  /// The value an omitted optional parameter takes; empty when it has none (it then reads as false,
  /// 0 or the empty text).
  Variant defaultValue;
};

/// One entry of an interface: a method, or one half of a property.
struct MemberInfo {
  /// The member's name.
  std::string_view name;
  /// 0 for the default member; the read and write halves of a property share one identifier.
  int32_t dispid = 0;
  /// A method, a property read, a property write or an object assignment.
  MemberKind kind = MemberKind::kMethod;
  /// Indexes first; a write ends with the new value.
  std::vector<ParamInfo> params;
  /// "" for a member that returns nothing.
  std::string_view resultTypeName;
  /// The variant type of the result.
  VariantType resultType = VariantType::kEmpty;

  /// The number of parameters that are not optional.
  std::size_t RequiredParams() const;
};

namespace detail {
struct CallFrame;
using Binding = Variant (*)(CallFrame& frame);
class InterfaceBuilder;
}  // namespace detail

/// The type information of one interface (see the top of this file).
class TypeInfo {
 public:
  /// "_Formula", "_INode", ...
  std::string_view Name() const { return name_; }
  /// The interface identifier.
  const Guid& Id() const { return id_; }
  /// Braced upper-case text of Id().
  const std::string& IdText() const { return idText_; }

  /// Every member entry, in published order.
  std::span<const MemberInfo> Members() const { return members_; }
  /// Distinct member names in published order.
  std::vector<std::string_view> MemberNames() const;
  /// Letter case does not matter.
  std::optional<int32_t> IdOfName(std::string_view name) const;
  /// The entry of that identifier and kind, or null.
  const MemberInfo* Find(int32_t dispid, MemberKind kind) const;

 private:
  TypeInfo(std::string_view name, const Guid& id, std::vector<MemberInfo> members,
           std::vector<detail::Binding> bindings);
  detail::Binding BindingOf(const MemberInfo& member) const;

  std::string_view name_;
  Guid id_;
  std::string idText_;
  std::vector<MemberInfo> members_;
  std::vector<detail::Binding> bindings_;

  friend class detail::InterfaceBuilder;
  friend class DispatchObject;
};

}  // namespace talvane::component
