// Variants of the C interface and their conversion to and from the library's variants.
#include "capi/capi_internal.hpp"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "talvane/component/dispatch_error.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::capi {

namespace {

// A text copy owned by a variant; allocated here and freed only by talvane_variant_clear.
char* CopyText(const char* text, std::size_t length) {
  auto* copy = static_cast<char*>(std::malloc(length + 1));
  if (!copy) throw std::bad_alloc();
  if (length > 0) std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

}  // namespace

component::Variant FromC(const talvane_variant& v) {
  using component::Variant;
  switch (v.type) {
    case TALVANE_VT_EMPTY: return {};
    case TALVANE_VT_BOOL: return Variant(v.value.boolean != 0);
    case TALVANE_VT_INT32: return Variant(v.value.int32);
    case TALVANE_VT_DOUBLE: return Variant(v.value.number);
    case TALVANE_VT_STRING:
      return v.value.string.data ? Variant(std::string(v.value.string.data, v.value.string.length)) : Variant("");
    case TALVANE_VT_OBJECT:
      return Variant(v.value.object ? v.value.object->object : component::DispatchObject());
    default:
      throw Error(component::kErrTypeMismatch, "Talvane", "Unknown variant type " + std::to_string(v.type));
  }
}

void ToC(const component::Variant& value, talvane_variant* out) {
  using component::VariantType;
  talvane_variant next;
  talvane_variant_init(&next);
  switch (value.Type()) {
    case VariantType::kEmpty: break;
    case VariantType::kBool:
      next.type = TALVANE_VT_BOOL;
      next.value.boolean = value.ToBool() ? 1 : 0;
      break;
    case VariantType::kInt32:
      next.type = TALVANE_VT_INT32;
      next.value.int32 = value.ToInt32();
      break;
    case VariantType::kDouble:
      next.type = TALVANE_VT_DOUBLE;
      next.value.number = value.ToDouble();
      break;
    case VariantType::kString: {
      const std::string text = value.ToString();
      next.type = TALVANE_VT_STRING;
      next.value.string.data = CopyText(text.data(), text.size());
      next.value.string.length = text.size();
      break;
    }
    case VariantType::kObject:
      next.type = TALVANE_VT_OBJECT;
      next.value.object = NewObject(value.ToObject());
      break;
  }
  talvane_variant_clear(out);
  *out = next;
}

talvane_object* NewObject(component::DispatchObject object) {
  if (object.IsNothing()) return nullptr;
  return new talvane_object(std::move(object));
}

}  // namespace talvane::capi

extern "C" {

void talvane_variant_init(talvane_variant* v) {
  if (!v) return;
  std::memset(v, 0, sizeof *v);
  v->type = TALVANE_VT_EMPTY;
}

void talvane_variant_clear(talvane_variant* v) {
  if (!v) return;
  if (v->type == TALVANE_VT_STRING) std::free(v->value.string.data);
  if (v->type == TALVANE_VT_OBJECT) talvane_release(v->value.object);
  talvane_variant_init(v);
}

void talvane_variant_set_bool(talvane_variant* v, int32_t value) {
  if (!v) return;
  talvane_variant_clear(v);
  v->type = TALVANE_VT_BOOL;
  v->value.boolean = value ? 1 : 0;
}

void talvane_variant_set_int32(talvane_variant* v, int32_t value) {
  if (!v) return;
  talvane_variant_clear(v);
  v->type = TALVANE_VT_INT32;
  v->value.int32 = value;
}

void talvane_variant_set_double(talvane_variant* v, double value) {
  if (!v) return;
  talvane_variant_clear(v);
  v->type = TALVANE_VT_DOUBLE;
  v->value.number = value;
}

talvane_status talvane_variant_set_string(talvane_variant* v, const char* text) {
  return talvane_variant_set_string_n(v, text, text ? std::strlen(text) : 0);
}

talvane_status talvane_variant_set_string_n(talvane_variant* v, const char* text, size_t length) {
  return talvane::capi::Guard([&] {
    talvane::capi::RequireNonNull(v, "v");
    if (length > 0) talvane::capi::RequireNonNull(text, "text");
    char* copy = talvane::capi::CopyText(text, length);
    talvane_variant_clear(v);
    v->type = TALVANE_VT_STRING;
    v->value.string.data = copy;
    v->value.string.length = length;
  });
}

void talvane_variant_set_object(talvane_variant* v, talvane_object* object) {
  if (!v) return;
  talvane_addref(object);
  talvane_variant_clear(v);
  v->type = TALVANE_VT_OBJECT;
  v->value.object = object;
}

}  // extern "C"
