#pragma once
// Published enumerations: node kinds, data types, dialects, groupings and error numbers.
#include <cstdint>

namespace talvane {

enum ITEMTYPEENU : int32_t {
  kLiteral = 0,
  kField = 1,
  kArith = 2,
  kComparisson = 3,
  kSection = 4,
  kOpenSection = 5,
  kSeperator = 6,
  kFormula = 7,
};

enum ITEMDATATYPEENUM : int32_t {
  kIsString = 0,
  kIsNumeric = 1,
  kIsDate = 2,
  kIsTime = 3,
  kIsBoolean = 4,
};

enum DATABASETYPEENU : int32_t {
  kAccess = 0,
  kSQLServer = 1,
  kSQLite = 2,
  kPostgreSQL = 3,
};

enum GROUPTYPEENU : int32_t {
  kBase = 0,
  kAnd = 1,
  kOr = 2,
};

/// Object error numbers are 0x80040000 plus a small offset; as signed 32-bit values they are negative.
constexpr int32_t ObjectError(uint32_t offset) { return static_cast<int32_t>(0x80040000u + offset); }

enum ERR_INODE : int32_t {
  ERR_INDEX_OOB = ObjectError(1),
  ERR_DATATYPE = ObjectError(2),
  ERR_ITEMTYPE = ObjectError(3),
  ERR_CNN_CLOSED = ObjectError(4),
};

enum ERR_EXCEPT : int32_t {
  ERR_EXCEPT_INDEX_OOB = ObjectError(1),
  ERR_EXCEPT_INVALID_MAINFIELD = ObjectError(1),
  ERR_EXCEPT_DATATYPE = ObjectError(2),
  ERR_EXCEPT_INVALID_MAINTABLE = ObjectError(2),
  ERR_EXCEPT_ITEMTYPE = ObjectError(3),
  ERR_EXCEPT_BADLY_FORMED_SEL_FIELD = ObjectError(3),
  ERR_EXCEPT_CNN_CLOSED = ObjectError(4),
};

enum ERR_FORM : int32_t {
  ERR_FORM_CNN_CLOSED = ObjectError(1),
  ERR_FORM_DATATYPE = ObjectError(2),
  ERR_FORM_INDEX_OOB = ObjectError(3),
  ERR_FORM_ITEMTYPE = ObjectError(4),
};

enum ERR_FIELDLST : int32_t {
  ERR_FIELDLST_CNN_CLOSED = ObjectError(1),
  ERR_FIELDLST_DATATYPE = ObjectError(2),
  ERR_FIELDLST_INDEX_OOB = ObjectError(3),
  ERR_FIELDLST_ITEMTYPE = ObjectError(4),
};

enum ERR_FIELD : int32_t {
  ERR_FIELD_CNN_CLOSED = ObjectError(1),
  ERR_FIELD_INDEX_OOB = ObjectError(2),
  ERR_FIELD_FNF = ObjectError(3),
  ERR_FIELD_FORMAT = ObjectError(4),
  ERR_FIELD_INVALIDORDERPOS = ObjectError(5),
  ERR_FIELD_INVALIDORDERDIR = ObjectError(6),
  ERR_FIELD_INVALIDAGGRAGATE = ObjectError(7),
};

/// The splitter's syntax error has a number of its own that no enumeration names.
constexpr int32_t kParseItemError = ObjectError(6);

}  // namespace talvane
