#include "talvane/foundation/schema.hpp"

#include "foundation/recordset_closer.hpp"
#include <utility>
#include <vector>

#include "talvane/db/recordset.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

using detail::RecordsetCloser;

constexpr int32_t kObjectNotSet = 91;

const std::shared_ptr<db::Connection>& RequireConnection(const std::shared_ptr<db::Connection>& connection,
                                                         std::string_view source) {
  if (!connection) Raise(kObjectNotSet, source, "Object variable or With block variable not set");
  return connection;
}

std::shared_ptr<db::Recordset> OpenSchemaRowset(db::Connection& connection, int32_t kind,
                                                std::vector<std::string> restrictions, std::string_view source) {
  auto recordset = connection.OpenSchema(kind, restrictions);
  if (!recordset) Raise(kObjectNotSet, source, "Object variable or With block variable not set");
  return recordset;
}

// True when the schema lists an ordinary table of that (bracket-free) name. An empty name would be no
// restriction at all and match every table, so it names none.
bool TableExists(db::Connection& connection, const std::string& table, std::string_view source) {
  if (table.empty()) return false;
  RecordsetCloser tables(OpenSchemaRowset(connection, db::kSchemaTables, {"", "", table, "TABLE"}, source));
  const bool exists = !tables->Eof();
  tables.Close();
  return exists;
}

}  // namespace

void PrepareProbeRecordset(db::Recordset& recordset) {
  // Each setting is independent: a provider that refuses one still gets the others.
  try {
    recordset.SetCursorLocation(db::kAdUseServer);
  } catch (...) {  // NOLINT(bugprone-empty-catch)
  }
  try {
    recordset.SetCursorType(db::kAdOpenForwardOnly);
  } catch (...) {  // NOLINT(bugprone-empty-catch)
  }
  try {
    recordset.SetLockType(db::kAdLockReadOnly);
  } catch (...) {  // NOLINT(bugprone-empty-catch)
  }
}

std::string TableColumns(std::string_view table, const std::shared_ptr<db::Connection>& connection) {
  constexpr std::string_view kSource = "TableColumns";
  auto& cnn = *RequireConnection(connection, kSource);
  const std::string name = StripBrackets(table);
  if (!TableExists(cnn, name, kSource)) return {};

  RecordsetCloser columns(OpenSchemaRowset(cnn, db::kSchemaColumns, {"", "", name, ""}, kSource));
  std::string result;
  while (!columns->Eof()) {
    if (!result.empty()) result += ", ";
    result += AddBrackets(columns->FieldValue(3));
    columns->MoveNext();
  }
  columns.Close();
  return result;
}

bool TableHasColumn(std::string_view table, std::string_view column,
                    const std::shared_ptr<db::Connection>& connection) {
  constexpr std::string_view kSource = "TableHasColumn";
  auto& cnn = *RequireConnection(connection, kSource);
  const std::string tableName = StripBrackets(table);
  const std::string columnName = StripBrackets(column);
  // An empty column name would be no restriction and match any column.
  if (columnName.empty() || !TableExists(cnn, tableName, kSource)) return false;

  RecordsetCloser columns(OpenSchemaRowset(cnn, db::kSchemaColumns, {"", "", tableName, columnName}, kSource));
  const bool found = !columns->Eof();
  columns.Close();
  return found;
}

}  // namespace talvane
