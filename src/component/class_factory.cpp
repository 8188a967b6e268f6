#include "talvane/component/class_factory.hpp"

#include "component/server_locks.hpp"

namespace talvane::component {

DispatchObject ClassFactory::CreateInstance() const { return class_->create(); }

DispatchObject ClassFactory::CreateInstance(const Guid& iid) const { return CreateInstance().QueryInterface(iid); }

void ClassFactory::LockServer(bool lock) const {
  if (lock) {
    detail::AddServerLock();
  } else {
    detail::ReleaseServerLock();
  }
}

}  // namespace talvane::component
