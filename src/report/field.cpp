#include "talvane/report/field.hpp"

#include <algorithm>
#include <array>

#include "foundation/number_text.hpp"
#include "report/field_errors.hpp"
#include "talvane/db/schema_scope.hpp"
#include "talvane/foundation/ascii_text.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field_list.hpp"

namespace talvane {

namespace {

constexpr std::string_view kFieldSource = "Exception: Field.Field";
constexpr std::string_view kNameSource = "Exception: Field.Name";

constexpr std::array<std::string_view, 6> kAggregateFunctions{"SUM", "COUNT", "MAX", "MIN", "AVG", "TOTAL"};

class MadeField final : public Field {};


[[noreturn]] void RaiseBadFormat() { Raise(ERR_FIELD_FORMAT, kFieldSource, "Invalid field format"); }

[[noreturn]] void RaiseNotInSet(std::string_view source) { Raise(ERR_FIELD_FORMAT, source, "Field is not in a set"); }

}  // namespace

std::shared_ptr<Field> Field::Create() { return std::make_shared<MadeField>(); }

void Field::Clear() {
  name_.clear();
  fieldName_.clear();
  table_.clear();
  setName_.clear();
  list_.reset();
  connection_.reset();
}

bool Field::IsInSet() const { return !setName_.empty(); }
std::string Field::Table() const { return AddBrackets(table_); }
bool Field::Aggragate() const { return !aggregateFunction_.empty(); }
std::string Field::AggragateFunction() const { return aggregateFunction_; }

void Field::SetAggragateFunction(std::string_view value) {
  std::string function = UpperAscii(TrimWhitespace(value));
  if (std::find(kAggregateFunctions.begin(), kAggregateFunctions.end(), function) == kAggregateFunctions.end()) {
    Raise(ERR_FIELD_INVALIDAGGRAGATE, "Exception: Field.AggragateFunction",
          "Invalid aggragate function. Must be 'SUM', 'COUNT', 'MAX', 'MIN', 'AVG', or 'TOTAL'.");
  }
  aggregateFunction_ = std::move(function);
}

std::string Field::FieldOnly() const { return AddBrackets(fieldName_); }

void Field::SetFieldOnly(std::string_view value) {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  if (value.empty() || value.find('.') != std::string_view::npos) RaiseBadFormat();
  const std::string column = StripBrackets(value);
  if (!CanBracket(column)) RaiseBadFormat();
  RequireList(kFieldSource);
  // The column is looked for in the table the field already has.
  LocateAndName(table_, column);
}

std::string Field::Value() const { return AddBrackets(table_ + "." + fieldName_); }

void Field::SetValue(std::string_view value) {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  // Well formed: a dot with text on both sides, and not a number such as 1.5.
  const auto dot = value.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 >= value.size() || detail::ReadsAsNumber(value)) {
    RaiseBadFormat();
  }
  // Both parts go into SQL between brackets, in the probe and in the statement, even when the database
  // really has a table or column of that name.
  const std::string table = StripBrackets(value.substr(0, dot));
  const std::string column = StripBrackets(value.substr(dot + 1));
  if (!CanBracket(table) || !CanBracket(column)) RaiseBadFormat();
  RequireList(kFieldSource);
  LocateAndName(table, column);
}

// Looks the column up and gives an unnamed field its column name; a failure puts everything back.
void Field::LocateAndName(std::string_view tables, std::string_view column) {
  const Located before = Save();
  const std::string tableList(tables);
  const std::string columnName(column);
  try {
    TestField(tableList, columnName);
    if (name_.empty()) name_ = UniqueName(fieldName_);
  } catch (...) {
    Restore(before);
    throw;
  }
}

std::string Field::FieldInSet() const {
  if (setName_.empty()) RaiseNotInSet("Exception: Field.FieldInSet");
  return AddBrackets(setName_ + "." + (name_.empty() ? fieldName_ : name_));
}

std::string Field::NameOfSet() const {
  if (setName_.empty()) RaiseNotInSet("Exception: Field.NameOfSet");
  return AddBrackets(setName_);
}

bool Field::Total() const { return total_; }
void Field::SetTotal(bool value) { total_ = value; }

std::string Field::OrderDirection() const { return ascending_ ? "Ascending" : "Descending"; }

void Field::SetOrderDirection(std::string_view value) {
  const std::string direction = UpperAscii(value);
  if (direction == "ASCENDING") {
    ascending_ = true;
  } else if (direction == "DESCENDING") {
    ascending_ = false;
  } else {
    Raise(ERR_FIELD_INVALIDORDERDIR, "Field.OderDirection",
          "Invalid order direction. Must be 'Ascending' or 'Descending'.");
  }
}

std::string Field::Name() const { return name_.empty() ? std::string() : "[" + name_ + "]"; }

void Field::SetName(std::string_view value) {
  std::string candidate = StripBrackets(TrimWhitespace(value));
  // A bracket or NUL byte left inside would break the [name] the statement writes.
  if (!CanBracket(candidate)) Raise(ERR_FIELD_FORMAT, kNameSource, "Invalid field name");
  const auto list = RequireList(kNameSource);
  if (candidate.empty()) {
    candidate = fieldName_;
  } else {
    const auto owner = list->Parent();
    if (!owner) Raise(detail::kFieldNoListNumber, kNameSource, detail::kFieldNoReportMessage);
    // Only the field that shows the main field's column may carry its name.
    const std::string mainField = StripBrackets(owner->MainField());
    if (EqualsIgnoreCase(candidate, mainField) && !EqualsIgnoreCase(fieldName_, mainField)) candidate = fieldName_;
  }
  name_ = UniqueName(candidate);
}

void Field::SetConnection(const std::shared_ptr<db::Connection>& connection) { connection_ = connection; }
void Field::SetParentList(const std::shared_ptr<FieldList>& list) { list_ = list; }

Field::Located Field::Save() const { return Located{name_, fieldName_, table_, setName_, total_}; }

void Field::Restore(const Located& state) {
  name_ = state.name;
  fieldName_ = state.fieldName;
  table_ = state.table;
  setName_ = state.setName;
  total_ = state.total;
}

std::shared_ptr<FieldList> Field::RequireList(std::string_view source) const {
  auto list = list_.lock();
  if (!list) Raise(detail::kFieldNoListNumber, source, detail::kFieldNoListMessage);
  return list;
}

Field::Siblings Field::ListFields(std::string_view source) const {
  const auto list = RequireList(source);
  Siblings fields;
  fields.reserve(static_cast<std::size_t>(list->Count()));
  for (int32_t i = 1; i <= list->Count(); ++i) fields.push_back(list->Field(i));
  return fields;
}

// A clashing name gets its numeric tail raised by one (Amount, Amount1, Amount2; Amount9, Amount10);
// the first character never counts as tail, so 123 becomes 124 and 5 becomes 51.
std::string Field::UniqueName(std::string_view candidate) const {
  const Siblings fields = ListFields(kNameSource);
  std::string name(candidate);
  for (;;) {
    if (EqualsIgnoreCase(name, name_)) return name;
    const bool clash = std::any_of(fields.begin(), fields.end(), [&](const std::shared_ptr<talvane::Field>& field) {
      return EqualsIgnoreCase(StripBrackets(field->Name()), name);
    });
    if (!clash) return name;
    const std::size_t tail = std::min(detail::TrailingDigitCount(name), name.empty() ? 0 : name.size() - 1);
    const std::string head = name.substr(0, name.size() - tail);
    name = head + detail::IncrementDigits(std::string_view(name).substr(name.size() - tail));
  }
}

}  // namespace talvane
