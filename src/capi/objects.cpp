// Objects of the C interface: creation, reference counting, interfaces and late-bound calls.
#include "capi/capi_internal.hpp"

#include <string>
#include <vector>

#include "talvane/component/class_registry.hpp"
#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/component/type_library.hpp"
#include "talvane/db/sqlite_connection.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::capi {

namespace {

std::vector<component::Variant> ArgumentsFromC(const talvane_variant* args, int32_t argc) {
  if (argc < 0) throw Error(component::kErrInvalidArgument, "Talvane", "Negative argument count");
  if (argc > 0) RequireNonNull(args, "args");
  std::vector<component::Variant> converted;
  converted.reserve(static_cast<std::size_t>(argc));
  for (int32_t i = 0; i < argc; ++i) converted.push_back(FromC(args[i]));
  return converted;
}

// Copies back the arguments a call changed (by-reference arguments); the others stay untouched.
void WriteBackArguments(const std::vector<component::Variant>& before, const std::vector<component::Variant>& after,
                        talvane_variant* args) {
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (!(after[i] == before[i])) ToC(after[i], &args[i]);
  }
}

template <class Call>
void InvokeWithWriteBack(talvane_variant* args, int32_t argc, talvane_variant* result, Call call) {
  std::vector<component::Variant> converted = ArgumentsFromC(args, argc);
  const std::vector<component::Variant> before = converted;
  component::Variant value;
  try {
    value = call(std::span<component::Variant>(converted));
  } catch (...) {
    WriteBackArguments(before, converted, args);
    throw;
  }
  WriteBackArguments(before, converted, args);
  if (result) ToC(value, result);
}

}  // namespace

component::Guid InterfaceIdOf(const char* iidOrName) {
  RequireNonNull(iidOrName, "iid");
  if (const auto id = component::Guid::Parse(iidOrName)) return *id;
  if (const auto* interface = component::TypeLibrary::FindInterface(iidOrName)) return interface->Id();
  throw Error(component::kErrNoInterface, component::kDispatchSource,
              std::string("No interface is named ") + iidOrName);
}

}  // namespace talvane::capi

using talvane::capi::Guard;
using talvane::capi::ObjectOf;
using talvane::capi::RequireNonNull;
namespace component = talvane::component;

extern "C" {

talvane_status talvane_create(const char* name_or_clsid, talvane_object** out) {
  return Guard([&] {
    RequireNonNull(out, "out");
    *out = nullptr;
    RequireNonNull(name_or_clsid, "name_or_clsid");
    *out = talvane::capi::NewObject(component::ClassRegistry::Create(name_or_clsid));
  });
}

talvane_status talvane_open_sqlite(const char* connection_string, talvane_object** out) {
  return Guard([&] {
    RequireNonNull(out, "out");
    *out = nullptr;
    RequireNonNull(connection_string, "connection_string");
    std::shared_ptr<talvane::db::Connection> connection = talvane::db::SqliteConnection::Create(connection_string);
    *out = talvane::capi::NewObject(component::DispatchObject::Wrap(connection));
  });
}

void talvane_addref(talvane_object* object) {
  if (object) object->references.fetch_add(1, std::memory_order_relaxed);
}

void talvane_release(talvane_object* object) {
  if (object && object->references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete object;
}

int32_t talvane_is_same_object(const talvane_object* a, const talvane_object* b) {
  const component::DispatchObject nothing;
  return (a ? a->object : nothing).IsSameObject(b ? b->object : nothing) ? 1 : 0;
}

const char* talvane_class_name(const talvane_object* object) {
  // Class names are literals of the library, so their text is terminated.
  return object ? object->object.ClassName().data() : nullptr;
}

talvane_status talvane_query_interface(talvane_object* object, const char* iid_or_name, talvane_object** out) {
  return Guard([&] {
    RequireNonNull(out, "out");
    *out = nullptr;
    const auto& self = ObjectOf(object);
    *out = talvane::capi::NewObject(self.QueryInterface(talvane::capi::InterfaceIdOf(iid_or_name)));
  });
}

talvane_status talvane_invoke(talvane_object* object, const char* name, int32_t flags, talvane_variant* args,
                              int32_t argc, talvane_variant* result) {
  return Guard([&] {
    const auto& self = ObjectOf(object);
    talvane::capi::InvokeWithWriteBack(args, argc, result, [&](std::span<component::Variant> converted) {
      if (!name || !*name) return self.Invoke(0, static_cast<uint16_t>(flags), converted);
      return self.Invoke(name, static_cast<uint16_t>(flags), converted);
    });
  });
}

talvane_status talvane_invoke_id(talvane_object* object, int32_t dispid, int32_t flags, talvane_variant* args,
                                 int32_t argc, talvane_variant* result) {
  return Guard([&] {
    const auto& self = ObjectOf(object);
    talvane::capi::InvokeWithWriteBack(args, argc, result, [&](std::span<component::Variant> converted) {
      return self.Invoke(dispid, static_cast<uint16_t>(flags), converted);
    });
  });
}

talvane_status talvane_id_of_name(const talvane_object* object, const char* name, int32_t* dispid) {
  return Guard([&] {
    RequireNonNull(dispid, "dispid");
    RequireNonNull(name, "name");
    const auto& self = ObjectOf(object);
    const auto id = self.IdOfName(name);
    if (!id) {
      throw talvane::Error(component::kErrUnknownName, component::kDispatchSource,
                           std::string(self.Interface().Name()) + " has no member named " + name);
    }
    *dispid = *id;
  });
}

}  // extern "C"
