#include "formula/dialect.hpp"

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

// A datetime converts to its days since 1900 as a float, and a float back to a datetime where one is compared.
std::string SqlServerDateInDays(const std::string& date) { return "CAST(CONVERT(DATETIME, " + date + ") AS FLOAT)"; }

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

// Access and SQLite dates are numbers of days already (SQLite's as julian day numbers).
std::string DateAsItIs(const std::string& date) { return date; }

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

// ---- Shared by several dialects ----

std::string NamesInBrackets(std::string statement) { return statement; }
std::string AsGiven(std::string operand, bool) { return operand; }

std::string OrderAsGiven(const std::string& reference, bool, std::string_view direction) {
  return reference + " " + std::string(direction);
}

// SQLite orders NULL first in ascending order, as SQL Server does; it needs only be told to ignore case
// (numbers are not affected by a collation).
std::string SqliteOrder(const std::string& reference, bool, std::string_view direction) {
  return reference + " COLLATE NOCASE " + std::string(direction);
}

std::string SqliteCaseless(std::string operand, bool first) {
  return first ? operand + " COLLATE NOCASE" : operand;
}

// ---- PostgreSQL ----
// Names are quoted with " and kept as the catalogue spells them. Texts compare and order as their lower-case
// forms, byte by byte (as SQLite's NOCASE does), whatever the database's collation. Booleans are read as the
// integers 1 and 0 that SQL Server's bits are, so that hosts' comparisons with 1, 0, TRUE and FALSE all work.

// Every [name] outside a string literal becomes "name" (a " inside doubled, a ]] undoubled).
std::string PostgresNames(std::string statement) {
  std::string out;
  out.reserve(statement.size());
  bool inLiteral = false;
  for (std::size_t i = 0; i < statement.size(); ++i) {
    const char c = statement[i];
    if (c == '\'') inLiteral = !inLiteral;
    if (inLiteral || c != '[') {
      out += c;
      continue;
    }
    out += '"';
    for (++i; i < statement.size(); ++i) {
      if (statement[i] == ']') {
        if (i + 1 < statement.size() && statement[i + 1] == ']') {
          ++i;
        } else {
          break;
        }
      }
      if (statement[i] == '"') out += '"';
      out += statement[i];
    }
    out += '"';
  }
  return out;
}

std::string PostgresDate(const CalendarDate& d) { return "TIMESTAMP '" + IsoDate(d) + " 00:00:00'"; }
// A timestamp as a number of days, fractions kept, as SQL Server's datetime as a float.
std::string PostgresDateInDays(const std::string& date) { return "(EXTRACT(EPOCH FROM " + date + ") / 86400)"; }
// Days since 1970 as a timestamp again.
std::string PostgresDaysAsDate(const std::string& days) {
  return "(TIMESTAMP 'epoch' + (" + days + ") * INTERVAL '1 day')";
}
std::string PostgresTime(std::string_view text, bool inText) {
  return inText ? SqlStringLiteral(text) : "TIME " + SqlStringLiteral(text);
}

std::string PostgresColumn(const ColumnOperand& c) {
  switch (c.type) {
    case kIsNumeric:
      return "COALESCE(" + c.reference + ", 0)";
    case kIsBoolean:
      return "CAST(" + c.reference + " AS INTEGER)";
    default:
      return c.reference;
  }
}

// The texts of SQL Server's CONVERT(nvarchar, ..., 0 or 3), as the SQLite dialect gives them.
std::string PostgresColumnAsText(const ColumnOperand& c) {
  const std::string& ref = c.reference;
  switch (c.type) {
    case kIsNumeric:
      if (c.adoType == kCurrencyType) return "to_char(COALESCE(" + ref + ", 0), 'FM999999999999990.00')";
      return "CAST(COALESCE(" + ref + ", 0) AS TEXT)";
    case kIsDate:
      return "to_char(" + ref + ", 'DD/MM/YY')";
    case kIsTime:
      return "to_char(" + ref + ", 'FMHH12:MIAM')";
    case kIsBoolean:
      return "CAST(CAST(" + ref + " AS INTEGER) AS TEXT)";
    default:
      return "CAST(" + ref + " AS TEXT)";
  }
}

// Parenthesised, since a collation may not stand in a bound of BETWEEN; cast, since a uuid column is a text
// to the formula and has no LOWER of its own.
std::string PostgresCaseless(std::string operand, bool) {
  return "(LOWER(CAST(" + operand + " AS TEXT)) COLLATE \"C\")";
}

std::string PostgresOrder(const std::string& reference, bool text, std::string_view direction) {
  const std::string key = text ? PostgresCaseless(reference, true) : reference;
  return key + " " + std::string(direction) + (direction == "DESC" ? " NULLS LAST" : " NULLS FIRST");
}

// ILIKE ignores case; an empty ESCAPE makes a backslash stand for itself, as in SQL Server.
std::string PostgresLike(const std::string& subject, bool negated, const std::string& pattern) {
  return subject + (negated ? " NOT ILIKE " : " ILIKE ") + pattern + " ESCAPE ''";
}

// A pattern with a character class becomes a case-blind regular expression over the whole text: % is .*, _ is
// ., a class stays a class, a [ that is never closed and every other character stand for themselves.
std::string RegexOfLikePattern(std::string_view pattern) {
  std::string regex = "^";
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const std::size_t close = c == '[' ? pattern.find(']', i + 1) : std::string_view::npos;
    if (close != std::string_view::npos) {
      for (const char k : pattern.substr(i, close - i + 1)) {
        if (k == '\\') regex += '\\';
        regex += k;
      }
      i = close;
    } else if (c == '%') {
      regex += ".*";
    } else if (c == '_') {
      regex += '.';
    } else if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) {
      regex += std::string("\\") + c;
    } else {
      regex += c;
    }
  }
  return regex + "$";
}

std::string PostgresClassPatternMatch(const std::string& subject, bool negated, std::string_view pattern) {
  return subject + (negated ? " !~* " : " ~* ") + SqlStringLiteral(RegexOfLikePattern(pattern));
}

// ---- A value outside the enumeration ----

std::string NoDate(const CalendarDate&) { return {}; }
std::string TimeAsWritten(std::string_view text, bool) { return std::string(text); }
std::string NoBoolean(std::string_view) { return {}; }
std::string ColumnAsWritten(const ColumnOperand& c) { return c.type == kIsNumeric ? std::string() : c.reference; }

// Each row names its columns, so that a new column is added to every row where it can be seen.
constexpr Dialect kDialects[] = {
    {.dialect = kSQLServer,
     .name = "SQL Server",
     .option = "sqlserver",
     .provider = "SQLOLEDB.1",
     .product = "Microsoft SQL Server",
     .outerJoinKeyword = "FULL JOIN ",
     .joinOpen = "",
     .joinClose = "",
     .setTableOpen = "",
     .setTableClose = "",
     .orderEntry = OrderAsGiven,
     .orderReadsText = false,
     .quoteNames = NamesInBrackets,
     .likeWildcards = "%_",
     .dateLiteral = SqlServerDate,
     .timeLiteral = SqlServerTime,
     .booleanLiteral = BitBoolean,
     .column = SqlServerColumn,
     .columnAsText = SqlServerColumnAsText,
     .textConcatenation = "+",
     .caselessOperand = AsGiven,
     .caselessKeepsNumbers = true,
     .likeMatch = nullptr,
     .classPatternMatch = nullptr,
     .today = "CONVERT(DATETIME, CONVERT(DATE, GETDATE()))",
     .now = "GETDATE()",
     .dateInDays = SqlServerDateInDays,
     .daysAsDate = DateAsItIs},
    // Access has no FULL JOIN, wants every join parenthesised, and mixes types in text expressions without
    // an explicit conversion.
    {.dialect = kAccess,
     .name = "Access",
     .option = "access",
     .provider = "Microsoft.Jet.OLEDB.4.0",
     .product = "ACCESS",
     .outerJoinKeyword = "LEFT JOIN ",
     .joinOpen = "(",
     .joinClose = ")",
     .setTableOpen = "(",
     .setTableClose = ")",
     .orderEntry = OrderAsGiven,
     .orderReadsText = false,
     .quoteNames = NamesInBrackets,
     .likeWildcards = "*?",
     .dateLiteral = AccessDate,
     .timeLiteral = AccessTime,
     .booleanLiteral = AccessBoolean,
     .column = AccessColumn,
     .columnAsText = AccessColumn,
     .textConcatenation = "+",
     .caselessOperand = AsGiven,
     .caselessKeepsNumbers = true,
     .likeMatch = nullptr,
     .classPatternMatch = nullptr,
     .today = "Date()",
     .now = "Now()",
     .dateInDays = DateAsItIs,
     .daysAsDate = DateAsItIs},
    // SQLite's LIKE already ignores ASCII letter case and has no escape character.
    {.dialect = kSQLite,
     .name = "SQLite",
     .option = "sqlite",
     .provider = "SQLite",
     .product = "SQLite",
     .outerJoinKeyword = "FULL JOIN ",
     .joinOpen = "",
     .joinClose = "",
     .setTableOpen = "",
     .setTableClose = "",
     .orderEntry = SqliteOrder,
     .orderReadsText = false,
     .quoteNames = NamesInBrackets,
     .likeWildcards = "%_",
     .dateLiteral = SqliteDate,
     .timeLiteral = SqliteTime,
     .booleanLiteral = BitBoolean,
     .column = SqliteColumn,
     .columnAsText = SqliteColumnAsText,
     .textConcatenation = "||",
     .caselessOperand = SqliteCaseless,
     .caselessKeepsNumbers = true,
     .likeMatch = nullptr,
     .classPatternMatch = SqliteClassPatternMatch,
     .today = "julianday(date('now', 'localtime'))",
     .now = "julianday('now', 'localtime')",
     .dateInDays = DateAsItIs,
     .daysAsDate = DateAsItIs},
    {.dialect = kPostgreSQL,
     .name = "PostgreSQL",
     .option = "postgresql",
     .provider = "PostgreSQL",
     .product = "PostgreSQL",
     .outerJoinKeyword = "FULL JOIN ",
     .joinOpen = "",
     .joinClose = "",
     .setTableOpen = "",
     .setTableClose = "",
     .orderEntry = PostgresOrder,
     .orderReadsText = true,
     .quoteNames = PostgresNames,
     .likeWildcards = "%_",
     .dateLiteral = PostgresDate,
     .timeLiteral = PostgresTime,
     .booleanLiteral = BitBoolean,
     .column = PostgresColumn,
     .columnAsText = PostgresColumnAsText,
     .textConcatenation = "||",
     .caselessOperand = PostgresCaseless,
     .caselessKeepsNumbers = false,
     .likeMatch = PostgresLike,
     .classPatternMatch = PostgresClassPatternMatch,
     .today = "CAST(CURRENT_DATE AS TIMESTAMP)",
     .now = "LOCALTIMESTAMP",
     .dateInDays = PostgresDateInDays,
     .daysAsDate = PostgresDaysAsDate},
};

constexpr Dialect kNoDialect = {.dialect = static_cast<DATABASETYPEENU>(-1),
                                .name = "",
                                .option = "",
                                .provider = "",
                                .product = "",
                                .outerJoinKeyword = "FULL JOIN ",
                                .joinOpen = "",
                                .joinClose = "",
                                .setTableOpen = "",
                                .setTableClose = "",
                                .orderEntry = OrderAsGiven,
                                .orderReadsText = false,
                                .quoteNames = NamesInBrackets,
                                .likeWildcards = "",
                                .dateLiteral = NoDate,
                                .timeLiteral = TimeAsWritten,
                                .booleanLiteral = NoBoolean,
                                .column = ColumnAsWritten,
                                .columnAsText = ColumnAsWritten,
                                .textConcatenation = "+",
                                .caselessOperand = AsGiven,
                                .caselessKeepsNumbers = true,
                                .likeMatch = nullptr,
                                .classPatternMatch = nullptr,
                                .today = "",
                                .now = "",
                                .dateInDays = DateAsItIs,
                                .daysAsDate = DateAsItIs};

}  // namespace

const Dialect& DialectOf(DATABASETYPEENU dialect) {
  for (const Dialect& row : kDialects) {
    if (row.dialect == dialect) return row;
  }
  return kNoDialect;
}

std::span<const Dialect> Dialects() { return kDialects; }

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
