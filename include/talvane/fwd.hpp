#pragma once
// Forward declarations of the object model.
namespace talvane {
class INode;
class Item;
class Section;
class Formula;
class FormulaList;
class Field;
class FieldList;
class Exception;
namespace db {
class Connection;
class Recordset;
}  // namespace db
namespace detail {
// Reaches library-internal members (used by the library's own tests and tools).
struct Access;
}  // namespace detail
}  // namespace talvane
