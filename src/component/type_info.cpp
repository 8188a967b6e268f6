#include "talvane/component/type_info.hpp"

#include <algorithm>

#include "talvane/foundation/clean_text.hpp"

namespace talvane::component {

std::size_t MemberInfo::RequiredParams() const {
  return static_cast<std::size_t>(std::ranges::count_if(params, [](const ParamInfo& p) { return !p.optional; }));
}

TypeInfo::TypeInfo(std::string_view name, const Guid& id, std::vector<MemberInfo> members,
                   std::vector<detail::Binding> bindings)
    : name_(name), id_(id), idText_(id.ToString()), members_(std::move(members)), bindings_(std::move(bindings)) {}

std::vector<std::string_view> TypeInfo::MemberNames() const {
  std::vector<std::string_view> names;
  for (const MemberInfo& m : members_) {
    if (std::ranges::find(names, m.name) == names.end()) names.push_back(m.name);
  }
  return names;
}

std::optional<int32_t> TypeInfo::IdOfName(std::string_view name) const {
  const auto it = std::ranges::find_if(members_, [&](const MemberInfo& m) { return EqualsIgnoreCase(m.name, name); });
  if (it == members_.end()) return std::nullopt;
  return it->dispid;
}

const MemberInfo* TypeInfo::Find(int32_t dispid, MemberKind kind) const {
  const auto it = std::ranges::find_if(members_, [&](const MemberInfo& m) { return m.dispid == dispid && m.kind == kind; });
  return it == members_.end() ? nullptr : &*it;
}

detail::Binding TypeInfo::BindingOf(const MemberInfo& member) const {
  return bindings_.at(static_cast<std::size_t>(&member - members_.data()));
}

}  // namespace talvane::component
