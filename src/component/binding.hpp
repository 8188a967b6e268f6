#pragma once
// Turns a C++ member (or a small adaptor function taking the object first) into a late-bound
// binding: each argument is converted from its variant by the parameter's C++ type, the member is
// called, a by-reference argument (std::string&, int32_t*) is written back, and the result becomes
// a variant. The parameter and result types of the type information come from the same signature.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "component/call_frame.hpp"
#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/dispatch_object.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/component/variant.hpp"
#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::component::detail {

// The published type of a C++ value type.
struct TypeDescription {
  std::string_view name;
  VariantType type;
};

template <class T>
struct Describe;
template <>
struct Describe<void> {
  static constexpr TypeDescription kValue{"", VariantType::kEmpty};
};
template <>
struct Describe<bool> {
  static constexpr TypeDescription kValue{"Boolean", VariantType::kBool};
};
template <>
struct Describe<int32_t> {
  static constexpr TypeDescription kValue{"Long", VariantType::kInt32};
};
template <>
struct Describe<std::string> {
  static constexpr TypeDescription kValue{"String", VariantType::kString};
};
template <>
struct Describe<std::string_view> : Describe<std::string> {};

#define TALVANE_DESCRIBE_AS(type, published, variantType)                   \
  template <>                                                               \
  struct Describe<type> {                                                   \
    static constexpr TypeDescription kValue{published, VariantType::variantType}; \
  };
TALVANE_DESCRIBE_AS(ITEMTYPEENU, "ITEMTYPEENU", kInt32)
TALVANE_DESCRIBE_AS(ITEMDATATYPEENUM, "ITEMDATATYPEENUM", kInt32)
TALVANE_DESCRIBE_AS(DATABASETYPEENU, "DATABASETYPEENU", kInt32)
TALVANE_DESCRIBE_AS(GROUPTYPEENU, "GROUPTYPEENU", kInt32)
TALVANE_DESCRIBE_AS(ERR_INODE, "ERR_INODE", kInt32)
TALVANE_DESCRIBE_AS(ERR_FORM, "ERR_FORM", kInt32)
TALVANE_DESCRIBE_AS(ERR_FIELDLST, "ERR_FIELDLST", kInt32)
TALVANE_DESCRIBE_AS(std::shared_ptr<INode>, "INode", kObject)
TALVANE_DESCRIBE_AS(std::shared_ptr<Item>, "Item", kObject)
TALVANE_DESCRIBE_AS(std::shared_ptr<Section>, "Section", kObject)
TALVANE_DESCRIBE_AS(std::shared_ptr<Formula>, "Formula", kObject)
TALVANE_DESCRIBE_AS(std::shared_ptr<FormulaList>, "FormulaList", kObject)
TALVANE_DESCRIBE_AS(std::shared_ptr<FieldList>, "FieldList", kObject)
TALVANE_DESCRIBE_AS(std::shared_ptr<Field>, "Field", kObject)
TALVANE_DESCRIBE_AS(std::shared_ptr<Exception>, "Exception", kObject)
TALVANE_DESCRIBE_AS(std::shared_ptr<db::Connection>, "Connection", kObject)
#undef TALVANE_DESCRIBE_AS

// How one argument is held across the call. P is the parameter type as the C++ member declares it.
template <class P>
struct ArgHolder;

// Numbers, flags and enumerations, by value.
template <class T>
  requires std::is_same_v<T, int32_t> || std::is_same_v<T, bool> || std::is_enum_v<T>
struct ArgHolder<T> {
  using Stored = T;
  static constexpr bool kWritesBack = false;
  ArgHolder(const CallFrame& frame, std::size_t param)
      : value(frame.Convert(param, [](const Variant& v) {
          if constexpr (std::is_same_v<T, bool>) {
            return v.ToBool();
          } else {
            return static_cast<T>(v.ToInt32());
          }
        })) {}
  T Get() { return value; }
  void WriteBack(const CallFrame&, std::size_t) {}
  T value;
};

template <>
struct ArgHolder<std::string_view> {
  using Stored = std::string;
  static constexpr bool kWritesBack = false;
  ArgHolder(const CallFrame& frame, std::size_t param)
      : value(frame.Convert(param, [](const Variant& v) { return v.ToString(); })) {}
  std::string_view Get() { return value; }
  void WriteBack(const CallFrame&, std::size_t) {}
  std::string value;
};

// Text by reference: the member may rewrite it (a formula trims its text).
template <>
struct ArgHolder<std::string&> {
  using Stored = std::string;
  static constexpr bool kWritesBack = true;
  ArgHolder(const CallFrame& frame, std::size_t param)
      : value(frame.Convert(param, [](const Variant& v) { return v.ToString(); })) {}
  std::string& Get() { return value; }
  void WriteBack(const CallFrame& frame, std::size_t param) { frame.WriteBack(param, Variant(value)); }
  std::string value;
};

// An index by reference: -1 comes back as the position used.
template <>
struct ArgHolder<int32_t*> {
  using Stored = int32_t;
  static constexpr bool kWritesBack = true;
  ArgHolder(const CallFrame& frame, std::size_t param)
      : value(frame.Convert(param, [](const Variant& v) { return v.ToInt32(); })) {}
  int32_t* Get() { return &value; }
  void WriteBack(const CallFrame& frame, std::size_t param) { frame.WriteBack(param, Variant(value)); }
  int32_t value;
};

// An object of one of the library's classes; Nothing passes as null.
template <class T>
struct ArgHolder<const std::shared_ptr<T>&> {
  using Stored = std::shared_ptr<T>;
  static constexpr bool kWritesBack = false;
  ArgHolder(const CallFrame& frame, std::size_t param)
      : value(frame.Convert(param, [](const Variant& v) {
          const DispatchObject object = v.ToObject();
          auto typed = object.As<T>();
          if (!object.IsNothing() && !typed) {
            std::string message = "Object of class ";
            message += object.ClassName();
            message += " given where ";
            message += Describe<std::shared_ptr<T>>::kValue.name;
            message += " is expected";
            throw Error(kErrTypeMismatch, kDispatchSource, message);
          }
          return typed;
        })) {}
  const std::shared_ptr<T>& Get() { return value; }
  void WriteBack(const CallFrame&, std::size_t) {}
  std::shared_ptr<T> value;
};

template <class T>
struct IsSharedPtr : std::false_type {};
template <class T>
struct IsSharedPtr<std::shared_ptr<T>> : std::true_type {};

// Objects come back as handles on their own class; everything else as the matching variant.
template <class R>
Variant ToVariant(R&& result) {
  if constexpr (IsSharedPtr<std::decay_t<R>>::value) {
    return Variant(DispatchObject::Wrap(result));
  } else {
    return Variant(std::forward<R>(result));
  }
}

// The parts of a callable: the class it is called on, its result and its parameters.
template <class F>
struct Signature;
template <class C, class R, class... A>
struct Signature<R (C::*)(A...)> {
  using Class = C;
  using Result = R;
  using Params = std::tuple<A...>;
};
template <class C, class R, class... A>
struct Signature<R (C::*)(A...) const> : Signature<R (C::*)(A...)> {};
template <class C, class R, class... A>
struct Signature<R (*)(C&, A...)> : Signature<R (C::*)(A...)> {};

// A parameter as the type information shows it.
struct ParamType {
  TypeDescription description;
  bool writesBack;
};

struct BindingPlan {
  Binding call;
  std::vector<ParamType> params;
  TypeDescription result;
};

template <auto Fn>
Variant Call(CallFrame& frame) {
  using S = Signature<decltype(Fn)>;
  using C = typename S::Class;
  using R = typename S::Result;
  C& self = frame.Self<C>();
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    // Braced initialisation converts the arguments in order, so the first bad one is reported.
    std::tuple<ArgHolder<std::tuple_element_t<I, typename S::Params>>...> holders{
        ArgHolder<std::tuple_element_t<I, typename S::Params>>(frame, I)...};
    const auto writeBack = [&] { (std::get<I>(holders).WriteBack(frame, I), ...); };
    try {
      if constexpr (std::is_void_v<R>) {
        std::invoke(Fn, self, std::get<I>(holders).Get()...);
        writeBack();
        return Variant();
      } else {
        Variant result = ToVariant(std::invoke(Fn, self, std::get<I>(holders).Get()...));
        writeBack();
        return result;
      }
    } catch (...) {
      // The caller sees what the member made of its by-reference arguments before it failed.
      writeBack();
      throw;
    }
  }(std::make_index_sequence<std::tuple_size_v<typename S::Params>>{});
}

template <auto Fn>
BindingPlan Bind() {
  using S = Signature<decltype(Fn)>;
  BindingPlan plan{&Call<Fn>, {}, Describe<std::decay_t<typename S::Result>>::kValue};
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    (plan.params.push_back(ParamType{
         Describe<typename ArgHolder<std::tuple_element_t<I, typename S::Params>>::Stored>::kValue,
         ArgHolder<std::tuple_element_t<I, typename S::Params>>::kWritesBack}),
     ...);
  }(std::make_index_sequence<std::tuple_size_v<typename S::Params>>{});
  return plan;
}

}  // namespace talvane::component::detail
