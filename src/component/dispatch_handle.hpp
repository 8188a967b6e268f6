#pragma once
// What a DispatchObject holds: the object, the interface it is called through and its class.
// Every handle alive is counted; the server reports the count.
#include <atomic>
#include <cstddef>
#include <string_view>

#include "component/object_ref.hpp"
#include "talvane/component/class_registry.hpp"
#include "talvane/component/type_info.hpp"

namespace talvane::component::detail {

struct DispatchHandle {
  DispatchHandle(ObjectRef object, const TypeInfo& interface, const ClassInfo* classInfo) noexcept;
  ~DispatchHandle();
  DispatchHandle(const DispatchHandle&) = delete;
  DispatchHandle& operator=(const DispatchHandle&) = delete;

  static std::size_t Live() noexcept;

  ObjectRef object;
  const TypeInfo* interface;
  // Null for the connection, which is not one of the creatable classes.
  const ClassInfo* classInfo;

 private:
  static std::atomic<std::size_t> live_;
};

}  // namespace talvane::component::detail
