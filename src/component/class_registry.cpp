#include "talvane/component/class_registry.hpp"

#include <algorithm>
#include <string>

#include "component/interfaces.hpp"
#include "component/object_ref.hpp"
#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/identities.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::component {

namespace {

template <class T>
DispatchObject CreateObject() {
  return DispatchObject::Wrap(T::Create());
}

std::vector<ClassInfo> BuildClasses() {
  using namespace detail;
  const TypeInfo* node = &INodeInterface();
  return {
      {"Exception", "Talvane.Exception", kClsidException, {&ExceptionInterface()}, &CreateObject<Exception>},
      {"INode", "Talvane.INode", kClsidINode, {node}, &CreateObject<INode>},
      {"Item", "Talvane.Item", kClsidItem, {&ItemInterface(), node}, &CreateObject<Item>},
      {"Section", "Talvane.Section", kClsidSection, {&SectionInterface(), node}, &CreateObject<Section>},
      {"Formula", "Talvane.Formula", kClsidFormula, {&FormulaInterface(), node}, &CreateObject<Formula>},
      {"FormulaList", "Talvane.FormulaList", kClsidFormulaList, {&FormulaListInterface()},
       &CreateObject<FormulaList>},
      {"FieldList", "Talvane.FieldList", kClsidFieldList, {&FieldListInterface()}, &CreateObject<FieldList>},
      {"Field", "Talvane.Field", kClsidField, {&FieldInterface()}, &CreateObject<Field>},
  };
}

}  // namespace

bool ClassInfo::Exposes(const Guid& iid) const {
  return std::ranges::any_of(interfaces, [&](const TypeInfo* t) { return t->Id() == iid; });
}

std::span<const ClassInfo> ClassRegistry::Classes() {
  static const std::vector<ClassInfo> classes = BuildClasses();
  return classes;
}

const ClassInfo* ClassRegistry::FindByName(std::string_view progId) {
  for (const ClassInfo& c : Classes()) {
    if (EqualsIgnoreCase(c.progId, progId)) return &c;
  }
  return nullptr;
}

const ClassInfo* ClassRegistry::FindById(const Guid& clsid) {
  for (const ClassInfo& c : Classes()) {
    if (c.clsid == clsid) return &c;
  }
  return nullptr;
}

const ClassInfo* ClassRegistry::Find(std::string_view nameOrId) {
  if (const auto id = Guid::Parse(nameOrId)) return FindById(*id);
  return FindByName(nameOrId);
}

DispatchObject ClassRegistry::Create(std::string_view nameOrId) {
  const ClassInfo* info = Find(nameOrId);
  if (!info) {
    throw Error(kErrClassNotRegistered, kServerSource, "No class is registered as " + std::string(nameOrId));
  }
  return info->create();
}

}  // namespace talvane::component
