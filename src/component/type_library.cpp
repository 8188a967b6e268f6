#include "talvane/component/type_library.hpp"

#include <array>

#include "component/interfaces.hpp"
#include "talvane/component/identities.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/enums.hpp"

namespace talvane::component {

namespace {

std::vector<EnumInfo> BuildEnumerations() {
  return {
      {"ERR_EXCEPT",
       kEnumErrExcept,
       {{"ERR_EXCEPT_INDEX_OOB", ERR_EXCEPT_INDEX_OOB},
        {"ERR_EXCEPT_INVALID_MAINFIELD", ERR_EXCEPT_INVALID_MAINFIELD},
        {"ERR_EXCEPT_DATATYPE", ERR_EXCEPT_DATATYPE},
        {"ERR_EXCEPT_INVALID_MAINTABLE", ERR_EXCEPT_INVALID_MAINTABLE},
        {"ERR_EXCEPT_ITEMTYPE", ERR_EXCEPT_ITEMTYPE},
        {"ERR_EXCEPT_BADLY_FORMED_SEL_FIELD", ERR_EXCEPT_BADLY_FORMED_SEL_FIELD},
        {"ERR_EXCEPT_CNN_CLOSED", ERR_EXCEPT_CNN_CLOSED}}},
      {"ERR_INODE",
       kEnumErrINode,
       {{"ERR_INDEX_OOB", ERR_INDEX_OOB},
        {"ERR_DATATYPE", ERR_DATATYPE},
        {"ERR_ITEMTYPE", ERR_ITEMTYPE},
        {"ERR_CNN_CLOSED", ERR_CNN_CLOSED}}},
      {"ITEMTYPEENU",
       kEnumItemType,
       {{"kLiteral", kLiteral},
        {"kField", kField},
        {"kArith", kArith},
        {"kComparisson", kComparisson},
        {"kSection", kSection},
        {"kOpenSection", kOpenSection},
        {"kSeperator", kSeperator},
        {"kFormula", kFormula}}},
      {"ITEMDATATYPEENUM",
       kEnumItemDataType,
       {{"kIsString", kIsString},
        {"kIsNumeric", kIsNumeric},
        {"kIsDate", kIsDate},
        {"kIsTime", kIsTime},
        {"kIsBoolean", kIsBoolean}}},
      {"DATABASETYPEENU", kEnumDatabaseType, {{"kAccess", kAccess}, {"kSQLServer", kSQLServer}, {"kSQLite", kSQLite}, {"kPostgreSQL", kPostgreSQL}}},
      {"GROUPTYPEENU", kEnumGroupType, {{"kBase", kBase}, {"kAnd", kAnd}, {"kOr", kOr}}},
      {"ERR_FORM",
       kEnumErrForm,
       {{"ERR_FORM_CNN_CLOSED", ERR_FORM_CNN_CLOSED},
        {"ERR_FORM_DATATYPE", ERR_FORM_DATATYPE},
        {"ERR_FORM_INDEX_OOB", ERR_FORM_INDEX_OOB},
        {"ERR_FORM_ITEMTYPE", ERR_FORM_ITEMTYPE}}},
      {"ERR_FIELDLST",
       kEnumErrFieldList,
       {{"ERR_FIELDLST_CNN_CLOSED", ERR_FIELDLST_CNN_CLOSED},
        {"ERR_FIELDLST_DATATYPE", ERR_FIELDLST_DATATYPE},
        {"ERR_FIELDLST_INDEX_OOB", ERR_FIELDLST_INDEX_OOB},
        {"ERR_FIELDLST_ITEMTYPE", ERR_FIELDLST_ITEMTYPE}}},
      {"ERR_FIELD",
       kEnumErrField,
       {{"ERR_FIELD_CNN_CLOSED", ERR_FIELD_CNN_CLOSED},
        {"ERR_FIELD_INDEX_OOB", ERR_FIELD_INDEX_OOB},
        {"ERR_FIELD_FNF", ERR_FIELD_FNF},
        {"ERR_FIELD_FORMAT", ERR_FIELD_FORMAT},
        {"ERR_FIELD_INVALIDORDERPOS", ERR_FIELD_INVALIDORDERPOS},
        {"ERR_FIELD_INVALIDORDERDIR", ERR_FIELD_INVALIDORDERDIR},
        {"ERR_FIELD_INVALIDAGGRAGATE", ERR_FIELD_INVALIDAGGRAGATE}}},
  };
}

}  // namespace

std::string_view TypeLibrary::Name() { return kLibraryName; }
std::string_view TypeLibrary::Description() { return kLibraryDescription; }
uint16_t TypeLibrary::MajorVersion() { return kLibraryMajorVersion; }
uint16_t TypeLibrary::MinorVersion() { return kLibraryMinorVersion; }
uint32_t TypeLibrary::Locale() { return kLibraryLocale; }
const Guid& TypeLibrary::Id() { return kLibraryId; }

std::span<const TypeInfo* const> TypeLibrary::Interfaces() {
  using namespace detail;
  static const std::array<const TypeInfo*, 8> interfaces = {
      &ExceptionInterface(),   &INodeInterface(),     &ItemInterface(),      &SectionInterface(),
      &FormulaInterface(),     &FormulaListInterface(), &FieldListInterface(), &FieldInterface()};
  return interfaces;
}

const TypeInfo* TypeLibrary::FindInterface(std::string_view name) {
  for (const TypeInfo* t : Interfaces()) {
    if (EqualsIgnoreCase(t->Name(), name)) return t;
  }
  return nullptr;
}

const TypeInfo* TypeLibrary::FindInterface(const Guid& iid) {
  for (const TypeInfo* t : Interfaces()) {
    if (t->Id() == iid) return t;
  }
  return nullptr;
}

std::span<const EnumInfo> TypeLibrary::Enumerations() {
  static const std::vector<EnumInfo> enumerations = BuildEnumerations();
  return enumerations;
}

std::optional<int32_t> TypeLibrary::ConstantValue(std::string_view name) {
  for (const EnumInfo& e : Enumerations()) {
    for (const auto& [constant, value] : e.constants) {
      if (EqualsIgnoreCase(constant, name)) return value;
    }
  }
  return std::nullopt;
}

}  // namespace talvane::component
