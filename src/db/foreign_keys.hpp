#pragma once
// The foreign keys a connection declares, read through its schema rowset of kind kSchemaForeignKeys: one
// row per column of a key, with the columns PK_TABLE_CATALOG, PK_TABLE_SCHEMA, PK_TABLE_NAME, PK_COLUMN_NAME,
// FK_TABLE_CATALOG, FK_TABLE_SCHEMA, FK_TABLE_NAME and FK_COLUMN_NAME (ADO's adSchemaForeignKeys layout).
#include <cstdint>
#include <string>
#include <vector>

namespace talvane::db {

class Connection;

constexpr int32_t kSchemaForeignKeys = 27;

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
