#pragma once
// Every difference between the SQL dialects in the statement's own layout, in one table.
// (Operands and conditions render their own differences.)
#include <string_view>

#include "talvane/foundation/enums.hpp"

namespace talvane::detail {

struct DialectTraits {
  DATABASETYPEENU dialect;
  // Keyword of the join for a set whose first formula is kOr, and for further tables.
  std::string_view outerJoinKeyword;
  // Put in front of the whole FROM body for each join, and after that join's ON condition.
  std::string_view joinOpen;
  std::string_view joinClose;
  // Inside a derived table: one opening per table before the first, one closing after each table.
  std::string_view setTableOpen;
  std::string_view setTableClose;
  // After each ORDER BY entry, before its direction. SQL Server and Access order text without regard to
  // letter case by default; SQLite needs to be told (numbers are not affected by a collation).
  std::string_view orderCollation;
};

inline constexpr DialectTraits kDialectTraits[] = {
    {kSQLServer, "FULL JOIN ", "", "", "", "", ""},
    {kAccess, "LEFT JOIN ", "(", ")", "(", ")", ""},
    {kSQLite, "FULL JOIN ", "", "", "", "", " COLLATE NOCASE"},
};

// A value outside the enumeration lays the statement out as SQL Server does.
constexpr const DialectTraits& TraitsOf(DATABASETYPEENU dialect) {
  for (const DialectTraits& traits : kDialectTraits) {
    if (traits.dialect == dialect) return traits;
  }
  return kDialectTraits[0];
}

}  // namespace talvane::detail
