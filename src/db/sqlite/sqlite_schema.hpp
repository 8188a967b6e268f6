#pragma once
// The schema rowsets of the SQLite backend: tables (kind 20) and columns (kind 4), in the manner of ADO's
// OpenSchema, read from SQLite's own catalogue with every restriction bound as a parameter.
#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace talvane::db {

class Recordset;
class SqliteSession;

namespace detail {

// Registers the SQL function the columns rowset uses to report ADO type codes; raises on failure.
void RegisterSchemaFunctions(sqlite3* handle);

// Restrictions: catalog, schema, table, table type. Ordinary tables only: no views, no sqlite_ tables.
std::shared_ptr<Recordset> OpenTablesSchema(const std::shared_ptr<SqliteSession>& session,
                                            const std::vector<std::string>& restrictions);
// Restrictions: catalog, schema, table, column. One row per column of each table or view, in declared order.
// Restrictions: catalog, schema, parent table, child table (see db/foreign_keys.hpp for the layout).
std::shared_ptr<Recordset> OpenForeignKeysSchema(const std::shared_ptr<SqliteSession>& session,
                                                 const std::vector<std::string>& restrictions);
std::shared_ptr<Recordset> OpenColumnsSchema(const std::shared_ptr<SqliteSession>& session,
                                             const std::vector<std::string>& restrictions);

}  // namespace detail
}  // namespace talvane::db
