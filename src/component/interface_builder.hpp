#pragma once
// Builds the type information of one interface from its member table: one row per member half, in
// published order, each with its binding and the names (and optional defaults) of its parameters.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "component/binding.hpp"
#include "talvane/component/guid.hpp"
#include "talvane/component/type_info.hpp"

namespace talvane::component::detail {

// Short names for the member kinds in the tables.
inline constexpr MemberKind kMethod = MemberKind::kMethod;
inline constexpr MemberKind kGet = MemberKind::kPropertyGet;
inline constexpr MemberKind kPut = MemberKind::kPropertyPut;
inline constexpr MemberKind kPutRef = MemberKind::kPropertyPutRef;

struct ParamDecl {
  std::string_view name;
  bool optional = false;
  bool byRef = false;
  std::optional<int32_t> defaultValue;
};

// The parameters that recur across the interfaces.
inline ParamDecl In(std::string_view name) { return {name, false, false, std::nullopt}; }
inline ParamDecl ByRef(std::string_view name) { return {name, false, true, std::nullopt}; }
// The new value of a write; always last.
inline ParamDecl Rhs() { return In("RHS"); }
// Index by value or by reference, optional, -1 (the cursor) when omitted.
inline ParamDecl OptionalIndex() { return {"Index", true, false, -1}; }
inline ParamDecl OptionalIndexByRef() { return {"Index", true, true, -1}; }
// ShowSets: an optional in-out flag without a default (false when omitted).
inline ParamDecl ShowSets() { return {"ShowSets", true, true, std::nullopt}; }

struct MemberRow {
  MemberKind kind;
  std::string_view name;
  BindingPlan binding;
  std::vector<ParamDecl> params = {};
  // Overrides the result type the binding reports ("Variant" for a member published as returning one).
  std::string_view resultTypeName = {};
};

class InterfaceBuilder {
 public:
  // Dispatch identifiers: 0 for `defaultMember`, then 1, 2, ... for the other names in the order of
  // their first row. Throws std::logic_error on a malformed table (a programming error).
  static TypeInfo Build(std::string_view name, const Guid& iid, std::string_view defaultMember,
                        const std::vector<MemberRow>& rows);
};

}  // namespace talvane::component::detail
