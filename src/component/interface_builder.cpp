#include "component/interface_builder.hpp"

#include <map>
#include <stdexcept>
#include <string>

#include "talvane/foundation/clean_text.hpp"

namespace talvane::component::detail {

namespace {

bool IsWrite(MemberKind kind) { return kind == MemberKind::kPropertyPut || kind == MemberKind::kPropertyPutRef; }

void Check(bool condition, std::string_view interface, std::string_view member, const char* what) {
  if (!condition) {
    throw std::logic_error(std::string(interface) + "." + std::string(member) + ": " + what);
  }
}

ParamInfo DescribeParam(const ParamDecl& decl, const ParamType& type) {
  ParamInfo info;
  info.name = decl.name;
  info.typeName = type.description.name;
  info.type = type.description.type;
  info.byRef = decl.byRef || type.writesBack;
  info.optional = decl.optional;
  if (decl.defaultValue) info.defaultValue = Variant(*decl.defaultValue);
  return info;
}

MemberInfo DescribeMember(std::string_view interface, const MemberRow& row, int32_t dispid) {
  Check(row.params.size() == row.binding.params.size(), interface, row.name,
        "parameter names do not match the binding");
  Check(!IsWrite(row.kind) || !row.params.empty(), interface, row.name, "a write needs its value parameter");
  MemberInfo info;
  info.name = row.name;
  info.dispid = dispid;
  info.kind = row.kind;
  for (std::size_t i = 0; i < row.params.size(); ++i) {
    info.params.push_back(DescribeParam(row.params[i], row.binding.params[i]));
  }
  if (!IsWrite(row.kind)) {
    info.resultTypeName = row.resultTypeName.empty() ? row.binding.result.name : row.resultTypeName;
    info.resultType = row.binding.result.type;
  }
  return info;
}

}  // namespace

TypeInfo InterfaceBuilder::Build(std::string_view name, const Guid& iid, std::string_view defaultMember,
                                 const std::vector<MemberRow>& rows) {
  std::map<std::string, int32_t> ids;  // upper-cased name -> identifier
  int32_t next = 1;
  std::vector<MemberInfo> members;
  std::vector<Binding> bindings;
  for (const MemberRow& row : rows) {
    const std::string key = UpperAscii(row.name);
    auto [it, added] = ids.try_emplace(key, 0);
    if (added) it->second = EqualsIgnoreCase(row.name, defaultMember) ? 0 : next++;
    for (const MemberInfo& earlier : members) {
      Check(earlier.dispid != it->second || earlier.kind != row.kind, name, row.name, "member half listed twice");
    }
    members.push_back(DescribeMember(name, row, it->second));
    bindings.push_back(row.binding.call);
  }
  Check(defaultMember.empty() || ids.contains(UpperAscii(defaultMember)), name, defaultMember,
        "default member missing");
  return TypeInfo(name, iid, std::move(members), std::move(bindings));
}

}  // namespace talvane::component::detail
