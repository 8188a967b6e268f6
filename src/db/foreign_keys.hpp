#pragma once
// The foreign keys a connection declares, read through its schema rowset of kind kSchemaForeignKeys: one
// row per column of a key, with the columns PK_TABLE_CATALOG, PK_TABLE_SCHEMA, PK_TABLE_NAME, PK_COLUMN_NAME,
// FK_TABLE_CATALOG, FK_TABLE_SCHEMA, FK_TABLE_NAME and FK_COLUMN_NAME (the first columns of ADO's
// foreign-key rowset).
#include <cstdint>
#include <string>
#include <vector>

namespace talvane::db {

class Connection;

// A kind of this library's own: ADO numbers its foreign-key rowset 27, which the backends refuse as before.
constexpr int32_t kSchemaForeignKeys = 1027;

// The column `fkColumn` of `fkTable` refers to `pkColumn` of `pkTable`.
struct ForeignKey {
  std::string fkTable;
  std::string fkColumn;
  std::string pkTable;
  std::string pkColumn;
};

// Every foreign key of the connection's tables; none when the connection cannot list them.
std::vector<ForeignKey> ReadForeignKeys(Connection& connection);

}  // namespace talvane::db
