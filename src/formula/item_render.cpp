// Rendering of items as SQL. Every difference between the two dialects lives in the table of traits
// below; the renderers consult it instead of testing the dialect themselves.
#include "talvane/formula/item.hpp"

#include <cstdio>

#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/date_time.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

constexpr std::string_view kSqlSource = "Exception: Item.SQL";

// Text between apostrophes, with every apostrophe inside doubled.
std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  out += '\'';
  return out;
}

std::string TwoDigits(int32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", static_cast<int>(value));
  return buffer;
}

std::string FourDigits(int32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d", static_cast<int>(value));
  return buffer;
}

std::string SqlServerDate(const CalendarDate& d) {
  return "CONVERT(DATETIME, '" + FourDigits(d.year) + "-" + TwoDigits(d.month) + "-" + TwoDigits(d.day) +
         " 00:00:00', 102)";
}
std::string AccessDate(const CalendarDate& d) {
  return "#" + TwoDigits(d.month) + "/" + TwoDigits(d.day) + "/" + FourDigits(d.year) + "#";
}

// A time literal must reach the database as a time value, not as the bare text 12:30, which neither
// dialect can parse.
std::string SqlServerTime(std::string_view text) { return Quoted(text); }
std::string AccessTime(std::string_view text) { return "#" + std::string(text) + "#"; }

std::string SqlServerBoolean(std::string_view text) {
  if (text == "True") return "1";
  if (text == "False") return "0";
  return {};
}
std::string AccessBoolean(std::string_view text) { return std::string(text); }

// A missing value of a numeric column counts as 0.
std::string SqlServerNumericColumn(const std::string& ref) { return "ISNULL(" + ref + ", 0)"; }
std::string AccessNumericColumn(const std::string& ref) { return "IIF(ISNULL(" + ref + "), 0, " + ref + ")"; }

// A non-text column inside a text expression is converted explicitly (dates in style 3, dd/mm/yy).
std::string SqlServerAsText(const std::string& column, ITEMDATATYPEENUM type) {
  return "CONVERT(nvarchar, " + column + (type == kIsDate ? ", 3)" : ", 0)");
}

struct DialectTraits {
  DATABASETYPEENU dialect;
  std::string (*dateLiteral)(const CalendarDate&);
  std::string (*timeLiteral)(std::string_view);
  std::string (*booleanLiteral)(std::string_view);
  std::string (*numericColumn)(const std::string&);
  // Null when the dialect mixes types in text expressions without an explicit conversion.
  std::string (*columnAsText)(const std::string&, ITEMDATATYPEENUM);
};

constexpr DialectTraits kDialects[] = {
    {kSQLServer, SqlServerDate, SqlServerTime, SqlServerBoolean, SqlServerNumericColumn, SqlServerAsText},
    {kAccess, AccessDate, AccessTime, AccessBoolean, AccessNumericColumn, nullptr},
};

// Null for a value outside the enumeration; such an item renders dates, times and booleans as nothing.
const DialectTraits* TraitsOf(DATABASETYPEENU dialect) {
  for (const DialectTraits& traits : kDialects) {
    if (traits.dialect == dialect) return &traits;
  }
  return nullptr;
}

}  // namespace

std::string Item::SQL(bool ShowSets) const {
  switch (itemType_) {
    case kLiteral:
      return LiteralSQL();
    case kField:
      return FieldSQL(ShowSets);
    default:
      return value_;
  }
}

std::string Item::LiteralSQL() const {
  const DialectTraits* traits = TraitsOf(databaseType_);
  switch (dataType_) {
    case kIsString:
      return Quoted(value_);
    case kIsDate: {
      if (!traits) return {};
      CalendarDate date;
      if (!ParseDayFirstDate(value_, date)) Raise(ERR_DATATYPE, kSqlSource, "Invalid date literal: " + value_);
      return traits->dateLiteral(date);
    }
    case kIsTime:
      if (!traits) return value_;
      if (!IsValidTime(value_)) Raise(ERR_DATATYPE, kSqlSource, "Invalid time literal: " + value_);
      return traits->timeLiteral(value_);
    case kIsBoolean:
      return traits ? traits->booleanLiteral(value_) : std::string();
    default:
      return value_;
  }
}

std::string Item::FieldSQL(bool ShowSets) const {
  // The surrounding expression's type decides whether the column needs converting; an item standing on
  // its own has no surroundings and is rendered in its own type.
  const std::shared_ptr<INode> parent = parent_.lock();
  const ITEMDATATYPEENUM context = parent ? parent->DataType() : dataType_;
  const std::string ref = ColumnReference(ShowSets);
  const DialectTraits* traits = TraitsOf(databaseType_);
  if (!traits) return dataType_ == kIsNumeric ? std::string() : ref;

  std::string column = dataType_ == kIsNumeric ? traits->numericColumn(ref) : ref;
  if (traits->columnAsText && context == kIsString && dataType_ != kIsString) {
    column = traits->columnAsText(column, dataType_);
  }
  return column;
}

std::string Item::ColumnReference(bool ShowSets) const {
  // Inside a set's derived table the set's name stands in for the table.
  if (ShowSets && !name_.empty()) return AddBrackets(name_ + "." + Field());
  return AddBrackets(Table() + "." + Field());
}

}  // namespace talvane
