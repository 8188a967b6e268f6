#pragma once
// The tables and columns schema rowsets of an ODBC connection, with the columns the SQLite backend gives.
#include <memory>
#include <string>
#include <vector>

#include "talvane/db/recordset.hpp"

namespace talvane::db::detail {

class OdbcSession;

// Restrictions: catalog, schema, table, table type. The ordinary tables, from the session's listing.
std::shared_ptr<Recordset> OpenTablesSchema(OdbcSession& session, const std::vector<std::string>& restrictions);
// Restrictions: catalog, schema, table, column. One SQLColumns call.
std::shared_ptr<Recordset> OpenColumnsSchema(OdbcSession& session, const std::vector<std::string>& restrictions);
// Restrictions: catalog, schema, parent table, child table (see db/foreign_keys.hpp for the layout).
std::shared_ptr<Recordset> OpenForeignKeysSchema(OdbcSession& session, const std::vector<std::string>& restrictions);

}  // namespace talvane::db::detail
