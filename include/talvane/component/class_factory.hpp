#pragma once
// Creates the objects of one class, as the in-process server hands it out for a class identifier.
#include "talvane/component/class_registry.hpp"
#include "talvane/component/dispatch_object.hpp"
#include "talvane/component/guid.hpp"

namespace talvane::component {

/// Creates the objects of one class, as the in-process server hands it out for a class identifier.
class ClassFactory {
 public:
  /// The factory of the class @p info describes.
  explicit ClassFactory(const ClassInfo& info) noexcept : class_(&info) {}

  /// The class it creates.
  const ClassInfo& Class() const noexcept { return *class_; }
  /// A new object through its default interface.
  DispatchObject CreateInstance() const;
  /// A new object through the interface `iid`; kErrNoInterface when the class does not expose it.
  DispatchObject CreateInstance(const Guid& iid) const;
  /// While locked the library reports that it cannot be unloaded.
  void LockServer(bool lock) const;

 private:
  const ClassInfo* class_;
};

}  // namespace talvane::component
