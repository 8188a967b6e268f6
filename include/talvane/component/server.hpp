#pragma once
// The entry points of the in-process server, in their form for a platform without a component
// registry: class factories by class identifier, whether the library can be unloaded, and
// registration, which succeeds and changes nothing.
#include <cstddef>

#include "talvane/component/class_factory.hpp"
#include "talvane/component/guid.hpp"

namespace talvane::component {

/// The entry points of the in-process server (see the top of this file).
class Server {
 public:
  /// Raises kErrClassNotAvailable for an identifier that names no class.
  static ClassFactory GetClassObject(const Guid& clsid);
  /// True when no object handle is alive and no factory holds a lock.
  static bool CanUnloadNow() noexcept;
  /// @{
  /// Registration: succeeds and changes nothing, there being no registry to write to.
  static void RegisterServer() noexcept {}
  static void UnregisterServer() noexcept {}
  /// @}

  /// The object handles alive in the process.
  static std::size_t LiveObjects() noexcept;
  /// The locks the class factories hold (LockServer).
  static std::size_t Locks() noexcept;
};

}  // namespace talvane::component
