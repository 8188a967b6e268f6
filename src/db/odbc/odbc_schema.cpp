#include "db/odbc/odbc_schema.hpp"

#include <sqlext.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "db/ado_errors.hpp"
#include "db/odbc/listed_rowset.hpp"
#include "db/odbc/odbc_ado_type.hpp"
#include "db/odbc/odbc_error.hpp"
#include "db/odbc/odbc_fetch.hpp"
#include "db/odbc/odbc_session.hpp"
#include "db/sqlite/ado_type.hpp"
#include "talvane/foundation/clean_text.hpp"

namespace talvane::db::detail {

namespace {

using Row = BufferedRecordset::Row;

constexpr std::size_t kRestrictionCount = 4;

// ADO type codes of the rowsets' own columns.
constexpr int32_t kAdWChar = 130;
constexpr int32_t kAdBoolean = 11;
constexpr int32_t kAdUnsignedSmallInt = 18;
constexpr int32_t kAdUnsignedInt = 19;

// Columns of SQLColumns' result, counted from 0.
enum SqlColumnsField : std::size_t {
  kCatalog = 0,
  kSchema = 1,
  kTable = 2,
  kColumn = 3,
  kDataType = 4,
  kTypeName = 5,
  kNullable = 10,
  kDefault = 12,
  kOrdinal = 16,
  kSqlColumnsCount = 18,
};

std::vector<std::string> Padded(const std::vector<std::string>& restrictions) {
  if (restrictions.size() > kRestrictionCount) RaiseBadArgument(kOdbcSource);
  std::vector<std::string> padded = restrictions;
  padded.resize(kRestrictionCount);
  return padded;
}

// An empty restriction matches everything; a value matches without regard to letter case.
bool Matches(const std::string& restriction, const std::optional<std::string>& value) {
  return restriction.empty() || (value && EqualsIgnoreCase(restriction, *value));
}

// Ordered by schema and name without regard to letter case, as the SQLite backend orders its tables.
bool ListedBefore(const Row& a, const Row& b) {
  const auto key = [](const Row& row) {
    return std::make_pair(UpperAscii(row[1].value_or(std::string())), UpperAscii(row[2].value_or(std::string())));
  };
  return key(a) < key(b);
}

std::string Flag(bool value) { return value ? "1" : "0"; }

// The name as a search pattern argument: "_" and "%" escaped so that they stand for themselves.
std::string Pattern(const std::string& name, const std::string& escape) {
  if (escape.empty()) return name;
  std::string pattern;
  for (const char c : name) {
    if (c == '_' || c == '%' || escape.find(c) == 0) pattern += escape;
    pattern += c;
  }
  return pattern;
}

// A restriction as a catalogue function argument: null (no restriction) when empty.
SQLCHAR* Argument(std::string& text) { return text.empty() ? nullptr : reinterpret_cast<SQLCHAR*>(text.data()); }

SQLSMALLINT Length(const std::string& text) { return text.empty() ? 0 : static_cast<SQLSMALLINT>(text.size()); }

std::vector<Row> ListColumns(OdbcSession& session, const std::vector<std::string>& restrictions) {
  std::string catalog = restrictions[0];
  std::string schema = Pattern(restrictions[1], session.PatternEscape());
  std::string table = Pattern(restrictions[2], session.PatternEscape());
  std::string column = Pattern(restrictions[3], session.PatternEscape());
  OdbcHandle statement = session.NewStatement();
  ++session.Counts().catalogueCalls;
  CheckOdbc(SQLColumns(statement.Get(), Argument(catalog), Length(catalog), Argument(schema), Length(schema),
                       Argument(table), Length(table), Argument(column), Length(column)),
            SQL_HANDLE_STMT, statement.Get());
  return FetchAll(statement.Get(), kSqlColumnsCount);
}

// A column listed without a type name was declared without a type (SQLite allows it): adVariant, as the
// SQLite backend gives it, whatever SQL type the driver hands it over as.
int32_t ListedAdoType(SQLSMALLINT sqlType, const std::string& typeName) {
  return typeName.empty() ? kAdVariant : AdoTypeFromSqlType(sqlType, typeName);
}

Row ColumnsRow(const Row& listed) {
  const std::string typeName = listed[kTypeName].value_or(std::string());
  const auto sqlType = static_cast<SQLSMALLINT>(std::stoi(listed[kDataType].value_or("0")));
  return {listed[kCatalog],
          listed[kSchema],
          listed[kTable],
          listed[kColumn],
          listed[kOrdinal],
          Flag(listed[kDefault].has_value()),
          listed[kDefault],
          Flag(listed[kNullable].value_or("1") != "0"),
          std::to_string(ListedAdoType(sqlType, typeName)),
          typeName};
}

// SQLForeignKeys' result has 14 columns; the first eight are the rowset's, in its order.
constexpr std::size_t kSqlForeignKeysCount = 14;
constexpr std::size_t kForeignKeyColumns = 8;

// The foreign keys whose child is the listed table.
std::vector<Row> ListForeignKeys(OdbcSession& session, const Row& table) {
  std::string catalog = table[0].value_or(std::string());
  std::string schema = table[1].value_or(std::string());
  std::string name = table[2].value_or(std::string());
  OdbcHandle statement = session.NewStatement();
  ++session.Counts().catalogueCalls;
  CheckOdbc(SQLForeignKeys(statement.Get(), nullptr, 0, nullptr, 0, nullptr, 0, Argument(catalog), Length(catalog),
                           Argument(schema), Length(schema), Argument(name), Length(name)),
            SQL_HANDLE_STMT, statement.Get());
  std::vector<Row> rows = FetchAll(statement.Get(), kSqlForeignKeysCount);
  for (Row& row : rows) row.resize(kForeignKeyColumns);
  return rows;
}

}  // namespace

// Restrictions: catalog, schema, parent table, child table.
std::shared_ptr<Recordset> OpenForeignKeysSchema(OdbcSession& session, const std::vector<std::string>& restrictions) {
  const std::vector<std::string> wanted = Padded(restrictions);
  std::vector<Row> rows;
  for (const Row& table : session.Tables()) {
    if (!Matches(wanted[0], table[0]) || !Matches(wanted[1], table[1]) || !Matches(wanted[3], table[2])) continue;
    for (Row& key : ListForeignKeys(session, table)) {
      if (Matches(wanted[2], key[2])) rows.push_back(std::move(key));
    }
  }
  std::vector<BufferedRecordset::Column> columns;
  for (const char* name : {"PK_TABLE_CATALOG", "PK_TABLE_SCHEMA", "PK_TABLE_NAME", "PK_COLUMN_NAME", "FK_TABLE_CATALOG",
                           "FK_TABLE_SCHEMA", "FK_TABLE_NAME", "FK_COLUMN_NAME"}) {
    columns.push_back({name, kAdWChar});
  }
  return std::make_shared<ListedRowset>(std::move(columns), std::move(rows));
}

std::shared_ptr<Recordset> OpenTablesSchema(OdbcSession& session, const std::vector<std::string>& restrictions) {
  const std::vector<std::string> wanted = Padded(restrictions);
  std::vector<Row> rows;
  const bool tablesAsked = wanted[3].empty() || EqualsIgnoreCase(wanted[3], "TABLE");
  if (tablesAsked) {
    for (const Row& table : session.Tables()) {
      if (Matches(wanted[0], table[0]) && Matches(wanted[1], table[1]) && Matches(wanted[2], table[2])) {
        rows.push_back({table[0], table[1], table[2], std::string("TABLE"), table[4]});
      }
    }
  }
  std::stable_sort(rows.begin(), rows.end(), ListedBefore);
  return std::make_shared<ListedRowset>(
      std::vector<BufferedRecordset::Column>{{"TABLE_CATALOG", kAdWChar},
                                             {"TABLE_SCHEMA", kAdWChar},
                                             {"TABLE_NAME", kAdWChar},
                                             {"TABLE_TYPE", kAdWChar},
                                             {"DESCRIPTION", kAdWChar}},
      std::move(rows));
}

// A pattern may still match more than the names asked for (a driver without an escape): only exact names stay.
std::shared_ptr<Recordset> OpenColumnsSchema(OdbcSession& session, const std::vector<std::string>& restrictions) {
  const std::vector<std::string> wanted = Padded(restrictions);
  std::vector<Row> rows;
  for (const Row& listed : ListColumns(session, wanted)) {
    if (Matches(wanted[1], listed[kSchema]) && Matches(wanted[2], listed[kTable]) &&
        Matches(wanted[3], listed[kColumn])) {
      rows.push_back(ColumnsRow(listed));
    }
  }
  return std::make_shared<ListedRowset>(
      std::vector<BufferedRecordset::Column>{{"TABLE_CATALOG", kAdWChar},
                                             {"TABLE_SCHEMA", kAdWChar},
                                             {"TABLE_NAME", kAdWChar},
                                             {"COLUMN_NAME", kAdWChar},
                                             {"ORDINAL_POSITION", kAdUnsignedInt},
                                             {"COLUMN_HASDEFAULT", kAdBoolean},
                                             {"COLUMN_DEFAULT", kAdWChar},
                                             {"IS_NULLABLE", kAdBoolean},
                                             {"DATA_TYPE", kAdUnsignedSmallInt},
                                             {"TYPE_NAME", kAdWChar}},
      std::move(rows));
}

}  // namespace talvane::db::detail
