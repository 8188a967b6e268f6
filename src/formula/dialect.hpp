#pragma once
// Every difference between the SQL dialects, in one table with one row per dialect: the statement's layout
// (read by the statement builder) and how operands and conditions render (read by the item and formula
// renderers). Nothing else tests the dialect; a new dialect is a new row, a new difference a new column.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "talvane/foundation/date_time.hpp"
#include "talvane/foundation/enums.hpp"

namespace talvane::detail {

// A column as an operand: its bracketed reference, the data type a formula takes it as and the ADO type
// code of its declared type (0 when unknown), which tells integers from money, decimals and floats.
struct ColumnOperand {
  std::string reference;
  ITEMDATATYPEENUM type;
  int32_t adoType;
};

struct Dialect {
  DATABASETYPEENU dialect;
  std::string_view name;
  // The dialect's name as the command line and the editor take it.
  std::string_view option;
  // The provider of a connection string that chooses the dialect (compared without regard to letter case).
  std::string_view provider;
  // The database product as an ODBC driver names it (SQL_DBMS_NAME).
  std::string_view product;

  // ---- The statement's layout ----
  // Keyword of the join for a set whose first formula is kOr, and for further tables.
  std::string_view outerJoinKeyword;
  // Put in front of the whole FROM body for each join, and after that join's ON condition.
  std::string_view joinOpen;
  std::string_view joinClose;
  // Inside a derived table: one opening per table before the first, one closing after each table.
  std::string_view setTableOpen;
  std::string_view setTableClose;
  // One ORDER BY entry: the reference, whether it is a text, and its direction (ASC or DESC). SQL Server orders
  // text without regard to letter case, and puts NULL first in ascending order.
  std::string (*orderEntry)(const std::string& reference, bool text, std::string_view direction);
  // Whether orderEntry reads `text`: only then is the schema asked for each ordered column's type.
  bool orderReadsText;
  // The whole statement, written with bracketed names, as the dialect quotes names.
  std::string (*quoteNames)(std::string statement);

  // ---- Operands and conditions ----
  // LIKE's wildcards for any run of characters and for one character; empty for no dialect.
  std::string_view likeWildcards;
  std::string (*dateLiteral)(const CalendarDate&);
  // `inText`: the literal stands in a text expression.
  std::string (*timeLiteral)(std::string_view, bool inText);
  std::string (*booleanLiteral)(std::string_view);
  // A column in an expression of its own type (a missing number counts as 0).
  std::string (*column)(const ColumnOperand&);
  // A column of another type inside a text expression, as the text SQL Server's conversion gives.
  std::string (*columnAsText)(const ColumnOperand&);
  // The "+" of a text expression.
  std::string_view textConcatenation;
  // Each operand of a comparison of texts (`first`: the left one), so that they compare without regard to case.
  std::string (*caselessOperand)(std::string operand, bool first);
  // Whether caselessOperand leaves a number a number, so that a count compared with a number at level 1 (where
  // a count of texts is typed as a text) still compares numbers.
  bool caselessKeepsNumbers;
  // LIKE or NOT LIKE whose pattern holds no character class; none when the dialect's LIKE already matches as
  // SQL Server's does (without regard to case, no escape character).
  std::string (*likeMatch)(const std::string& subject, bool negated, const std::string& pattern);
  // LIKE or NOT LIKE with a pattern literal that holds a character class ([a-c], [^0-9]); none when the
  // dialect's LIKE reads classes itself.
  std::string (*classPatternMatch)(const std::string& subject, bool negated, std::string_view pattern);
  // Language level 2: today's date and the current date and time, read by the database when the statement
  // runs, in the form a date column takes in a comparison.
  std::string_view today;
  std::string_view now;
  // A date in an expression that adds or subtracts days, as a number of days (its rendering given).
  std::string (*dateInDays)(const std::string& date);
  // An expression of days that stands for a date (a date plus or minus days) as the dialect compares dates.
  std::string (*daysAsDate)(const std::string& days);
};

// The row of a dialect. A value outside the enumeration has a row of its own: the statement laid out as
// SQL Server lays it out, dates, booleans and numeric columns rendered as nothing, everything else as written.
const Dialect& DialectOf(DATABASETYPEENU dialect);
// Every dialect of the enumeration, SQL Server first.
std::span<const Dialect> Dialects();

// Text between apostrophes, with every apostrophe inside doubled.
std::string SqlStringLiteral(std::string_view text);

}  // namespace talvane::detail
