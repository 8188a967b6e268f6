// The creatable classes, their identities and the type library's identity.
#include <gtest/gtest.h>

#include <string>

#include "support/expect_error.hpp"
#include "talvane/component/class_registry.hpp"
#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/guid.hpp"
#include "talvane/component/identities.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/component/type_library.hpp"
#include "talvane/foundation/enums.hpp"

namespace talvane::component {
namespace {

struct PublishedClass {
  const char* name;
  const char* clsid;
  const char* interfaceName;
  const char* iid;
  bool exposesINode;
};

const PublishedClass kClasses[] = {
    {"Exception", "{5AA3581D-F954-4FBC-A09A-E870299BBE36}", "_Exception", "{C2B4C2F0-D53E-4E78-879F-E93ECAEADB31}",
     false},
    {"INode", "{2EAED68A-C796-4DE4-9251-1649E25EE425}", "_INode", "{57C4F836-3874-4E7C-A480-7254FE7B0ECA}", true},
    {"Item", "{1767A0BC-B259-4821-99A5-EBEF4740C517}", "_Item", "{C69B6014-7331-440D-85A5-EC5DF7E3980E}", true},
    {"Section", "{BF2B1B21-BCB7-4BE2-8BB4-A333AC97929D}", "_Section", "{F200CC75-CFC2-472D-862A-0744247ED9E0}",
     true},
    {"Formula", "{A9381238-F82C-4654-AB6F-24C12C49B276}", "_Formula", "{9BFFD7EB-59C1-4EFC-9E29-9B42F29D9C32}",
     true},
    {"FormulaList", "{2630C7B9-1440-4BFE-B753-D46ABE5D849B}", "_FormulaList",
     "{4FBD184B-5328-4F92-8EBC-FA802835E161}", false},
    {"FieldList", "{2608A252-5125-4298-9866-1733848D01EE}", "_FieldList", "{824DD538-45D2-4A87-95D2-DCA6226325AC}",
     false},
    {"Field", "{0D1EB169-4969-48F7-96D3-506773A3B5CD}", "_Field", "{B070EB86-5660-48BC-8CBF-20E0B0239683}", false},
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(ClassRegistry, EveryClassIsCreatableByItsHostVisibleName) {
  ASSERT_EQ(ClassRegistry::Classes().size(), std::size(kClasses));
  for (const PublishedClass& c : kClasses) {
    SCOPED_TRACE(c.name);
    const std::string progId = std::string("Talvane.") + c.name;
    for (const std::string& spelling : {progId, Lower(progId)}) {
      const DispatchObject object = ClassRegistry::Create(spelling);
      EXPECT_EQ(object.ClassName(), c.name);
      EXPECT_EQ(object.Interface().Name(), c.interfaceName);
      EXPECT_EQ(object.Interface().IdText(), c.iid);
    }
  }
}

TEST(ClassRegistry, EveryClassIsCreatableByItsClassIdentifierInAnyCase) {
  for (const PublishedClass& c : kClasses) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ClassRegistry::Create(c.clsid).ClassName(), c.name);
    EXPECT_EQ(ClassRegistry::Create(Lower(c.clsid)).ClassName(), c.name);
    const ClassInfo* info = ClassRegistry::FindById(*Guid::Parse(c.clsid));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->progId, std::string("Talvane.") + c.name);
    EXPECT_EQ(info->Exposes(kIidINode), c.exposesINode);
  }
}

TEST(ClassRegistry, EachCreationGivesANewObject) {
  const DispatchObject a = ClassRegistry::Create("Talvane.Formula");
  const DispatchObject b = ClassRegistry::Create("Talvane.Formula");
  EXPECT_FALSE(a.IsSameObject(b));
}

TEST(ClassRegistry, NewExceptionComesWithItsLists) {
  const DispatchObject report = ClassRegistry::Create("Talvane.Exception");
  EXPECT_EQ(report.Call("Formulae").ToObject().ClassName(), "FormulaList");
  EXPECT_EQ(report.Call("DatabaseType"), Variant(kSQLServer));
}

TEST(ClassRegistry, UnknownNamesAndIdentifiersAreRefused) {
  for (const char* text : {"Talvane.Report", "Exception", "Talvane.Exception.1", "", "Talvane.Connection",
                           "{00000000-0000-0000-0000-000000000000}", "5AA3581D-F954-4FBC-A09A-E870299BBE36"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ClassRegistry::Find(text), nullptr);
    EXPECT_TALVANE_ERROR(ClassRegistry::Create(text), kErrClassNotRegistered, kServerSource,
                         std::string("No class is registered as ") + text);
  }
}

TEST(PublishedIdentities, ConstantsMatchTheirText) {
  EXPECT_EQ(kLibraryId.ToString(), "{1DBDCEF3-1416-413C-B7AC-CD321B9EF68F}");
  EXPECT_EQ(kClsidException.ToString(), kClasses[0].clsid);
  EXPECT_EQ(kIidField.ToString(), kClasses[7].iid);
  EXPECT_EQ(kEnumErrExcept.ToString(), "{7C31E59B-100F-46A9-9C34-AF4519F8641C}");
  EXPECT_EQ(kEnumErrINode.ToString(), "{10757EAD-F737-4E95-A5D1-A6794C74E043}");
  EXPECT_EQ(kEnumItemType.ToString(), "{FF512388-DB9D-4651-9EFC-21B6C2A9160E}");
  EXPECT_EQ(kEnumItemDataType.ToString(), "{670C03CE-2980-4FF4-9790-8DB7E60959DC}");
  EXPECT_EQ(kEnumDatabaseType.ToString(), "{F26D9872-66C5-4968-9174-9356037C56D0}");
  EXPECT_EQ(kEnumGroupType.ToString(), "{CC67148E-78E4-469A-9C49-7611898FDBFC}");
  EXPECT_EQ(kEnumErrForm.ToString(), "{30E2E3BB-6F6F-4037-BE1D-C49E4C365FEE}");
  EXPECT_EQ(kEnumErrFieldList.ToString(), "{6041C94E-F0CD-49B0-B9C4-E272EDA29FD3}");
  EXPECT_EQ(kEnumErrField.ToString(), "{570C0024-9F32-45B6-BF39-2F2E338C91CA}");
}

TEST(TypeLibraryIdentity, NameVersionLocaleAndIdentifier) {
  EXPECT_EQ(TypeLibrary::Name(), "Talvane");
  EXPECT_EQ(TypeLibrary::MajorVersion(), 1);
  EXPECT_EQ(TypeLibrary::MinorVersion(), 0);
  EXPECT_EQ(TypeLibrary::Locale(), 1033u);
  EXPECT_EQ(TypeLibrary::Id(), kLibraryId);
  EXPECT_FALSE(TypeLibrary::Description().empty());
}

TEST(TypeLibraryEnumerations, PublishedConstantsResolveByName) {
  EXPECT_EQ(TypeLibrary::Enumerations().size(), 9u);
  EXPECT_EQ(TypeLibrary::ConstantValue("kIsNumeric"), kIsNumeric);
  EXPECT_EQ(TypeLibrary::ConstantValue("KSQLSERVER"), kSQLServer);
  EXPECT_EQ(TypeLibrary::ConstantValue("kOr"), kOr);
  EXPECT_EQ(TypeLibrary::ConstantValue("ERR_FIELD_INVALIDAGGRAGATE"), ERR_FIELD_INVALIDAGGRAGATE);
  EXPECT_EQ(TypeLibrary::ConstantValue("ERR_EXCEPT_BADLY_FORMED_SEL_FIELD"), ObjectError(3));
  EXPECT_FALSE(TypeLibrary::ConstantValue("kIsText").has_value());
  for (const EnumInfo& e : TypeLibrary::Enumerations()) EXPECT_FALSE(e.id.IsNil()) << e.name;
}

TEST(TypeLibraryInterfaces, FoundByNameAndByIdentifier) {
  EXPECT_EQ(TypeLibrary::FindInterface("_formula"), TypeLibrary::FindInterface(kIidFormula));
  EXPECT_EQ(TypeLibrary::FindInterface("Formula"), nullptr);
  EXPECT_EQ(TypeLibrary::FindInterface(Guid{}), nullptr);
}

}  // namespace
}  // namespace talvane::component
