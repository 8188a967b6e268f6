#pragma once
// A late-bound handle to any object of the library (the database connection included): members are
// invoked by name or by dispatch identifier with variant arguments, as a dispatch host calls them.
// Copies share one handle; the library can be unloaded once no handle is alive.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "talvane/component/guid.hpp"
#include "talvane/fwd.hpp"

namespace talvane::component {

class Variant;
class TypeInfo;
namespace detail {
struct DispatchHandle;
}  // namespace detail

/// What a call asks for; the values of the platform's dispatch flags. Reading and calling are one
/// request (a host reads Count with either); writing takes the write half, or the assign half of a
/// member that has only that, and the other way round.
enum InvokeFlags : uint16_t {
  kInvokeMethod = 1,
  kInvokePropertyGet = 2,
  kInvokePropertyPut = 4,
  kInvokePropertyPutRef = 8,
};

/// A late-bound handle to an object of the library (see the top of this file).
class DispatchObject {
 public:
  /// Nothing: an empty object reference.
  DispatchObject() noexcept = default;

  /// Node objects expose their own class (Item, Section, Formula or INode), found from the object.
  static DispatchObject Wrap(const std::shared_ptr<INode>& object);
  /// @{
  /// A handle on a library object, through its class's default interface.
  static DispatchObject Wrap(const std::shared_ptr<FormulaList>& object);
  static DispatchObject Wrap(const std::shared_ptr<FieldList>& object);
  static DispatchObject Wrap(const std::shared_ptr<Field>& object);
  static DispatchObject Wrap(const std::shared_ptr<Exception>& object);
  static DispatchObject Wrap(const std::shared_ptr<db::Connection>& object);
  /// @}

  /// Whether the handle is Nothing (no object).
  bool IsNothing() const noexcept { return handle_ == nullptr; }
  /// Whether the handle holds an object.
  explicit operator bool() const noexcept { return !IsNothing(); }

  /// The interface this handle calls through (the class's default interface unless queried).
  const TypeInfo& Interface() const;
  /// The object's class name: "Exception", "Formula", ..., or "Connection".
  std::string_view ClassName() const;
  /// A handle on the same object through another interface the class exposes (_INode of a node).
  DispatchObject QueryInterface(const Guid& iid) const;
  /// Whether both handles reach the same object, through whatever interface.
  bool IsSameObject(const DispatchObject& other) const noexcept;

  /// The dispatch identifier of a member name, compared without regard to letter case.
  std::optional<int32_t> IdOfName(std::string_view name) const;

  /// Arguments in call order; a write takes the new value as its last argument. Arguments passed by
  /// reference are written back into `args`, also when the member raises an error.
  Variant Invoke(std::string_view name, uint16_t flags, std::span<Variant> args) const;
  /// The same call, by dispatch identifier.
  Variant Invoke(int32_t dispid, uint16_t flags, std::span<Variant> args) const;

  /// Shorthands without write-back: read or call a member, and write one (value last).
  Variant Call(std::string_view name, std::initializer_list<Variant> args = {}) const;
  /// Writes a property (its new value last).
  void Put(std::string_view name, std::initializer_list<Variant> args) const;

  /// The object for early-bound use; null when it is not a T. T is one of the library's classes or
  /// db::Connection.
  template <class T>
  std::shared_ptr<T> As() const;

  /// Handles alive in the process.
  static std::size_t LiveHandles() noexcept;

 private:
  explicit DispatchObject(std::shared_ptr<const detail::DispatchHandle> handle) noexcept
      : handle_(std::move(handle)) {}
  const detail::DispatchHandle& Handle() const;

  std::shared_ptr<const detail::DispatchHandle> handle_;
};

}  // namespace talvane::component

// Variant needs the complete DispatchObject; including it here gives users of either header both.
#include "talvane/component/variant.hpp"
