#include "db/sqlite/sqlite_schema.hpp"

#include <sqlite3.h>

#include <cstdint>
#include <string_view>

#include "db/sqlite/ado_type.hpp"
#include "db/sqlite/sqlite_error.hpp"
#include "db/sqlite/sqlite_recordset.hpp"
#include "db/sqlite/sqlite_session.hpp"

#if SQLITE_VERSION_NUMBER < 3037000
#error "The SQLite backend needs SQLite 3.37 or later (pragma table_list)."
#endif

namespace talvane::db::detail {

namespace {

constexpr std::size_t kRestrictionCount = 4;

// ADO type codes of the rowsets' own columns.
constexpr int32_t kAdWChar = 130;
constexpr int32_t kAdBoolean = 11;
constexpr int32_t kAdUnsignedSmallInt = 18;
constexpr int32_t kAdUnsignedInt = 19;

// The catalogue has no catalog level: TABLE_CATALOG is NULL and a catalog restriction matches nothing.
// TABLE_SCHEMA is SQLite's database name (main, temp or an attached name).
constexpr std::string_view kTablesSql = R"sql(
SELECT NULL AS TABLE_CATALOG, t.schema AS TABLE_SCHEMA, t.name AS TABLE_NAME, 'TABLE' AS TABLE_TYPE,
       NULL AS DESCRIPTION
FROM pragma_table_list AS t
WHERE t.type = 'table' AND t.name NOT LIKE 'sqlite\_%' ESCAPE '\'
  AND ?1 IS NULL
  AND (?2 IS NULL OR t.schema = ?2 COLLATE NOCASE)
  AND (?3 IS NULL OR t.name = ?3 COLLATE NOCASE)
  AND (?4 IS NULL OR ?4 = 'TABLE' COLLATE NOCASE)
ORDER BY t.schema = 'temp', t.schema, t.name COLLATE NOCASE
)sql";

// The tables are chosen first (materialized), so the column pragma only reads the tables asked for.
constexpr std::string_view kColumnsSql = R"sql(
WITH t AS MATERIALIZED (
  SELECT schema, name FROM pragma_table_list
  WHERE type IN ('table', 'view') AND name NOT LIKE 'sqlite\_%' ESCAPE '\'
    AND ?1 IS NULL
    AND (?2 IS NULL OR schema = ?2 COLLATE NOCASE)
    AND (?3 IS NULL OR name = ?3 COLLATE NOCASE)
)
SELECT NULL AS TABLE_CATALOG, t.schema AS TABLE_SCHEMA, t.name AS TABLE_NAME, c.name AS COLUMN_NAME,
       c.cid + 1 AS ORDINAL_POSITION, c.dflt_value IS NOT NULL AS COLUMN_HASDEFAULT, c.dflt_value AS COLUMN_DEFAULT,
       c."notnull" = 0 AS IS_NULLABLE, talvane_ado_type(c.type) AS DATA_TYPE, c.type AS TYPE_NAME
FROM t, pragma_table_info(t.name, t.schema) AS c
WHERE ?4 IS NULL OR c.name = ?4 COLLATE NOCASE
ORDER BY t.schema = 'temp', t.schema, t.name COLLATE NOCASE, c.cid
)sql";

// A key that names no column of the parent refers to the parent's primary key. The restrictions are the
// catalog (matches nothing), the schema, the parent table and the child table.
constexpr std::string_view kForeignKeysSql = R"sql(
SELECT NULL AS PK_TABLE_CATALOG, t.schema AS PK_TABLE_SCHEMA, k."table" AS PK_TABLE_NAME,
       COALESCE(k."to", (SELECT p.name FROM pragma_table_info(k."table", t.schema) AS p WHERE p.pk = k.seq + 1))
         AS PK_COLUMN_NAME,
       NULL AS FK_TABLE_CATALOG, t.schema AS FK_TABLE_SCHEMA, t.name AS FK_TABLE_NAME, k."from" AS FK_COLUMN_NAME
FROM pragma_table_list AS t, pragma_foreign_key_list(t.name, t.schema) AS k
WHERE t.type = 'table' AND t.name NOT LIKE 'sqlite\_%' ESCAPE '\'
  AND ?1 IS NULL
  AND (?2 IS NULL OR t.schema = ?2 COLLATE NOCASE)
  AND (?3 IS NULL OR k."table" = ?3 COLLATE NOCASE)
  AND (?4 IS NULL OR t.name = ?4 COLLATE NOCASE)
ORDER BY t.name COLLATE NOCASE, k.id, k.seq
)sql";

void AdoTypeFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
  const int bytes = sqlite3_value_bytes(arguments[0]);
  const std::string_view declared = text != nullptr ? std::string_view(text, static_cast<std::size_t>(bytes))
                                                    : std::string_view();
  sqlite3_result_int(context, AdoTypeFromDeclared(declared));
}

std::vector<std::string> PaddedRestrictions(const std::vector<std::string>& restrictions) {
  if (restrictions.size() > kRestrictionCount) RaiseBadArgument();
  std::vector<std::string> padded = restrictions;
  padded.resize(kRestrictionCount);
  return padded;
}

std::shared_ptr<Recordset> OpenRowset(const std::shared_ptr<SqliteSession>& session, std::string_view sql,
                                      const std::vector<std::string>& restrictions, std::vector<int32_t> types) {
  auto recordset = std::make_shared<SqliteRecordset>();
  recordset->OpenCatalog(session, sql, PaddedRestrictions(restrictions), std::move(types));
  return recordset;
}

}  // namespace

void RegisterSchemaFunctions(sqlite3* handle) {
  const int rc = sqlite3_create_function_v2(handle, "talvane_ado_type", 1,
                                            SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                                            AdoTypeFunction, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) RaiseFromSqlite(handle, rc, SqliteStage::kExecution);
}

std::shared_ptr<Recordset> OpenTablesSchema(const std::shared_ptr<SqliteSession>& session,
                                            const std::vector<std::string>& restrictions) {
  return OpenRowset(session, kTablesSql, restrictions, {kAdWChar, kAdWChar, kAdWChar, kAdWChar, kAdWChar});
}

std::shared_ptr<Recordset> OpenForeignKeysSchema(const std::shared_ptr<SqliteSession>& session,
                                                 const std::vector<std::string>& restrictions) {
  return OpenRowset(session, kForeignKeysSql, restrictions,
                    {kAdWChar, kAdWChar, kAdWChar, kAdWChar, kAdWChar, kAdWChar, kAdWChar, kAdWChar});
}

std::shared_ptr<Recordset> OpenColumnsSchema(const std::shared_ptr<SqliteSession>& session,
                                             const std::vector<std::string>& restrictions) {
  return OpenRowset(session, kColumnsSql, restrictions,
                    {kAdWChar, kAdWChar, kAdWChar, kAdWChar, kAdUnsignedInt, kAdBoolean, kAdWChar, kAdBoolean,
                     kAdUnsignedSmallInt, kAdWChar});
}

}  // namespace talvane::db::detail
