#include "formula/operand_dialect.hpp"

#include <cstdio>

#include "talvane/foundation/clean_text.hpp"

namespace talvane::detail {

namespace {

std::string Digits(int32_t value, const char* format) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, static_cast<int>(value));
  return buffer;
}

std::string IsoDate(const CalendarDate& d) {
  return Digits(d.year, "%04d") + "-" + Digits(d.month, "%02d") + "-" + Digits(d.day, "%02d");
}

// Booleans are bits in SQL Server and integers in SQLite.
std::string BitBoolean(std::string_view text) {
  if (text == "True") return "1";
  if (text == "False") return "0";
  return {};
}

// ADO type codes of exact integers; every other numeric code (money, decimals, floats) carries a fraction.
bool IsIntegerType(int32_t adoType) {
  switch (adoType) {
    case 2: case 3: case 16: case 17: case 18: case 19: case 20: case 21:
      return true;
    default:
      return false;
  }
}
bool IsFloatType(int32_t adoType) { return adoType == 4 || adoType == 5; }
constexpr int32_t kCurrencyType = 6;

// ---- SQL Server ----

std::string SqlServerDate(const CalendarDate& d) { return "CONVERT(DATETIME, '" + IsoDate(d) + " 00:00:00', 102)"; }

// A time literal must reach the database as a time value, not as the bare text 12:30, which neither
// dialect can parse.
std::string SqlServerTime(std::string_view text, bool) { return SqlStringLiteral(text); }

std::string SqlServerColumn(const ColumnOperand& c) {
  return c.type == kIsNumeric ? "ISNULL(" + c.reference + ", 0)" : c.reference;
}

// Dates in style 3 (dd/mm/yy), everything else in style 0.
std::string SqlServerColumnAsText(const ColumnOperand& c) {
  return "CONVERT(nvarchar, " + SqlServerColumn(c) + (c.type == kIsDate ? ", 3)" : ", 0)");
}

// ---- Access ----

std::string AccessDate(const CalendarDate& d) {
  return "#" + Digits(d.month, "%02d") + "/" + Digits(d.day, "%02d") + "/" + Digits(d.year, "%04d") + "#";
}
std::string AccessTime(std::string_view text, bool) { return "#" + std::string(text) + "#"; }
std::string AccessBoolean(std::string_view text) { return std::string(text); }

std::string AccessColumn(const ColumnOperand& c) {
  if (c.type != kIsNumeric) return c.reference;
  return "IIF(ISNULL(" + c.reference + "), 0, " + c.reference + ")";
}

// ---- SQLite ----
// Dates and times are stored as text ('2023-01-04', '2023-01-10 11:00:00', '09:15'). As julian day numbers a
// DATE column, a DATETIME column and a date literal compare as SQL Server's datetime values do: midnight for a
// bare date, fractions of a second kept. Times compare as HH:MM:SS texts.

std::string SqliteDate(const CalendarDate& d) { return "julianday('" + IsoDate(d) + "')"; }
// Inside a text expression a time literal is the text as written, as SQL Server takes it there.
std::string SqliteTime(std::string_view text, bool inText) {
  return inText ? SqlStringLiteral(text) : "time(" + SqlStringLiteral(text) + ")";
}

// SQLite keeps 3.00 in a MONEY column as the integer 3, and 3 / 2 would then divide as integers; a column
// whose type carries a fraction is read as a real, as SQL Server reads money and decimals.
std::string SqliteNumber(const ColumnOperand& c) {
  if (c.adoType == 0 || IsIntegerType(c.adoType)) return c.reference;
  return "CAST(" + c.reference + " AS REAL)";
}

std::string SqliteColumn(const ColumnOperand& c) {
  switch (c.type) {
    case kIsNumeric:
      return "IFNULL(" + SqliteNumber(c) + ", 0)";
    case kIsDate:
      return "julianday(" + c.reference + ")";
    case kIsTime:
      return "time(" + c.reference + ")";
    default:
      return c.reference;
  }
}

// The texts SQL Server's CONVERT(nvarchar, ..., 0 or 3) gives: money with two decimals, floats with at most
// six significant digits, dates as dd/mm/yy, times as h:mmAM.
std::string SqliteColumnAsText(const ColumnOperand& c) {
  const std::string& ref = c.reference;
  switch (c.type) {
    case kIsNumeric:
      if (c.adoType == kCurrencyType) return "printf('%.2f', IFNULL(" + ref + ", 0))";
      if (IsFloatType(c.adoType)) return "printf('%g', IFNULL(" + ref + ", 0))";
      return "CAST(IFNULL(" + ref + ", 0) AS TEXT)";
    case kIsDate:
      return "(strftime('%d/%m/', " + ref + ") || substr(strftime('%Y', " + ref + "), 3))";
    case kIsTime: {
      const std::string hour = "CAST(strftime('%H', " + ref + ") AS INTEGER)";
      // || binds tighter than + in SQLite: the hour is parenthesised whole.
      return "(((" + hour + " + 11) % 12 + 1) || ':' || strftime('%M', " + ref + ") || CASE WHEN " + hour +
             " < 12 THEN 'AM' ELSE 'PM' END)";
    }
    default:
      return "CAST(" + ref + " AS TEXT)";
  }
}

// SQLite's LIKE knows % and _ but no character classes; its GLOB knows classes but minds letter case. A
// pattern with a class becomes a GLOB over upper-cased text: % is *, _ is ?, a literal * or ? is a class of
// its own, and a [ that is never closed stands for itself.
std::string GlobOfLikePattern(std::string_view pattern) {
  std::string glob;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '[') {
      const std::size_t close = pattern.find(']', i + 1);
      if (close == std::string_view::npos) {
        glob += "[[]";
        continue;
      }
      glob += UpperAscii(pattern.substr(i, close - i + 1));
      i = close;
    } else if (c == '%') {
      glob += '*';
    } else if (c == '_') {
      glob += '?';
    } else if (c == '*' || c == '?') {
      glob += std::string("[") + c + "]";
    } else {
      glob += UpperAscii(std::string_view(&c, 1));
    }
  }
  return glob;
}

std::string SqliteClassPatternMatch(const std::string& subject, bool negated, std::string_view pattern) {
  return "upper(" + subject + (negated ? ") NOT GLOB " : ") GLOB ") + SqlStringLiteral(GlobOfLikePattern(pattern));
}

constexpr OperandDialect kDialects[] = {
    {kSQLServer, "SQL Server", "%_", SqlServerDate, SqlServerTime, BitBoolean, SqlServerColumn,
     SqlServerColumnAsText, "+", "", nullptr},
    // Access mixes types in text expressions without an explicit conversion.
    {kAccess, "Access", "*?", AccessDate, AccessTime, AccessBoolean, AccessColumn, AccessColumn, "+", "", nullptr},
    {kSQLite, "SQLite", "%_", SqliteDate, SqliteTime, BitBoolean, SqliteColumn, SqliteColumnAsText, "||",
     " COLLATE NOCASE", SqliteClassPatternMatch},
};

}  // namespace

const OperandDialect* OperandDialectOf(DATABASETYPEENU dialect) {
  for (const OperandDialect& traits : kDialects) {
    if (traits.dialect == dialect) return &traits;
  }
  return nullptr;
}

std::span<const OperandDialect> OperandDialects() { return kDialects; }

std::string SqlStringLiteral(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  out += '\'';
  return out;
}

}  // namespace talvane::detail
