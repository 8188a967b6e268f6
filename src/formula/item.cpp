#include "talvane/formula/item.hpp"

#include <utility>

#include "formula/change_note.hpp"
#include "formula/formula_tree.hpp"
#include "formula/level_two_items.hpp"
#include "foundation/number_text.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/db/recordset.hpp"
#include "talvane/db/schema_cache.hpp"
#include "talvane/db/schema_lookup.hpp"
#include "talvane/db/schema_scope.hpp"
#include "talvane/formula/classify_item.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/date_time.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"

namespace talvane {

namespace {

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

constexpr std::string_view kValueSource = "Exception: Item.Value";
constexpr std::string_view kInvalidFieldFormat = "Invalid field format for item";
constexpr int16_t kEarliestDateYear = 1700;

// The data type of a column from its ADO type code; false for a code that maps to none.
bool DataTypeOfColumn(int32_t adoType, ITEMDATATYPEENUM& out) {
  switch (adoType) {
    case 2: case 3: case 4: case 5: case 6: case 14: case 16: case 17: case 18: case 19: case 20: case 21:
    case 131: case 139:
      out = kIsNumeric;
      return true;
    case 7: case 133: case 135:
      out = kIsDate;
      return true;
    case 134:
      out = kIsTime;
      return true;
    case 11:
      out = kIsBoolean;
      return true;
    case 129: case 130: case 200: case 202:
      out = kIsString;
      return true;
    default:
      return false;
  }
}

// Probe failures that mean "no such table or column here": the table part then names a set.
bool MeansSetReference(int32_t number) {
  return number == db::kErrNoCurrentRecord || number == db::kErrItemNotFound || number == db::kErrNoSuchTable;
}

// A part of a field reference that is empty or holds a square bracket or NUL byte of its own cannot name a
// column: a "]" inside would end the bracketed name early in the SQL built from it.
bool IsUsableNamePart(std::string_view part) { return !part.empty() && CanBracket(part); }

}  // namespace

std::shared_ptr<Item> Item::Create() {
  struct Made final : Item {};
  return std::make_shared<Made>();
}

bool Item::Valid() const {
  // Level 2 has the empty string ""; level 1 takes an empty item as missing.
  if (value_.empty()) return itemType_ == kLiteral && dataType_ == kIsString && tree::LanguageLevelOf(parent_.lock()) == 2;
  return true;
}

ITEMTYPEENU Item::ItemType() const { return itemType_; }

void Item::SetItemType(ITEMTYPEENU value) {
  const detail::ChangeNote note(this);
  if (value == kSection || value == kSeperator) {
    Raise(ERR_ITEMTYPE, "Exception: Item.ItemType", "Cannot assig kSection or kSeperator to an Item class");
  }
  itemType_ = value;
}

std::string Item::Name() const { return name_.empty() ? std::string() : AddBrackets(name_); }

void Item::SetName(std::string_view value) {
  const detail::ChangeNote note(this);
  // Sections pass a formula's name on as it was written; blanks around it must not end up inside the
  // bracketed set name that stands in for the table.
  std::string name = tree::BareSetName(value);
  // The name stands in for the table between brackets: [name].[field].
  if (!tree::IsUsableSetName(name)) Raise(ERR_ITEMTYPE, "Exception: Item.Name", "Invalid set name");
  name_ = std::move(name);
}

std::shared_ptr<INode> Item::Parent() const { return parent_.lock(); }

void Item::SetParent(const std::shared_ptr<INode>& value) {
  detail::ChangeNote::Mark(this);  // the tree it leaves
  const detail::ChangeNote note(this);
  parent_ = value;
}

std::string Item::Value() const {
  if (itemType_ == kLiteral && dataType_ == kIsString) return "\"" + ReplaceAll(value_, "\"", "\"\"") + "\"";
  if (itemType_ == kField) return AddBrackets(value_);
  return value_;
}

void Item::SetValue(std::string& text) {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  const detail::ChangeNote note(this);
  if (!tree::ConnectionIsOpen(connection_)) Raise(ERR_CNN_CLOSED, kValueSource, "Connection not open");
  // The splitter never cuts a NUL byte into an item; a host writing an item directly may not either.
  if (text.find('\0') != std::string::npos) Raise(ERR_ITEMTYPE, kValueSource, "Invalid character in item");
  // TODAY and NOW are words only level 2 reads as literals; elsewhere they name a field like any word.
  const bool clock = detail::IsDatabaseClock(text) && tree::LanguageLevelOf(parent_.lock()) == 2;
  if (clock) text = UpperAscii(text);
  const ITEMTYPEENU kind = clock ? kLiteral : ClassifyItem(text);
  StoreValue(text, kind);
}

int32_t Item::Count() const { return 0; }

DATABASETYPEENU Item::DatabaseType() const { return databaseType_; }

void Item::SetDatabaseType(DATABASETYPEENU value) {
  const detail::ChangeNote note(this);
  databaseType_ = value;
}

void Item::Clear() {
  detail::ChangeNote::Mark(this);  // the tree it leaves
  const detail::ChangeNote note(this);
  parent_.reset();
  value_.clear();
  name_.clear();
  dataType_ = kIsString;
  columnType_ = 0;
  itemType_ = kField;
}

ITEMDATATYPEENUM Item::DataType() const { return dataType_; }

void Item::SetDataType(ITEMDATATYPEENUM value) {
  const detail::ChangeNote note(this);
  dataType_ = value;
}

std::string Item::Field() const {
  constexpr std::string_view kSource = "Exception: Item.Field";
  if (itemType_ != kField) Raise(ERR_ITEMTYPE, kSource, "Field cannot be accessed for non field item");
  const std::size_t dot = value_.find('.');
  if (dot == std::string::npos || dot + 1 == value_.size()) Raise(ERR_ITEMTYPE, kSource, kInvalidFieldFormat);
  return AddBrackets(std::string_view(value_).substr(dot + 1));
}

std::string Item::Table() const {
  constexpr std::string_view kSource = "Exception: Item.Table";
  if (itemType_ != kField) Raise(ERR_ITEMTYPE, kSource, "Table cannot be accessed for non field item");
  const std::size_t dot = value_.find('.');
  if (dot == std::string::npos || dot == 0) Raise(ERR_ITEMTYPE, kSource, kInvalidFieldFormat);
  return AddBrackets(std::string_view(value_).substr(0, dot));
}

bool Item::IsInSet(std::string_view SetName) const {
  if (!setReference_) return false;
  return UpperAscii(StripBrackets(Table())) == UpperAscii(StripBrackets(SetName));
}

std::shared_ptr<INode> Item::Child(int32_t) const {
  Raise(ERR_INDEX_OOB, "Exception: (Item)INode.Child", "Index out of bounds");
}

void Item::SetChild(int32_t, const std::shared_ptr<INode>&) {
  Raise(ERR_INDEX_OOB, "Exception: (Item)INode.Child", "Index out of bounds");
}

std::shared_ptr<db::Connection> Item::Connection() const { return connection_; }

void Item::SetConnection(const std::shared_ptr<db::Connection>& connection) {
  const detail::ChangeNote note(this);
  connection_ = connection;
}

void Item::StoreValue(const std::string& text, ITEMTYPEENU kind) {
  itemType_ = kind;
  switch (kind) {
    case kField:
      value_ = text;
      CheckField(text);
      break;
    case kArith:
      value_ = text;
      break;
    case kLiteral:
      StoreLiteral(text);
      break;
    default:
      break;  // other kinds keep the text they had
  }
}

void Item::StoreLiteral(const std::string& text) {
  if (IsValidDate(text, true, kEarliestDateYear) || text == "TODAY" || text == "NOW" || IsValidDate(text, false, kEarliestDateYear)) {
    dataType_ = kIsDate;
  } else if (detail::IsNumberText(text)) {
    dataType_ = kIsNumeric;
  } else if (const std::string upper = UpperAscii(text); upper == "TRUE" || upper == "FALSE") {
    dataType_ = kIsBoolean;
  } else if (IsValidTime(text)) {
    dataType_ = kIsTime;
  } else {
    // Level 2 reads "" inside a string as one double quote; level 1 drops every quote.
    const bool levelTwoString = text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
                                tree::LanguageLevelOf(parent_.lock()) == 2;
    value_ = levelTwoString ? ReplaceAll(text.substr(1, text.size() - 2), "\"\"", "\"")
                            : CleanText(text, kCleanRemove, "\"");
    dataType_ = kIsString;
    return;
  }
  value_ = text;
}

void Item::CheckField(const std::string& text) {
  try {
    LookupFieldType(StripBrackets(text));
    return;
  } catch (const Error& e) {
    if (!MeansSetReference(e.Number())) throw;
  }
  // No such table or column: the table part names a set, which the owning report resolves.
  dataType_ = kIsString;
  setReference_ = true;
  const std::shared_ptr<talvane::Exception> owner = OwningException();
  if (!owner) {
    Raise(ERR_ITEMTYPE, kValueSource,
          "Table or column not found, and the item belongs to no report whose sets could supply it");
  }
  owner->ResolveSetFields(std::static_pointer_cast<Item>(shared_from_this()));
}

ITEMDATATYPEENUM Item::LookupFieldType(const std::string& reference) {
  const std::size_t dot = reference.find('.');
  if (dot == std::string::npos) Raise(ERR_ITEMTYPE, kValueSource, kInvalidFieldFormat);
  const std::string table = StripBrackets(std::string_view(reference).substr(0, dot));
  const std::string column = StripBrackets(std::string_view(reference).substr(dot + 1));
  if (!IsUsableNamePart(table) || !IsUsableNamePart(column)) Raise(ERR_ITEMTYPE, kValueSource, kInvalidFieldFormat);
  if (!connection_) Raise(ERR_CNN_CLOSED, kValueSource, "Connection not open");

  // The probe SELECT * FROM [table] ; asked once per table and kept by the connection.
  const int32_t adoType = connection_->Schema().QueryColumnType(table, column);
  if (DataTypeOfColumn(adoType, dataType_)) columnType_ = adoType;
  return dataType_;
}

std::shared_ptr<talvane::Exception> Item::OwningException() const {
  std::shared_ptr<INode> node = parent_.lock();
  for (int32_t steps = 0; node && steps < tree::kMaxParentWalk; ++steps) {
    if (node->ItemType() == kFormula) {
      const auto formula = std::dynamic_pointer_cast<Formula>(node);
      return formula ? formula->OwningException() : nullptr;
    }
    node = node->Parent();
  }
  return nullptr;
}

}  // namespace talvane
