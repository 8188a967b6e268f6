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

struct ClassInfo {
  std::string_view name;    // "Formula"
  std::string_view progId;  // "Talvane.Formula"
  Guid clsid;
  /// The default interface first, then any other interface the class exposes (_INode).
  std::vector<const TypeInfo*> interfaces;
  DispatchObject (*create)();

  const TypeInfo& DefaultInterface() const { return *interfaces.front(); }
  bool Exposes(const Guid& iid) const;
};

class ClassRegistry {
 public:
  static std::span<const ClassInfo> Classes();
  /// Host-visible name, letter case ignored.
  static const ClassInfo* FindByName(std::string_view progId);
  static const ClassInfo* FindById(const Guid& clsid);
  /// A host-visible name or braced class identifier text.
  static const ClassInfo* Find(std::string_view nameOrId);
  /// Raises kErrClassNotRegistered for a name or identifier that names no class.
  static DispatchObject Create(std::string_view nameOrId);
};

}  // namespace talvane::component
