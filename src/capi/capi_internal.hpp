#pragma once
// Shared pieces of the C interface: the object and factory handles, the per-thread last error, the
// boundary guard that turns every exception into a status, and variant conversion.
#include <atomic>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "talvane/component/class_factory.hpp"
#include "talvane/component/dispatch_object.hpp"
#include "talvane/component/variant.hpp"
#include "talvane/talvane_c.h"

struct talvane_object {
  explicit talvane_object(talvane::component::DispatchObject o) : object(std::move(o)) {}
  std::atomic<int32_t> references{1};
  talvane::component::DispatchObject object;
};

struct talvane_factory {
  explicit talvane_factory(talvane::component::ClassFactory f) : factory(f) {}
  talvane::component::ClassFactory factory;
};

namespace talvane::capi {

// Records a failure for the calling thread and returns the status to report: the error number, or
// kErrUnexpected when the number would read as success.
talvane_status RecordError(int32_t number, std::string_view source, std::string_view description) noexcept;
void ClearError() noexcept;
// Records the exception being handled; called only from a catch block.
talvane_status RecordCurrentException() noexcept;

// Runs `body`, catching everything: success clears the thread's last error, a failure records it.
template <class F>
talvane_status Guard(F&& body) noexcept {
  try {
    body();
    ClearError();
    return TALVANE_OK;
  } catch (...) {
    return RecordCurrentException();
  }
}

// Raises kErrInvalidArgument naming the parameter when the pointer is null.
void RequireNonNull(const void* pointer, const char* parameter);
const talvane::component::DispatchObject& ObjectOf(const talvane_object* object);

talvane::component::Variant FromC(const talvane_variant& v);
// Clears `out` and stores the value; `out` is left as it was when this fails.
void ToC(const talvane::component::Variant& value, talvane_variant* out);
// A new handle holding one reference, or null for Nothing.
talvane_object* NewObject(talvane::component::DispatchObject object);
// An interface identifier from braced text or an interface name ("_INode").
talvane::component::Guid InterfaceIdOf(const char* iidOrName);

}  // namespace talvane::capi
