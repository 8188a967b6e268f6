#include "db/foreign_keys.hpp"

#include "talvane/db/connection.hpp"
#include "talvane/foundation/error.hpp"
#include "db/recordset_closer.hpp"

namespace talvane::db {

namespace {

// The positions of the columns read, in the rowset's layout.
constexpr int32_t kPkTable = 2;
constexpr int32_t kPkColumn = 3;
constexpr int32_t kFkTable = 6;
constexpr int32_t kFkColumn = 7;

}  // namespace

std::vector<ForeignKey> ReadForeignKeys(Connection& connection) {
  std::shared_ptr<Recordset> opened;
  try {
    opened = connection.OpenSchema(kSchemaForeignKeys, {});
  } catch (const Error&) {
    return {};  // a connection that does not list foreign keys declares none
  }
  if (!opened) return {};
  talvane::detail::RecordsetCloser rowset(opened);
  std::vector<ForeignKey> keys;
  for (; !rowset->Eof(); rowset->MoveNext()) {
    keys.push_back({rowset->FieldValue(kFkTable), rowset->FieldValue(kFkColumn), rowset->FieldValue(kPkTable),
                    rowset->FieldValue(kPkColumn)});
  }
  rowset.Close();
  return keys;
}

}  // namespace talvane::db
