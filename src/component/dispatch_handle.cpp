#include "component/dispatch_handle.hpp"

namespace talvane::component::detail {

std::atomic<std::size_t> DispatchHandle::live_{0};

DispatchHandle::DispatchHandle(ObjectRef object_, const TypeInfo& interface_, const ClassInfo* classInfo_) noexcept
    : object(std::move(object_)), interface(&interface_), classInfo(classInfo_) {
  live_.fetch_add(1, std::memory_order_relaxed);
}

DispatchHandle::~DispatchHandle() { live_.fetch_sub(1, std::memory_order_relaxed); }

std::size_t DispatchHandle::Live() noexcept { return live_.load(std::memory_order_relaxed); }

}  // namespace talvane::component::detail
