#include "talvane/component/dispatch_object.hpp"

#include <string>
#include <vector>

#include "component/call_frame.hpp"
#include "component/dispatch_handle.hpp"
#include "component/interfaces.hpp"
#include "talvane/component/class_registry.hpp"
#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/identities.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::component {

namespace {

const Guid& NodeClassId(const INode& node) {
  if (dynamic_cast<const Formula*>(&node)) return kClsidFormula;
  if (dynamic_cast<const Section*>(&node)) return kClsidSection;
  if (dynamic_cast<const Item*>(&node)) return kClsidItem;
  return kClsidINode;
}

std::shared_ptr<const detail::DispatchHandle> NewHandle(detail::ObjectRef object, const Guid& clsid) {
  const ClassInfo* info = ClassRegistry::FindById(clsid);
  return std::make_shared<const detail::DispatchHandle>(std::move(object), info->DefaultInterface(), info);
}

bool IsRead(uint16_t flags) { return flags == 0 || (flags & (kInvokeMethod | kInvokePropertyGet)) != 0; }

std::string MemberName(const TypeInfo& interface, std::string_view member) {
  return std::string(interface.Name()) + "." + std::string(member);
}

// The member half a call asks for. Reading and calling are one request; a write takes the write
// half and falls back on the assign half (and the other way round).
const MemberInfo& Resolve(const TypeInfo& interface, int32_t dispid, uint16_t flags) {
  const bool read = IsRead(flags);
  const MemberKind preferred = read ? MemberKind::kPropertyGet
                               : (flags & kInvokePropertyPutRef) ? MemberKind::kPropertyPutRef
                                                                  : MemberKind::kPropertyPut;
  const MemberKind fallback = read ? MemberKind::kMethod
                              : preferred == MemberKind::kPropertyPut ? MemberKind::kPropertyPutRef
                                                                      : MemberKind::kPropertyPut;
  if (const MemberInfo* m = interface.Find(dispid, preferred)) return *m;
  if (const MemberInfo* m = interface.Find(dispid, fallback)) return *m;
  for (const MemberInfo& m : interface.Members()) {
    if (m.dispid == dispid) {
      throw Error(kErrMemberNotFound, kDispatchSource,
                  MemberName(interface, m.name) + (read ? " cannot be read or called" : " cannot be written"));
    }
  }
  throw Error(kErrMemberNotFound, kDispatchSource,
              std::string(interface.Name()) + " has no member with dispatch identifier " + std::to_string(dispid));
}

void CheckArgumentCount(const TypeInfo& interface, const MemberInfo& member, std::size_t given) {
  const std::size_t most = member.params.size();
  const std::size_t least = member.RequiredParams();
  if (given >= least && given <= most) return;
  std::string message = "Wrong number of arguments for " + MemberName(interface, member.name) + ": it takes ";
  message += std::to_string(least);
  if (most != least) message += " to " + std::to_string(most);
  message += ", " + std::to_string(given) + " given";
  throw Error(kErrBadParamCount, kDispatchSource, message);
}

}  // namespace

DispatchObject DispatchObject::Wrap(const std::shared_ptr<INode>& object) {
  if (!object) return {};
  return DispatchObject(NewHandle(object, NodeClassId(*object)));
}
DispatchObject DispatchObject::Wrap(const std::shared_ptr<FormulaList>& object) {
  return object ? DispatchObject(NewHandle(object, kClsidFormulaList)) : DispatchObject();
}
DispatchObject DispatchObject::Wrap(const std::shared_ptr<FieldList>& object) {
  return object ? DispatchObject(NewHandle(object, kClsidFieldList)) : DispatchObject();
}
DispatchObject DispatchObject::Wrap(const std::shared_ptr<Field>& object) {
  return object ? DispatchObject(NewHandle(object, kClsidField)) : DispatchObject();
}
DispatchObject DispatchObject::Wrap(const std::shared_ptr<Exception>& object) {
  return object ? DispatchObject(NewHandle(object, kClsidException)) : DispatchObject();
}
DispatchObject DispatchObject::Wrap(const std::shared_ptr<db::Connection>& object) {
  if (!object) return {};
  return DispatchObject(
      std::make_shared<const detail::DispatchHandle>(object, detail::ConnectionInterface(), nullptr));
}

const detail::DispatchHandle& DispatchObject::Handle() const {
  if (!handle_) throw Error(kErrObjectNotSet, kDispatchSource, "Object variable not set: the object is Nothing");
  return *handle_;
}

const TypeInfo& DispatchObject::Interface() const { return *Handle().interface; }

std::string_view DispatchObject::ClassName() const {
  const auto& handle = Handle();
  return handle.classInfo ? handle.classInfo->name : std::string_view("Connection");
}

DispatchObject DispatchObject::QueryInterface(const Guid& iid) const {
  const auto& handle = Handle();
  if (handle.interface->Id() == iid) return *this;
  if (handle.classInfo && handle.classInfo->Exposes(iid)) {
    for (const TypeInfo* interface : handle.classInfo->interfaces) {
      if (interface->Id() == iid) {
        return DispatchObject(
            std::make_shared<const detail::DispatchHandle>(handle.object, *interface, handle.classInfo));
      }
    }
  }
  throw Error(kErrNoInterface, kDispatchSource,
              "Class " + std::string(ClassName()) + " does not expose the interface " + iid.ToString());
}

bool DispatchObject::IsSameObject(const DispatchObject& other) const noexcept {
  if (!handle_ || !other.handle_) return !handle_ && !other.handle_;
  return detail::IdentityOf(handle_->object) == detail::IdentityOf(other.handle_->object);
}

std::optional<int32_t> DispatchObject::IdOfName(std::string_view name) const { return Interface().IdOfName(name); }

Variant DispatchObject::Invoke(std::string_view name, uint16_t flags, std::span<Variant> args) const {
  const TypeInfo& interface = Interface();
  const auto dispid = interface.IdOfName(name);
  if (!dispid) {
    throw Error(kErrUnknownName, kDispatchSource,
                std::string(interface.Name()) + " has no member named " + std::string(name));
  }
  return Invoke(*dispid, flags, args);
}

Variant DispatchObject::Invoke(int32_t dispid, uint16_t flags, std::span<Variant> args) const {
  // Held for the whole call: a written-back argument may drop the caller's last copy of this handle.
  const auto handle = handle_;
  const TypeInfo& interface = Interface();
  const MemberInfo& member = Resolve(interface, dispid, flags);
  CheckArgumentCount(interface, member, args.size());
  detail::CallFrame frame{handle->object, interface, member, args};
  return interface.BindingOf(member)(frame);
}

Variant DispatchObject::Call(std::string_view name, std::initializer_list<Variant> args) const {
  std::vector<Variant> copy(args);
  return Invoke(name, kInvokeMethod | kInvokePropertyGet, copy);
}

void DispatchObject::Put(std::string_view name, std::initializer_list<Variant> args) const {
  std::vector<Variant> copy(args);
  Invoke(name, kInvokePropertyPut, copy);
}

template <class T>
std::shared_ptr<T> DispatchObject::As() const {
  return handle_ ? detail::ShareAs<T>(handle_->object) : nullptr;
}

template std::shared_ptr<INode> DispatchObject::As<INode>() const;
template std::shared_ptr<Item> DispatchObject::As<Item>() const;
template std::shared_ptr<Section> DispatchObject::As<Section>() const;
template std::shared_ptr<Formula> DispatchObject::As<Formula>() const;
template std::shared_ptr<FormulaList> DispatchObject::As<FormulaList>() const;
template std::shared_ptr<FieldList> DispatchObject::As<FieldList>() const;
template std::shared_ptr<Field> DispatchObject::As<Field>() const;
template std::shared_ptr<Exception> DispatchObject::As<Exception>() const;
template std::shared_ptr<db::Connection> DispatchObject::As<db::Connection>() const;

std::size_t DispatchObject::LiveHandles() noexcept { return detail::DispatchHandle::Live(); }

}  // namespace talvane::component
