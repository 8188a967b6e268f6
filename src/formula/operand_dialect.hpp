#pragma once
// Every difference between the SQL dialects in how operands and conditions render, in one table that the
// item and formula renderers consult instead of testing the dialect themselves.
#include <cstdint>
#include <optional>
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

struct OperandDialect {
  DATABASETYPEENU dialect;
  std::string_view name;
  // LIKE's wildcards for any run of characters and for one character.
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
  // Put after the left operand of a comparison of texts, so that they compare without regard to case.
  std::string_view textCollation;
  // LIKE or NOT LIKE with a pattern literal that holds a character class ([a-c], [^0-9]); none when the
  // dialect's LIKE reads classes itself.
  std::string (*classPatternMatch)(const std::string& subject, bool negated, std::string_view pattern);
};

// Null for a value outside the enumeration.
const OperandDialect* OperandDialectOf(DATABASETYPEENU dialect);
// Every dialect, SQL Server first.
std::span<const OperandDialect> OperandDialects();

// Text between apostrophes, with every apostrophe inside doubled.
std::string SqlStringLiteral(std::string_view text);

}  // namespace talvane::detail
