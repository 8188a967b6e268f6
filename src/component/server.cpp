#include "talvane/component/server.hpp"

#include <atomic>
#include <string>

#include "component/server_locks.hpp"
#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/dispatch_object.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::component {

namespace detail {
namespace {
std::atomic<std::size_t> locks{0};
}  // namespace

void AddServerLock() noexcept { locks.fetch_add(1); }

void ReleaseServerLock() noexcept {
  // An unlock without a lock is ignored rather than wrapping the count around.
  std::size_t current = locks.load();
  while (current > 0 && !locks.compare_exchange_weak(current, current - 1)) {
  }
}

std::size_t ServerLockCount() noexcept { return locks.load(); }
}  // namespace detail

ClassFactory Server::GetClassObject(const Guid& clsid) {
  const ClassInfo* info = ClassRegistry::FindById(clsid);
  if (!info) {
    throw Error(kErrClassNotAvailable, kServerSource, "No class has the identifier " + clsid.ToString());
  }
  return ClassFactory(*info);
}

bool Server::CanUnloadNow() noexcept { return LiveObjects() == 0 && Locks() == 0; }

std::size_t Server::LiveObjects() noexcept { return DispatchObject::LiveHandles(); }

std::size_t Server::Locks() noexcept { return detail::ServerLockCount(); }

}  // namespace talvane::component
