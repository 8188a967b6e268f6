#pragma once
// One late-bound call in progress: the target object, the member entry and the caller's arguments.
// It maps the member's parameters onto the arguments (a write takes its value from the last one),
// supplies defaults for omitted optional parameters and writes by-reference results back.
#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "component/object_ref.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/component/variant.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::component::detail {

struct CallFrame {
  const ObjectRef& target;
  const TypeInfo& interface;
  const MemberInfo& member;
  std::span<Variant> args;

  // The argument for parameter `param`, or the parameter's default when it was omitted.
  const Variant& Arg(std::size_t param) const;
  // Stores a by-reference result into the caller's argument, when the caller passed one.
  void WriteBack(std::size_t param, Variant value) const;

  // Converts the argument of `param` with `convert`; a conversion failure names the argument.
  template <class F>
  auto Convert(std::size_t param, F convert) const -> decltype(convert(std::declval<const Variant&>())) {
    try {
      return convert(Arg(param));
    } catch (const Error& e) {
      RaiseArgumentError(param, e);
    }
  }

  // The target as the class whose member is called.
  template <class C>
  C& Self() const {
    auto object = ShareAs<C>(target);
    if (!object) RaiseWrongTarget();
    return *object;
  }

 private:
  std::optional<std::size_t> Position(std::size_t param) const;
  [[noreturn]] void RaiseArgumentError(std::size_t param, const Error& cause) const;
  [[noreturn]] void RaiseWrongTarget() const;
};

}  // namespace talvane::component::detail
