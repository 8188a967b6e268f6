// The C interface seen from a host: status codes and the per-thread last error, variants and
// reference counts, by-reference write-back, type information and the server entry points.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "support/sqlite_fixture.hpp"
#include "talvane/talvane_c.h"

namespace {

// Owns an object reference for the length of a test.
struct Ref {
  talvane_object* p = nullptr;
  ~Ref() { talvane_release(p); }
};

// Clears a variant at the end of a test.
struct Var {
  Var() { talvane_variant_init(&v); }
  ~Var() { talvane_variant_clear(&v); }
  talvane_variant v;
};

std::string Text(const talvane_variant& v) {
  return v.type == TALVANE_VT_STRING ? std::string(v.value.string.data, v.value.string.length) : "<not text>";
}

class CInterface : public testing::Test {
 protected:
  void SetUp() override {
    file_ = std::make_unique<talvane::test::TempDatabaseFile>(talvane::test::StandardSchemaSql());
    ASSERT_EQ(talvane_open_sqlite(file_->ConnectionString().c_str(), &connection_.p), TALVANE_OK);
    ASSERT_EQ(talvane_create("Talvane.Exception", &report_.p), TALVANE_OK);
    Var value;
    talvane_variant_set_object(&value.v, connection_.p);
    ASSERT_EQ(talvane_invoke(report_.p, "Connection", TALVANE_INVOKE_PUTREF, &value.v, 1, nullptr), TALVANE_OK);
    Var list;
    ASSERT_EQ(talvane_invoke(report_.p, "Formulae", TALVANE_INVOKE_GET, nullptr, 0, &list.v), TALVANE_OK);
    ASSERT_EQ(list.v.type, TALVANE_VT_OBJECT);
    formulae_.p = list.v.value.object;
    talvane_addref(formulae_.p);
  }

  talvane_object* NewFormula(const char* text) {
    EXPECT_EQ(talvane_invoke(formulae_.p, "AddNew", TALVANE_INVOKE_METHOD, nullptr, 0, nullptr), TALVANE_OK);
    Var formula;
    EXPECT_EQ(talvane_invoke(formulae_.p, nullptr, TALVANE_INVOKE_GET, nullptr, 0, &formula.v), TALVANE_OK);
    Var value;
    talvane_variant_set_string(&value.v, text);
    EXPECT_EQ(talvane_invoke(formula.v.value.object, "Value", TALVANE_INVOKE_PUT, &value.v, 1, nullptr), TALVANE_OK);
    talvane_object* result = formula.v.value.object;
    talvane_addref(result);
    return result;
  }

  std::unique_ptr<talvane::test::TempDatabaseFile> file_;
  Ref connection_;
  Ref report_;
  Ref formulae_;
};

TEST_F(CInterface, MemberErrorArrivesWithNumberSourceAndDescription) {
  Var index;
  talvane_variant_set_int32(&index.v, 4);
  EXPECT_EQ(talvane_invoke(formulae_.p, "Formula", TALVANE_INVOKE_GET, &index.v, 1, nullptr),
            static_cast<talvane_status>(0x80040001u));
  EXPECT_EQ(talvane_last_error_number(), static_cast<int32_t>(0x80040001u));
  EXPECT_STREQ(talvane_last_error_source(), "Exception: Exception.Value(Index)");
  EXPECT_STREQ(talvane_last_error_description(), "Exception: Exception.Value(Index)\rIndex out of bounds");
}

TEST_F(CInterface, SuccessClearsTheLastError) {
  EXPECT_EQ(talvane_invoke(report_.p, "Nope", TALVANE_INVOKE_GET, nullptr, 0, nullptr), TALVANE_E_UNKNOWN_NAME);
  EXPECT_STREQ(talvane_last_error_source(), "Talvane.Dispatch");
  EXPECT_STREQ(talvane_last_error_description(), "Talvane.Dispatch\r_Exception has no member named Nope");
  EXPECT_EQ(talvane_invoke(report_.p, "Sets", TALVANE_INVOKE_METHOD, nullptr, 0, nullptr), TALVANE_OK);
  EXPECT_EQ(talvane_last_error_number(), 0);
  EXPECT_STREQ(talvane_last_error_description(), "");
}

TEST_F(CInterface, LastErrorIsKeptPerThread) {
  EXPECT_EQ(talvane_create("Talvane.Nothing", nullptr), TALVANE_E_INVALID_ARGUMENT);
  int32_t otherThread = -1;
  std::thread([&] {
    otherThread = talvane_last_error_number();
    talvane_object* none = nullptr;
    EXPECT_EQ(talvane_create("Talvane.Nothing", &none), TALVANE_E_CLASS_NOT_REGISTERED);
  }).join();
  EXPECT_EQ(otherThread, 0);
  EXPECT_EQ(talvane_last_error_number(), TALVANE_E_INVALID_ARGUMENT);
  EXPECT_STREQ(talvane_last_error_description(), "Talvane\rNull pointer for out");
}

TEST_F(CInterface, BadInputGivesAStatusNotACrash) {
  EXPECT_EQ(talvane_invoke(nullptr, "Count", TALVANE_INVOKE_GET, nullptr, 0, nullptr), TALVANE_E_INVALID_ARGUMENT);
  EXPECT_EQ(talvane_invoke(formulae_.p, "Remove", TALVANE_INVOKE_METHOD, nullptr, 1, nullptr),
            TALVANE_E_INVALID_ARGUMENT);
  EXPECT_EQ(talvane_invoke(formulae_.p, "Count", TALVANE_INVOKE_GET, nullptr, -1, nullptr),
            TALVANE_E_INVALID_ARGUMENT);
  talvane_variant odd;
  talvane_variant_init(&odd);
  odd.type = 42;
  EXPECT_EQ(talvane_invoke(formulae_.p, "Formula", TALVANE_INVOKE_GET, &odd, 1, nullptr), TALVANE_E_TYPE_MISMATCH);
  talvane_object* none = nullptr;
  EXPECT_EQ(talvane_create(nullptr, &none), TALVANE_E_INVALID_ARGUMENT);
  EXPECT_EQ(talvane_open_sqlite("Data Source=/no/such/dir/x.db", &none), static_cast<talvane_status>(0x80004005u));
  EXPECT_EQ(none, nullptr);
}

TEST_F(CInterface, ByReferenceArgumentsAreWrittenBack) {
  Ref first{NewFormula("Orders.Amount >= 100")};
  Ref second{NewFormula("Orders.Amount >= 200")};
  Var index;
  talvane_variant_set_double(&index.v, -1.0);
  EXPECT_EQ(talvane_invoke(formulae_.p, "Remove", TALVANE_INVOKE_METHOD, &index.v, 1, nullptr), TALVANE_OK);
  EXPECT_EQ(index.v.type, TALVANE_VT_INT32);
  EXPECT_EQ(index.v.value.int32, 2);

  Var text;
  talvane_variant_set_string(&text.v, "\t Orders.Qty < 5 \r\n");
  EXPECT_EQ(talvane_invoke(first.p, "value", TALVANE_INVOKE_PUT, &text.v, 1, nullptr), TALVANE_OK);
  EXPECT_EQ(Text(text.v), "Orders.Qty < 5");
}

TEST_F(CInterface, ArgumentsNotPassedByReferenceStayAsGiven) {
  Ref formula{NewFormula("Orders.Amount >= 100")};
  Var showSets;
  talvane_variant_set_int32(&showSets.v, 0);
  Var sql;
  EXPECT_EQ(talvane_invoke(formula.p, "SQL", TALVANE_INVOKE_METHOD, &showSets.v, 1, &sql.v), TALVANE_OK);
  EXPECT_EQ(Text(sql.v), "ISNULL([Orders].[Amount], 0) >= 100");
  EXPECT_EQ(showSets.v.type, TALVANE_VT_INT32);
}

TEST_F(CInterface, ObjectsAreReferenceCounted) {
  const int32_t before = talvane_live_objects();
  talvane_object* formula = NewFormula("Orders.Amount >= 100");
  Var holder;
  talvane_variant_set_object(&holder.v, formula);
  talvane_release(formula);  // the variant still holds one reference
  Var value;
  EXPECT_EQ(talvane_invoke(holder.v.value.object, nullptr, TALVANE_INVOKE_GET, nullptr, 0, &value.v), TALVANE_OK);
  EXPECT_EQ(Text(value.v), "[Orders].[Amount] >= 100");
  talvane_variant_clear(&holder.v);
  EXPECT_EQ(talvane_live_objects(), before);
}

TEST_F(CInterface, ResultVariantIsReplacedNotLeaked) {
  Var result;
  talvane_variant_set_string(&result.v, "old text");
  EXPECT_EQ(talvane_invoke(report_.p, "Fields", TALVANE_INVOKE_GET, nullptr, 0, &result.v), TALVANE_OK);
  EXPECT_EQ(result.v.type, TALVANE_VT_OBJECT);
  EXPECT_EQ(talvane_invoke(report_.p, "MainTable", TALVANE_INVOKE_GET, nullptr, 0, &result.v), TALVANE_OK);
  EXPECT_EQ(Text(result.v), "");
}

TEST_F(CInterface, ByIdentifierAndByName) {
  int32_t dispid = -1;
  EXPECT_EQ(talvane_id_of_name(formulae_.p, "count", &dispid), TALVANE_OK);
  Var count;
  EXPECT_EQ(talvane_invoke_id(formulae_.p, dispid, TALVANE_INVOKE_GET, nullptr, 0, &count.v), TALVANE_OK);
  EXPECT_EQ(count.v.type, TALVANE_VT_INT32);
  EXPECT_EQ(talvane_id_of_name(formulae_.p, "Formula", &dispid), TALVANE_OK);
  EXPECT_EQ(dispid, 0);
  EXPECT_EQ(talvane_id_of_name(formulae_.p, "Formulas", &dispid), TALVANE_E_UNKNOWN_NAME);
}

TEST_F(CInterface, TypeInformationInPublishedOrder) {
  const char* name = nullptr;
  const char* iid = nullptr;
  ASSERT_EQ(talvane_interface_of(formulae_.p, &name, &iid), TALVANE_OK);
  EXPECT_STREQ(name, "_FormulaList");
  EXPECT_STREQ(iid, "{4FBD184B-5328-4F92-8EBC-FA802835E161}");

  int32_t count = 0;
  ASSERT_EQ(talvane_member_count(formulae_.p, &count), TALVANE_OK);
  talvane_member_info member{};
  ASSERT_EQ(talvane_member(formulae_.p, 0, &member), TALVANE_OK);
  EXPECT_STREQ(member.name, "Formula");
  EXPECT_EQ(member.dispid, 0);
  EXPECT_EQ(member.kind, TALVANE_MEMBER_GET);
  EXPECT_STREQ(member.result_type, "Formula");
  ASSERT_EQ(talvane_member(formulae_.p, count - 1, &member), TALVANE_OK);
  EXPECT_STREQ(member.name, "Exception");
  EXPECT_EQ(member.kind, TALVANE_MEMBER_PUTREF);
  EXPECT_STREQ(member.result_type, "");
  EXPECT_EQ(talvane_member(formulae_.p, count, &member), TALVANE_E_INVALID_ARGUMENT);

  for (int32_t i = 0; i < count; ++i) {
    ASSERT_EQ(talvane_member(formulae_.p, i, &member), TALVANE_OK);
    if (std::string(member.name) != "Remove") continue;
    talvane_param_info param{};
    ASSERT_EQ(talvane_param(formulae_.p, i, 0, &param), TALVANE_OK);
    EXPECT_STREQ(param.name, "Index");
    EXPECT_STREQ(param.type_name, "Long");
    EXPECT_EQ(param.by_ref, 1);
    EXPECT_EQ(param.optional, 1);
    EXPECT_EQ(param.has_default, 1);
    EXPECT_EQ(param.default_value, -1);
    EXPECT_EQ(talvane_param(formulae_.p, i, 1, &param), TALVANE_E_INVALID_ARGUMENT);
  }
}

TEST(CInterfaceLibrary, IdentityAndConstants) {
  talvane_library_info info{};
  talvane_library(&info);
  EXPECT_STREQ(info.name, "Talvane");
  EXPECT_EQ(info.major_version, 1);
  EXPECT_EQ(info.minor_version, 0);
  EXPECT_EQ(info.locale, 1033u);
  EXPECT_STREQ(info.id, "{1DBDCEF3-1416-413C-B7AC-CD321B9EF68F}");
  int32_t value = 0;
  EXPECT_EQ(talvane_constant("kIsDate", &value), TALVANE_OK);
  EXPECT_EQ(value, 2);
  EXPECT_EQ(talvane_constant("ERR_FORM_ITEMTYPE", &value), TALVANE_OK);
  EXPECT_EQ(value, static_cast<int32_t>(0x80040004u));
  EXPECT_EQ(talvane_constant("kIsText", &value), TALVANE_E_UNKNOWN_NAME);
}

TEST(CInterfaceServer, FactoriesUnloadingAndRegistration) {
  EXPECT_EQ(talvane_register_server(), TALVANE_OK);
  EXPECT_EQ(talvane_can_unload_now(), TALVANE_OK);
  talvane_factory* factory = nullptr;
  EXPECT_EQ(talvane_get_class_object("{0d1eb169-4969-48f7-96d3-506773a3b5cd}", &factory), TALVANE_OK);
  Ref field;
  EXPECT_EQ(talvane_factory_create_instance(factory, nullptr, &field.p), TALVANE_OK);
  EXPECT_STREQ(talvane_class_name(field.p), "Field");
  EXPECT_EQ(talvane_can_unload_now(), TALVANE_FALSE);
  Ref node;
  EXPECT_EQ(talvane_factory_create_instance(factory, "_INode", &node.p), TALVANE_E_NO_INTERFACE);
  EXPECT_EQ(node.p, nullptr);
  talvane_factory_release(factory);
  talvane_release(field.p);
  field.p = nullptr;
  EXPECT_EQ(talvane_can_unload_now(), TALVANE_OK);

  EXPECT_EQ(talvane_get_class_object("Talvane.Field", &factory), TALVANE_E_INVALID_ARGUMENT);
  EXPECT_EQ(talvane_get_class_object("{4FBD184B-5328-4F92-8EBC-FA802835E161}", &factory),
            TALVANE_E_CLASS_NOT_AVAILABLE);
  EXPECT_EQ(factory, nullptr);
  EXPECT_EQ(talvane_unregister_server(), TALVANE_OK);
}

TEST(CInterfaceServer, CreatesByClassIdentifierAndQueriesInterfaces) {
  Ref section;
  ASSERT_EQ(talvane_create("{BF2B1B21-BCB7-4BE2-8BB4-A333AC97929D}", &section.p), TALVANE_OK);
  Ref node;
  ASSERT_EQ(talvane_query_interface(section.p, "{57c4f836-3874-4e7c-a480-7254fe7b0eca}", &node.p), TALVANE_OK);
  EXPECT_EQ(talvane_is_same_object(section.p, node.p), 1);
  const char* name = nullptr;
  talvane_interface_of(node.p, &name, nullptr);
  EXPECT_STREQ(name, "_INode");
  Ref none;
  EXPECT_EQ(talvane_query_interface(section.p, "_Field", &none.p), TALVANE_E_NO_INTERFACE);
  EXPECT_EQ(talvane_query_interface(section.p, "_Nothing", &none.p), TALVANE_E_NO_INTERFACE);
}

}  // namespace
