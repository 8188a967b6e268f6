#pragma once
// The creatable classes, found by host-visible name (Talvane.Formula) or by class identifier.
// There is no system registry: the table lives in the library.
#include <span>
#include <string_view>
#include <vector>

#include "talvane/component/dispatch_object.hpp"
#include "talvane/component/guid.hpp"

namespace talvane::component {

class TypeInfo;

/// One creatable class: its names, its class identifier, its interfaces and how to create it.
struct ClassInfo {
  /// The class name, e.g. "Formula".
  std::string_view name;    // "Formula"
  /// The host-visible name, e.g. "Talvane.Formula".
  std::string_view progId;  // "Talvane.Formula"
  /// The class identifier.
  Guid clsid;
  /// The default interface first, then any other interface the class exposes (_INode).
  std::vector<const TypeInfo*> interfaces;
  /// Creates an object of the class through its default interface.
  DispatchObject (*create)();

  /// The interface a new object is reached through.
  const TypeInfo& DefaultInterface() const { return *interfaces.front(); }
  /// Whether the class exposes the interface @p iid.
  bool Exposes(const Guid& iid) const;
};

/// The table of creatable classes, searched by host-visible name or by class identifier.
class ClassRegistry {
 public:
  /// Every creatable class.
  static std::span<const ClassInfo> Classes();
  /// Host-visible name, letter case ignored.
  static const ClassInfo* FindByName(std::string_view progId);
  /// The class of that identifier, or null.
  static const ClassInfo* FindById(const Guid& clsid);
  /// A host-visible name or braced class identifier text.
  static const ClassInfo* Find(std::string_view nameOrId);
  /// Raises kErrClassNotRegistered for a name or identifier that names no class.
  static DispatchObject Create(std::string_view nameOrId);
};

}  // namespace talvane::component
