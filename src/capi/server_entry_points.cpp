// The in-process server's entry points through the C interface.
#include "capi/capi_internal.hpp"

#include <string>

#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/server.hpp"
#include "talvane/foundation/error.hpp"

using talvane::capi::Guard;
using talvane::capi::RequireNonNull;
namespace component = talvane::component;

extern "C" {

talvane_status talvane_get_class_object(const char* clsid, talvane_factory** out) {
  return Guard([&] {
    RequireNonNull(out, "out");
    *out = nullptr;
    RequireNonNull(clsid, "clsid");
    const auto id = component::Guid::Parse(clsid);
    if (!id) {
      throw talvane::Error(component::kErrInvalidArgument, component::kServerSource,
                           std::string("Not a braced class identifier: ") + clsid);
    }
    *out = new talvane_factory(component::Server::GetClassObject(*id));
  });
}

talvane_status talvane_factory_create_instance(talvane_factory* factory, const char* iid, talvane_object** out) {
  return Guard([&] {
    RequireNonNull(out, "out");
    *out = nullptr;
    RequireNonNull(factory, "factory");
    *out = talvane::capi::NewObject(iid ? factory->factory.CreateInstance(talvane::capi::InterfaceIdOf(iid))
                                        : factory->factory.CreateInstance());
  });
}

talvane_status talvane_factory_lock_server(talvane_factory* factory, int32_t lock) {
  return Guard([&] {
    RequireNonNull(factory, "factory");
    factory->factory.LockServer(lock != 0);
  });
}

void talvane_factory_release(talvane_factory* factory) { delete factory; }

talvane_status talvane_can_unload_now(void) { return component::Server::CanUnloadNow() ? TALVANE_OK : TALVANE_FALSE; }

int32_t talvane_live_objects(void) { return static_cast<int32_t>(component::Server::LiveObjects()); }

talvane_status talvane_register_server(void) {
  return Guard([] { component::Server::RegisterServer(); });
}

talvane_status talvane_unregister_server(void) {
  return Guard([] { component::Server::UnregisterServer(); });
}

}  // extern "C"
