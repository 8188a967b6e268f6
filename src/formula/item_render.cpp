// Rendering of items as SQL. Every difference between the dialects lives in the dialect table
// (dialect.cpp); the renderers consult it instead of testing the dialect themselves.
#include "talvane/formula/item.hpp"

#include "formula/dialect.hpp"
#include "formula/formula_tree.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/date_time.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

constexpr std::string_view kSqlSource = "Exception: Item.SQL";

// A date that days are added to or subtracted from, or that is subtracted from a date, as a number of days.
std::string InDays(const detail::Dialect& dialect, const std::shared_ptr<INode>& parent, std::string date) {
  return tree::CountsDatesInDays(parent) ? dialect.dateInDays(date) : date;
}

// At level 2, directly inside a whole operand of a comparison of texts (its right side, an element of IN's
// list, a bound of BETWEEN), where numbers are texts and "+" joins them whatever the operand's own type.
bool AmongTextsAtLevelTwo(const std::shared_ptr<INode>& group) {
  const auto formula = group ? std::dynamic_pointer_cast<Formula>(group->Parent()) : nullptr;
  try {
    return formula && formula->LanguageLevel() == 2 && formula->DataType() == kIsString;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace

std::string Item::SQL(bool ShowSets) const {
  switch (itemType_) {
    case kLiteral:
      return LiteralSQL();
    case kField:
      return FieldSQL(ShowSets);
    case kArith:
      return ArithSQL();
    default:
      return value_;
  }
}

std::string Item::LiteralSQL() const {
  const detail::Dialect& dialect = detail::DialectOf(databaseType_);
  switch (dataType_) {
    case kIsString:
      return detail::SqlStringLiteral(value_);
    case kIsDate: {
      if (value_ == "TODAY" || value_ == "NOW") {
        return InDays(dialect, parent_.lock(), std::string(value_ == "TODAY" ? dialect.today : dialect.now));
      }
      CalendarDate date;
      if (!ParseDayFirstDate(value_, date)) Raise(ERR_DATATYPE, kSqlSource, "Invalid date literal: " + value_);
      return InDays(dialect, parent_.lock(), dialect.dateLiteral(date));
    }
    case kIsTime:
      if (!IsValidTime(value_)) Raise(ERR_DATATYPE, kSqlSource, "Invalid time literal: " + value_);
      return dialect.timeLiteral(value_, StandsInText());
    case kIsBoolean:
      return dialect.booleanLiteral(value_);
    default:
      // At level 2 a number among texts is the text it is written as, so that every dialect compares texts
      // (SQL Server and Access would otherwise take the text as a number).
      return AmongTextsAtLevelTwo(parent_.lock()) || (StandsInText() && tree::LanguageLevelOf(parent_.lock()) == 2)
                 ? detail::SqlStringLiteral(value_)
                 : value_;
  }
}

std::string Item::FieldSQL(bool ShowSets) const {
  // The surrounding expression's type decides whether the column needs converting; an item standing on
  // its own has no surroundings and is rendered in its own type.
  const std::shared_ptr<INode> parent = parent_.lock();
  const ITEMDATATYPEENUM context = parent ? parent->DataType() : dataType_;
  const detail::ColumnOperand column{ColumnReference(ShowSets), dataType_, columnType_};
  const detail::Dialect& dialect = detail::DialectOf(databaseType_);
  if (tree::TakesValuesAsTheyAre(parent)) return column.reference;
  if (context == kIsString && dataType_ != kIsString) return dialect.columnAsText(column);
  return dataType_ == kIsDate ? InDays(dialect, parent, dialect.column(column)) : dialect.column(column);
}

// The "+" of a text expression joins texts, which not every dialect spells "+".
std::string Item::ArithSQL() const {
  if (value_ == "+" && (StandsInText() || AmongTextsAtLevelTwo(parent_.lock()))) {
    return std::string(detail::DialectOf(databaseType_).textConcatenation);
  }
  return value_;
}

// True inside a text expression. A group whose type is still open (literals only) is not one.
bool Item::StandsInText() const {
  const std::shared_ptr<INode> parent = parent_.lock();
  if (!parent) return false;
  try {
    return parent->DataType() == kIsString;
  } catch (const Error&) {
    return false;
  }
}

std::string Item::ColumnReference(bool ShowSets) const {
  // Inside a set's derived table the set's name stands in for the table.
  if (ShowSets && !name_.empty()) return AddBrackets(name_ + "." + Field());
  return AddBrackets(Table() + "." + Field());
}

}  // namespace talvane
