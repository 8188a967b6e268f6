#pragma once
// Every difference between the SQL dialects in the statement's own layout, in one table.
// (Operands and conditions render their own differences.)
#include <string_view>

#include "talvane/foundation/enums.hpp"

namespace talvane::detail {

struct DialectTraits {
  // Keyword of the join for a set whose first formula is kOr, and for further tables.
  std::string_view outerJoinKeyword;
  // Put in front of the whole FROM body for each join, and after that join's ON condition.
  std::string_view joinOpen;
  std::string_view joinClose;
  // Inside a derived table: one opening per table before the first, one closing after each table.
  std::string_view setTableOpen;
  std::string_view setTableClose;
};

inline constexpr DialectTraits kSqlServerTraits{"FULL JOIN ", "", "", "", ""};
inline constexpr DialectTraits kAccessTraits{"LEFT JOIN ", "(", ")", "(", ")"};

constexpr const DialectTraits& TraitsOf(DATABASETYPEENU dialect) {
  return dialect == kAccess ? kAccessTraits : kSqlServerTraits;
}

}  // namespace talvane::detail
