#include "talvane/db/schema_lookup.hpp"

#include <utility>
#include <vector>

#include "talvane/db/connection.hpp"
#include "talvane/db/recordset.hpp"
#include "talvane/db/schema_cache.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

constexpr int32_t kObjectNotSet = 91;

const std::shared_ptr<db::Connection>& RequireConnection(const std::shared_ptr<db::Connection>& connection,
                                                         std::string_view source) {
  if (!connection) Raise(kObjectNotSet, source, "Object variable or With block variable not set");
  return connection;
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
  auto& cnn = *RequireConnection(connection, "TableColumns");
  const auto& columns = cnn.Schema().TableColumns(StripBrackets(table));
  std::string result;
  if (!columns) return result;
  for (const std::string& column : *columns) {
    if (!result.empty()) result += ", ";
    result += AddBrackets(column);
  }
  return result;
}

bool TableHasColumn(std::string_view table, std::string_view column,
                    const std::shared_ptr<db::Connection>& connection) {
  auto& cnn = *RequireConnection(connection, "TableHasColumn");
  return cnn.Schema().TableHasColumn(StripBrackets(table), StripBrackets(column));
}

}  // namespace talvane
