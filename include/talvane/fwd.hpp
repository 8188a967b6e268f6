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
/// Reaches library-internal members (used by the library's own tests and tools).
struct Access;
/// The library's access to INode's internal members.
struct NodeAccess;
/// Marks the formula above a changed node with a new revision.
class ChangeNote;
/// The index of a report's sets, kept from one use to the next.
class SetIndex;
}  // namespace detail
}  // namespace talvane
