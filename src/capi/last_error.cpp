// The per-thread last error and the boundary guard of the C interface.
#include "capi/capi_internal.hpp"

#include <exception>
#include <new>
#include <string>

#include "talvane/component/dispatch_error.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::capi {

namespace {

struct LastError {
  int32_t number = 0;
  std::string source;
  std::string description;
};

thread_local LastError lastError;

constexpr std::string_view kBoundarySource = "Talvane";

}  // namespace

talvane_status RecordError(int32_t number, std::string_view source, std::string_view description) noexcept {
  lastError.number = number;
  try {
    lastError.source.assign(source);
    lastError.description.assign(description);
  } catch (...) {
    lastError.source.clear();
    lastError.description.clear();
  }
  return (number == TALVANE_OK || number == TALVANE_FALSE) ? component::kErrUnexpected : number;
}

void ClearError() noexcept {
  lastError.number = 0;
  lastError.source.clear();
  lastError.description.clear();
}

talvane_status RecordCurrentException() noexcept {
  try {
    throw;
  } catch (const Error& e) {
    return RecordError(e.Number(), e.Source(), e.Description());
  } catch (const std::bad_alloc&) {
    return RecordError(component::kErrOutOfMemory, kBoundarySource, "Out of memory");
  } catch (const std::exception& e) {
    return RecordError(component::kErrUnexpected, kBoundarySource, e.what());
  } catch (...) {
    return RecordError(component::kErrUnexpected, kBoundarySource, "Unexpected failure");
  }
}

void RequireNonNull(const void* pointer, const char* parameter) {
  if (!pointer) {
    throw Error(component::kErrInvalidArgument, kBoundarySource, std::string("Null pointer for ") + parameter);
  }
}

const component::DispatchObject& ObjectOf(const talvane_object* object) {
  RequireNonNull(object, "object");
  return object->object;
}

}  // namespace talvane::capi

extern "C" {

int32_t talvane_last_error_number(void) { return talvane::capi::lastError.number; }
const char* talvane_last_error_source(void) { return talvane::capi::lastError.source.c_str(); }
const char* talvane_last_error_description(void) { return talvane::capi::lastError.description.c_str(); }

}  // extern "C"
