#pragma once
// The library object behind a dispatch handle, typed by its class family. Node classes travel as
// INode and are narrowed to Item, Section or Formula on use.
#include <memory>
#include <type_traits>
#include <variant>

#include "talvane/db/connection.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/inode.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::component::detail {

using ObjectRef = std::variant<std::shared_ptr<INode>, std::shared_ptr<FormulaList>, std::shared_ptr<FieldList>,
                               std::shared_ptr<Field>, std::shared_ptr<Exception>, std::shared_ptr<db::Connection>>;

template <class T>
constexpr bool kIsNodeClass = std::is_base_of_v<INode, T>;

// The object as a T, or null when it is not one.
template <class T>
std::shared_ptr<T> ShareAs(const ObjectRef& ref) {
  if constexpr (kIsNodeClass<T>) {
    const auto* node = std::get_if<std::shared_ptr<INode>>(&ref);
    return node ? std::dynamic_pointer_cast<T>(*node) : nullptr;
  } else {
    const auto* object = std::get_if<std::shared_ptr<T>>(&ref);
    return object ? *object : nullptr;
  }
}

// The address of the whole object, which tells whether two handles reach the same object.
inline const void* IdentityOf(const ObjectRef& ref) {
  return std::visit(
      [](const auto& object) -> const void* {
        using T = typename std::decay_t<decltype(object)>::element_type;
        if constexpr (std::is_polymorphic_v<T>) {
          return dynamic_cast<const void*>(object.get());
        } else {
          return object.get();
        }
      },
      ref);
}

inline bool IsNull(const ObjectRef& ref) {
  return std::visit([](const auto& object) { return object == nullptr; }, ref);
}

}  // namespace talvane::component::detail
