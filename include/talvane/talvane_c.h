/*
 * The C interface of Talvane: create the library's objects by class name or class identifier, call
 * their members late-bound with variant arguments, and read the last error of the calling thread.
 *
 * Conventions:
 * - Every function that can fail returns a talvane_status: TALVANE_OK (0) on success, otherwise the
 *   error number. The number, source and description of the failure are kept per thread until the
 *   next call into the library from that thread (talvane_last_error_*); a successful call clears them.
 * - Objects are reference counted: a talvane_object* received from the library holds one reference,
 *   which the caller gives back with talvane_release.
 * - A talvane_variant must be initialised before the library writes to it (talvane_variant_init, or
 *   a zero-filled struct, which is the empty variant). The library clears what a variant held before
 *   it writes a new value; talvane_variant_clear frees its text or releases its object.
 * - Text is UTF-8; a text variant also carries its length, so text may hold any byte.
 * - No C++ exception leaves the library.
 */
#ifndef TALVANE_TALVANE_C_H
#define TALVANE_TALVANE_C_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(TALVANE_C_BUILDING)
#define TALVANE_C_API __declspec(dllexport)
#else
#define TALVANE_C_API __declspec(dllimport)
#endif
#else
#define TALVANE_C_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t talvane_status;
#define TALVANE_OK 0
/* "No" from talvane_can_unload_now. */
#define TALVANE_FALSE 1

/* Errors raised by the interface itself (the library's own members raise their published numbers). */
#define TALVANE_E_MEMBER_NOT_FOUND ((talvane_status)0x80020003u)
#define TALVANE_E_TYPE_MISMATCH ((talvane_status)0x80020005u)
#define TALVANE_E_UNKNOWN_NAME ((talvane_status)0x80020006u)
#define TALVANE_E_OVERFLOW ((talvane_status)0x8002000Au)
#define TALVANE_E_BAD_PARAM_COUNT ((talvane_status)0x8002000Eu)
#define TALVANE_E_NO_INTERFACE ((talvane_status)0x80004002u)
#define TALVANE_E_OBJECT_NOT_SET ((talvane_status)0x80004003u)
#define TALVANE_E_UNEXPECTED ((talvane_status)0x80004005u)
#define TALVANE_E_OUT_OF_MEMORY ((talvane_status)0x8007000Eu)
#define TALVANE_E_INVALID_ARGUMENT ((talvane_status)0x80070057u)
#define TALVANE_E_CLASS_NOT_REGISTERED ((talvane_status)0x80040154u)
#define TALVANE_E_CLASS_NOT_AVAILABLE ((talvane_status)0x80040111u)

typedef struct talvane_object talvane_object;
typedef struct talvane_factory talvane_factory;

/* ------------------------------------------------------------------------------------------------ */
/* Variants                                                                                         */

typedef enum talvane_variant_type {
  TALVANE_VT_EMPTY = 0,
  TALVANE_VT_BOOL = 1,
  TALVANE_VT_INT32 = 2,
  TALVANE_VT_DOUBLE = 3,
  TALVANE_VT_STRING = 4,
  TALVANE_VT_OBJECT = 5
} talvane_variant_type;

/** A value passed to or returned by a late-bound call: empty, a boolean, a 32-bit integer, a double, a text or an object. */
typedef struct talvane_variant {
  /** Which member of value holds the value (a talvane_variant_type). */
  int32_t type; /* a talvane_variant_type */
  /** The value itself, in the member type names. */
  union {
    int32_t boolean; /* 0 or 1 */
    int32_t int32;
    double number;
    struct {
      char* data; /* owned by the variant; NUL-terminated */
      size_t length;
    } string;
    talvane_object* object; /* one reference owned by the variant; NULL is Nothing */
  } value;
} talvane_variant;

TALVANE_C_API void talvane_variant_init(talvane_variant* v);
TALVANE_C_API void talvane_variant_clear(talvane_variant* v);
TALVANE_C_API void talvane_variant_set_bool(talvane_variant* v, int32_t value);
TALVANE_C_API void talvane_variant_set_int32(talvane_variant* v, int32_t value);
TALVANE_C_API void talvane_variant_set_double(talvane_variant* v, double value);
/* Copies the text. */
TALVANE_C_API talvane_status talvane_variant_set_string(talvane_variant* v, const char* text);
TALVANE_C_API talvane_status talvane_variant_set_string_n(talvane_variant* v, const char* text, size_t length);
/* Takes a reference of its own on the object (NULL gives Nothing). */
TALVANE_C_API void talvane_variant_set_object(talvane_variant* v, talvane_object* object);

/* ------------------------------------------------------------------------------------------------ */
/* Objects                                                                                          */

/* By host-visible name ("Talvane.Exception") or braced class identifier text, any letter case. */
TALVANE_C_API talvane_status talvane_create(const char* name_or_clsid, talvane_object** out);
/* Opens a SQLite database from an ADO-style connection string
 * ("Provider=SQLOLEDB.1;Data Source=orders.db"); the result is a connection object. */
TALVANE_C_API talvane_status talvane_open_sqlite(const char* connection_string, talvane_object** out);

TALVANE_C_API void talvane_addref(talvane_object* object);
TALVANE_C_API void talvane_release(talvane_object* object);
/* 1 when both reach the same object (through any interface), else 0. */
TALVANE_C_API int32_t talvane_is_same_object(const talvane_object* a, const talvane_object* b);
/* "Formula", "Exception", ..., or "Connection"; NULL for NULL. */
TALVANE_C_API const char* talvane_class_name(const talvane_object* object);
/* A new reference through another interface of the object, by identifier text or name ("_INode"). */
TALVANE_C_API talvane_status talvane_query_interface(talvane_object* object, const char* iid_or_name,
                                                     talvane_object** out);

/* ------------------------------------------------------------------------------------------------ */
/* Late-bound calls                                                                                  */

#define TALVANE_INVOKE_METHOD 1
#define TALVANE_INVOKE_GET 2
#define TALVANE_INVOKE_PUT 4
#define TALVANE_INVOKE_PUTREF 8

/* Member names are compared without regard to letter case; NULL or "" names the default member.
 * Arguments come in call order; a write takes its new value as the last argument. Arguments passed
 * by reference are written back into args (also when the member fails). result may be NULL. */
TALVANE_C_API talvane_status talvane_invoke(talvane_object* object, const char* name, int32_t flags,
                                            talvane_variant* args, int32_t argc, talvane_variant* result);
TALVANE_C_API talvane_status talvane_invoke_id(talvane_object* object, int32_t dispid, int32_t flags,
                                               talvane_variant* args, int32_t argc, talvane_variant* result);
TALVANE_C_API talvane_status talvane_id_of_name(const talvane_object* object, const char* name, int32_t* dispid);

/* ------------------------------------------------------------------------------------------------ */
/* The last error of the calling thread                                                             */

TALVANE_C_API int32_t talvane_last_error_number(void);
/* Never NULL; "" when there is none. Valid until the next call into the library from this thread. */
TALVANE_C_API const char* talvane_last_error_source(void);
TALVANE_C_API const char* talvane_last_error_description(void);

/* ------------------------------------------------------------------------------------------------ */
/* Type information                                                                                  */

#define TALVANE_MEMBER_METHOD 1
#define TALVANE_MEMBER_GET 2
#define TALVANE_MEMBER_PUT 4
#define TALVANE_MEMBER_PUTREF 8

/** The type library's identity, as talvane_library gives it. */
typedef struct talvane_library_info {
  /** The library's name. */
  const char* name;
  /** Its description. */
  const char* description;
  /** The major version of the type library. */
  uint16_t major_version;
  /** The minor version of the type library. */
  uint16_t minor_version;
  /** The locale identifier. */
  uint32_t locale;
  /** The library's identifier, as braced text. */
  const char* id; /* braced identifier text */
} talvane_library_info;

/** One member of an interface: its name, dispatch id, kind (TALVANE_MEMBER_*), parameter count and result type. */
typedef struct talvane_member_info {
  /** The member's name. */
  const char* name;
  /** Its dispatch id, as talvane_invoke_id takes it. */
  int32_t dispid;
  /** A TALVANE_MEMBER_* value: a method, a property read or a property write. */
  int32_t kind; /* TALVANE_MEMBER_* */
  /** The number of parameters. */
  int32_t param_count;
  /** The type name of the result ("" when the member returns nothing). */
  const char* result_type; /* "" when the member returns nothing */
} talvane_member_info;

/** One parameter of a member. */
typedef struct talvane_param_info {
  /** The parameter's name. */
  const char* name;
  /** "String", "Long", "Boolean", an enumeration or a class name. */
  const char* type_name; /* "String", "Long", "Boolean", an enumeration or a class name */
  /** 1 when the argument is passed by reference (written back after the call). */
  int32_t by_ref;
  /** 1 when the argument may be left out. */
  int32_t optional;
  /** 1 when an optional argument has a default value. */
  int32_t has_default;
  /** The default value, when has_default. */
  int32_t default_value; /* when has_default */
} talvane_param_info;

/* All strings handed out here live as long as the library. */
TALVANE_C_API void talvane_library(talvane_library_info* out);
/* The interface an object is called through: its name ("_Formula") and identifier text. */
TALVANE_C_API talvane_status talvane_interface_of(const talvane_object* object, const char** name, const char** iid);
/* Members in published order, one entry per half of a property. */
TALVANE_C_API talvane_status talvane_member_count(const talvane_object* object, int32_t* count);
TALVANE_C_API talvane_status talvane_member(const talvane_object* object, int32_t index, talvane_member_info* out);
TALVANE_C_API talvane_status talvane_param(const talvane_object* object, int32_t member, int32_t index,
                                           talvane_param_info* out);
/* The value of a published constant (kIsNumeric, ERR_FIELD_FNF, kSQLite, ...). */
TALVANE_C_API talvane_status talvane_constant(const char* name, int32_t* value);

/* The dialects of DATABASETYPEENU, which Exception.DatabaseType reads; the connection string's provider
   chooses one (Microsoft.Jet.OLEDB.4.0: Access; SQLite: SQLite; PostgreSQL: PostgreSQL; any other or none:
   SQL Server). */
typedef enum talvane_database_type {
  TALVANE_DATABASE_ACCESS = 0,
  TALVANE_DATABASE_SQLSERVER = 1,
  TALVANE_DATABASE_SQLITE = 2,
  TALVANE_DATABASE_POSTGRESQL = 3
} talvane_database_type;

/* ------------------------------------------------------------------------------------------------ */
/* The in-process server's entry points                                                             */

/* The class factory for a braced class identifier. */
TALVANE_C_API talvane_status talvane_get_class_object(const char* clsid, talvane_factory** out);
/* iid may be NULL for the default interface. */
TALVANE_C_API talvane_status talvane_factory_create_instance(talvane_factory* factory, const char* iid,
                                                             talvane_object** out);
TALVANE_C_API talvane_status talvane_factory_lock_server(talvane_factory* factory, int32_t lock);
TALVANE_C_API void talvane_factory_release(talvane_factory* factory);
/* TALVANE_OK when no object is alive and no factory holds a lock, TALVANE_FALSE otherwise. */
TALVANE_C_API talvane_status talvane_can_unload_now(void);
TALVANE_C_API int32_t talvane_live_objects(void);
/* There is no system registry: both succeed and change nothing. */
TALVANE_C_API talvane_status talvane_register_server(void);
TALVANE_C_API talvane_status talvane_unregister_server(void);

#ifdef __cplusplus
}
#endif

#endif /* TALVANE_TALVANE_C_H */
