/*
 * A host written in plain C that knows only the published names: it builds a whole report through
 * the C interface and prints the statement on standard output, byte for byte.
 *
 *   talvane_capi_report <database file> [provider]
 *
 * The database file is created afresh. On the way the program checks what a C host relies on:
 * creation by name and by class identifier, by-reference write-back, errors with their number,
 * source and description, sets, the class factory, and that the library can be unloaded once every
 * object is released (and not before). It exits with 0 when every check held.
 */
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "talvane/talvane_c.h"

#define CHECK(condition)                                                               \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);   \
      exit(1);                                                                         \
    }                                                                                  \
  } while (0)

#define CALL(expression)                                                                         \
  do {                                                                                           \
    const talvane_status status_ = (expression);                                                 \
    if (status_ != TALVANE_OK) {                                                                 \
      fprintf(stderr, "%s:%d: %s failed with %ld: %s\n", __FILE__, __LINE__, #expression,        \
              (long)status_, talvane_last_error_description());                                  \
      exit(1);                                                                                   \
    }                                                                                            \
  } while (0)

static const char* const kSchema =
    "CREATE TABLE Customers (CustID INTEGER PRIMARY KEY, CustName TEXT, Balance MONEY, RegionID INTEGER);"
    "INSERT INTO Customers VALUES (1, 'Alfreds', 150.5, 1), (2, 'Bottom-Dollar', 1200, 2);"
    "CREATE TABLE Regions (RegionID INTEGER, RegionName TEXT, CustID INTEGER);"
    "INSERT INTO Regions VALUES (1, 'North', 1), (2, 'South', 2);"
    "CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, CustID INTEGER, Amount MONEY, Status TEXT,"
    "                     OrderDate DATETIME);"
    "INSERT INTO Orders VALUES (1, 1, 100, 'Open', '2020-01-10 09:30:00'), (2, 2, 99.5, 'Shipped', NULL);";

static void create_database(const char* path) {
  sqlite3* db = NULL;
  remove(path);
  CHECK(sqlite3_open(path, &db) == SQLITE_OK);
  CHECK(sqlite3_exec(db, kSchema, NULL, NULL, NULL) == SQLITE_OK);
  CHECK(sqlite3_close(db) == SQLITE_OK);
}

/* ---- small helpers over talvane_invoke ---------------------------------------------------------- */

static talvane_object* get_object(talvane_object* object, const char* name) {
  talvane_variant result = {0};
  CALL(talvane_invoke(object, name, TALVANE_INVOKE_GET, NULL, 0, &result));
  CHECK(result.type == TALVANE_VT_OBJECT && result.value.object != NULL);
  return result.value.object; /* the variant's reference passes to the caller */
}

static int32_t get_int32(talvane_object* object, const char* name) {
  talvane_variant result = {0};
  CALL(talvane_invoke(object, name, TALVANE_INVOKE_GET, NULL, 0, &result));
  CHECK(result.type == TALVANE_VT_INT32);
  return result.value.int32;
}

/* Compares a text result with `expected` and frees it. */
static int text_equals(talvane_variant* text, const char* expected) {
  const int equal = text->type == TALVANE_VT_STRING && text->value.string.length == strlen(expected) &&
                    memcmp(text->value.string.data, expected, text->value.string.length) == 0;
  talvane_variant_clear(text);
  return equal;
}

static int call_text_equals(talvane_object* object, const char* name, const char* argument, const char* expected) {
  talvane_variant arg = {0};
  talvane_variant result = {0};
  if (argument) CALL(talvane_variant_set_string(&arg, argument));
  CALL(talvane_invoke(object, name, TALVANE_INVOKE_METHOD | TALVANE_INVOKE_GET, &arg, argument ? 1 : 0, &result));
  talvane_variant_clear(&arg);
  return text_equals(&result, expected);
}

static void call(talvane_object* object, const char* name) {
  CALL(talvane_invoke(object, name, TALVANE_INVOKE_METHOD, NULL, 0, NULL));
}

static void put(talvane_object* object, const char* name, talvane_variant* value) {
  CALL(talvane_invoke(object, name, TALVANE_INVOKE_PUT, value, 1, NULL));
}

static void put_text(talvane_object* object, const char* name, const char* text) {
  talvane_variant value = {0};
  CALL(talvane_variant_set_string(&value, text));
  put(object, name, &value);
  talvane_variant_clear(&value);
}

static void put_constant(talvane_object* object, const char* name, const char* constant) {
  talvane_variant value = {0};
  int32_t number = 0;
  CALL(talvane_constant(constant, &number));
  talvane_variant_set_int32(&value, number);
  put(object, name, &value);
}

static void put_true(talvane_object* object, const char* name) {
  talvane_variant value = {0};
  talvane_variant_set_bool(&value, 1);
  put(object, name, &value);
}

static void assign(talvane_object* object, const char* name, talvane_object* target) {
  talvane_variant value = {0};
  talvane_variant_set_object(&value, target);
  CALL(talvane_invoke(object, name, TALVANE_INVOKE_PUTREF, &value, 1, NULL));
  talvane_variant_clear(&value);
}

/* ---- the report ------------------------------------------------------------------------------------ */

/* A new formula of the list, reached through the list's default member (the current formula). */
static void add_formula(talvane_object* formulae, const char* name, const char* grouping, const char* text,
                        const char* trimmed) {
  talvane_object* formula = NULL;
  talvane_variant value = {0};
  call(formulae, "AddNew");
  {
    talvane_variant result = {0};
    CALL(talvane_invoke(formulae, NULL, TALVANE_INVOKE_GET, NULL, 0, &result));
    CHECK(result.type == TALVANE_VT_OBJECT);
    formula = result.value.object;
  }
  CHECK(strcmp(talvane_class_name(formula), "Formula") == 0);
  if (name) put_text(formula, "Name", name);
  /* The text goes by reference: the caller's variable comes back trimmed. */
  CALL(talvane_variant_set_string(&value, text));
  put(formula, "Value", &value);
  CHECK(text_equals(&value, trimmed));
  put_constant(formula, "Grouping", grouping);
  talvane_release(formula);
}

static void add_field(talvane_object* fields, const char* reference, const char* output_name, int ordered) {
  talvane_object* field = NULL;
  call(fields, "AddNew");
  field = get_object(fields, "Field");
  put_text(field, "Field", reference);
  if (output_name) put_text(field, "Name", output_name);
  if (ordered) put_true(field, "Ordered");
  talvane_release(field);
}

/* A field added and removed again through Remove(Index) with -1: the position used comes back. */
static void add_and_remove_field(talvane_object* fields) {
  talvane_variant index = {0};
  add_field(fields, "Orders.Amount", NULL, 0);
  talvane_variant_set_int32(&index, -1);
  CALL(talvane_invoke(fields, "remove", TALVANE_INVOKE_METHOD, &index, 1, NULL));
  CHECK(index.type == TALVANE_VT_INT32 && index.value.int32 == 5);
  CHECK(get_int32(fields, "Count") == 4);
}

static void check_errors(talvane_object* report, talvane_object* formulae) {
  talvane_variant arg = {0};
  talvane_object* none = NULL;

  /* A member that raises a bare number: no source, no description. */
  CALL(talvane_variant_set_string(&arg, "Orders.CustID"));
  CHECK(talvane_invoke(report, "MainField", TALVANE_INVOKE_PUT, &arg, 1, NULL) == (talvane_status)0x80040001u);
  CHECK(talvane_last_error_number() == (int32_t)0x80040001u);
  CHECK(strcmp(talvane_last_error_source(), "") == 0);
  CHECK(strcmp(talvane_last_error_description(), "") == 0);

  /* A member error with its source and description, carriage return included. */
  talvane_variant_set_int32(&arg, 99);
  CHECK(talvane_invoke(formulae, "Formula", TALVANE_INVOKE_GET, &arg, 1, NULL) == (talvane_status)0x80040001u);
  CHECK(strcmp(talvane_last_error_source(), "Exception: Exception.Value(Index)") == 0);
  CHECK(strcmp(talvane_last_error_description(), "Exception: Exception.Value(Index)\rIndex out of bounds") == 0);

  /* Errors of the interface itself. */
  CHECK(talvane_invoke(report, "NoSuchMember", TALVANE_INVOKE_GET, NULL, 0, NULL) == TALVANE_E_UNKNOWN_NAME);
  CHECK(talvane_invoke(report, "SQL", TALVANE_INVOKE_METHOD, &arg, 1, NULL) == TALVANE_E_BAD_PARAM_COUNT);
  CHECK(talvane_create("Talvane.NoSuchClass", &none) == TALVANE_E_CLASS_NOT_REGISTERED && none == NULL);

  /* A successful call clears the last error. */
  CHECK(get_int32(formulae, "Count") == 3);
  CHECK(talvane_last_error_number() == 0);
  talvane_variant_clear(&arg);
}

static void check_sets(talvane_object* report) {
  CHECK(call_text_equals(report, "Sets", NULL, "[OpenOrders]"));
  CHECK(call_text_equals(report, "FieldsInSet", "openorders",
                         "[Orders].[OrderID], [Orders].[CustID], [Orders].[Amount], [Orders].[Status], "
                         "[Orders].[OrderDate], [OpenOrders].[LastOrder]"));
}

/* Builds the report and prints its statement. */
static void build_report(const char* connection_string) {
  talvane_object* connection = NULL;
  talvane_object* report = NULL;
  talvane_object* formulae = NULL;
  talvane_object* fields = NULL;
  talvane_variant statement = {0};

  CALL(talvane_open_sqlite(connection_string, &connection));
  CALL(talvane_create("talvane.exception", &report));
  CHECK(talvane_can_unload_now() == TALVANE_FALSE);

  assign(report, "Connection", connection);
  put_text(report, "MainTable", "Customers");
  put_text(report, "MainField", "[CustID]");

  formulae = get_object(report, "Formulae");
  add_formula(formulae, NULL, "kBase", "Customers.Balance > 1000", "Customers.Balance > 1000");
  add_formula(formulae, NULL, "kOr", "\tRegions.RegionName = \"North\"", "Regions.RegionName = \"North\"");
  add_formula(formulae, "OpenOrders", "kAnd", "  Orders.Status = \"Open\"  ", "Orders.Status = \"Open\"");

  fields = get_object(report, "Fields");
  add_field(fields, "Customers.CustID", NULL, 1);
  add_field(fields, "Customers.CustName", "Customer", 0);
  add_field(fields, "Regions.RegionName", NULL, 0);
  add_field(fields, "OpenOrders.OrderDate", "LastOrder", 0);
  add_and_remove_field(fields);

  check_errors(report, formulae);
  check_sets(report);

  CALL(talvane_invoke(report, "SQL", TALVANE_INVOKE_METHOD, NULL, 0, &statement));
  CHECK(statement.type == TALVANE_VT_STRING);
  CHECK(fwrite(statement.value.string.data, 1, statement.value.string.length, stdout) ==
        statement.value.string.length);
  talvane_variant_clear(&statement);

  talvane_release(fields);
  talvane_release(formulae);
  talvane_release(report);
  CHECK(talvane_can_unload_now() == TALVANE_FALSE); /* the connection is still held */
  talvane_release(connection);
}

/* The server's entry points as a host of the component platform uses them. */
static void check_server(void) {
  talvane_factory* factory = NULL;
  talvane_object* node = NULL;
  talvane_object* formula = NULL;
  const char* interface_name = NULL;
  int32_t count = 0;

  CALL(talvane_register_server());
  CALL(talvane_get_class_object("{a9381238-f82c-4654-ab6f-24c12c49b276}", &factory));
  CALL(talvane_factory_create_instance(factory, "{57C4F836-3874-4E7C-A480-7254FE7B0ECA}", &node));
  CALL(talvane_interface_of(node, &interface_name, NULL));
  CHECK(strcmp(interface_name, "_INode") == 0);
  CALL(talvane_query_interface(node, "_Formula", &formula));
  CHECK(talvane_is_same_object(node, formula));
  CALL(talvane_member_count(formula, &count));
  CHECK(count > 0);
  CHECK(talvane_live_objects() == 2);
  talvane_release(node);
  talvane_release(formula);
  CHECK(talvane_can_unload_now() == TALVANE_OK);

  CALL(talvane_factory_lock_server(factory, 1));
  CHECK(talvane_can_unload_now() == TALVANE_FALSE);
  CALL(talvane_factory_lock_server(factory, 0));
  talvane_factory_release(factory);
  CALL(talvane_unregister_server());
}

int main(int argc, char** argv) {
  const char* provider = argc > 2 ? argv[2] : "SQLOLEDB.1";
  char connection_string[4096];
  if (argc < 2) {
    fprintf(stderr, "usage: %s <database file> [provider]\n", argv[0]);
    return 2;
  }
  CHECK(snprintf(connection_string, sizeof connection_string, "Provider=%s;Data Source=%s", provider, argv[1]) <
        (int)sizeof connection_string);
  create_database(argv[1]);

  CHECK(talvane_can_unload_now() == TALVANE_OK);
  build_report(connection_string);
  CHECK(talvane_live_objects() == 0);
  CHECK(talvane_can_unload_now() == TALVANE_OK);
  check_server();
  CHECK(talvane_can_unload_now() == TALVANE_OK);
  return 0;
}
