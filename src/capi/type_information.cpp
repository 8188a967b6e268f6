// Type information through the C interface.
#include "capi/capi_internal.hpp"

#include <string>

#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/component/type_library.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::capi {

namespace {

// Every name of the type information is a literal of the library; an absent one reads as "".
const char* Text(std::string_view literal) { return literal.empty() ? "" : literal.data(); }

const component::MemberInfo& MemberAt(const talvane_object* object, int32_t index) {
  const auto members = ObjectOf(object).Interface().Members();
  if (index < 0 || static_cast<std::size_t>(index) >= members.size()) {
    throw Error(component::kErrInvalidArgument, "Talvane", "Member index out of range");
  }
  return members[static_cast<std::size_t>(index)];
}

}  // namespace

}  // namespace talvane::capi

using talvane::capi::Guard;
using talvane::capi::ObjectOf;
using talvane::capi::RequireNonNull;
namespace component = talvane::component;

extern "C" {

void talvane_library(talvane_library_info* out) {
  if (!out) return;
  static const std::string id = component::TypeLibrary::Id().ToString();
  out->name = talvane::capi::Text(component::TypeLibrary::Name());
  out->description = talvane::capi::Text(component::TypeLibrary::Description());
  out->major_version = component::TypeLibrary::MajorVersion();
  out->minor_version = component::TypeLibrary::MinorVersion();
  out->locale = component::TypeLibrary::Locale();
  out->id = id.c_str();
}

talvane_status talvane_interface_of(const talvane_object* object, const char** name, const char** iid) {
  return Guard([&] {
    const component::TypeInfo& interface = ObjectOf(object).Interface();
    if (name) *name = talvane::capi::Text(interface.Name());
    if (iid) *iid = interface.IdText().c_str();
  });
}

talvane_status talvane_member_count(const talvane_object* object, int32_t* count) {
  return Guard([&] {
    RequireNonNull(count, "count");
    *count = static_cast<int32_t>(ObjectOf(object).Interface().Members().size());
  });
}

talvane_status talvane_member(const talvane_object* object, int32_t index, talvane_member_info* out) {
  return Guard([&] {
    RequireNonNull(out, "out");
    const component::MemberInfo& member = talvane::capi::MemberAt(object, index);
    out->name = talvane::capi::Text(member.name);
    out->dispid = member.dispid;
    out->kind = static_cast<int32_t>(member.kind);
    out->param_count = static_cast<int32_t>(member.params.size());
    out->result_type = talvane::capi::Text(member.resultTypeName);
  });
}

talvane_status talvane_param(const talvane_object* object, int32_t member, int32_t index, talvane_param_info* out) {
  return Guard([&] {
    RequireNonNull(out, "out");
    const component::MemberInfo& info = talvane::capi::MemberAt(object, member);
    if (index < 0 || static_cast<std::size_t>(index) >= info.params.size()) {
      throw talvane::Error(component::kErrInvalidArgument, "Talvane", "Parameter index out of range");
    }
    const component::ParamInfo& param = info.params[static_cast<std::size_t>(index)];
    out->name = talvane::capi::Text(param.name);
    out->type_name = talvane::capi::Text(param.typeName);
    out->by_ref = param.byRef ? 1 : 0;
    out->optional = param.optional ? 1 : 0;
    out->has_default = param.defaultValue.IsEmpty() ? 0 : 1;
    out->default_value = param.defaultValue.IsEmpty() ? 0 : param.defaultValue.ToInt32();
  });
}

talvane_status talvane_constant(const char* name, int32_t* value) {
  return Guard([&] {
    RequireNonNull(name, "name");
    RequireNonNull(value, "value");
    const auto constant = component::TypeLibrary::ConstantValue(name);
    if (!constant) {
      throw talvane::Error(component::kErrUnknownName, component::kDispatchSource,
                           std::string("No published constant is named ") + name);
    }
    *value = *constant;
  });
}

}  // extern "C"
