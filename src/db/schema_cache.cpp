#include "talvane/db/schema_cache.hpp"

#include "db/recordset_closer.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/db/schema_lookup.hpp"
#include "talvane/db/schema_scope.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::db {

namespace {

constexpr int32_t kObjectNotSet = 91;
constexpr std::string_view kItemNotFoundMessage = "Item cannot be found in the collection corresponding to the requested name or ordinal.";

std::shared_ptr<Recordset> OpenSchemaRowset(Connection& connection, int32_t kind, std::vector<std::string> restrictions) {
  auto recordset = connection.OpenSchema(kind, restrictions);
  if (!recordset) Raise(kObjectNotSet, "SchemaCache", "Object variable or With block variable not set");
  return recordset;
}

}  // namespace

void SchemaCache::Clear() {
  queried_.clear();
  tables_.clear();
}

void SchemaCache::Refresh() {
  const bool inScope = SchemaScope::Active();
  if (inScope && checkedEpoch_ == SchemaScope::Epoch()) return;
  std::optional<std::string> version = connection_.SchemaVersion();
  if (!version || version != version_) Clear();
  version_ = std::move(version);
  checkedEpoch_ = inScope ? std::optional(SchemaScope::Epoch()) : std::nullopt;
}

const std::optional<std::string>& SchemaCache::Version() {
  Refresh();
  return version_;
}

const std::vector<QueriedColumn>& SchemaCache::QueryColumns(std::string_view table) {
  Refresh();
  const std::string key = UpperAscii(table);
  auto found = queried_.find(key);
  const bool stale = found != queried_.end() && found->second.missing &&
                     (!SchemaScope::Active() || found->second.missingEpoch != SchemaScope::Epoch());
  if (found == queried_.end() || stale) {
    Queried answer = Query(std::string(table));
    found = queried_.insert_or_assign(key, std::move(answer)).first;
  }
  if (found->second.missing) throw *found->second.missing;
  return found->second.columns;
}

int32_t SchemaCache::QueryColumnType(std::string_view table, std::string_view column) {
  for (const QueriedColumn& queried : QueryColumns(table)) {
    if (EqualsIgnoreCase(queried.name, column)) return queried.adoType;
  }
  Raise(kErrItemNotFound, "ADODB.Fields", kItemNotFoundMessage);
}

// The field probe: prepared, never read past its first row. A failure other than "no such table" is not an
// answer: it passes, and the question is asked again next time. "No such table" is what every reference to a
// set meets, so within one scope it is asked once.
SchemaCache::Queried SchemaCache::Query(const std::string& table) {
  const std::shared_ptr<Connection> self = connection_.weak_from_this().lock();
  if (!self) Raise(kObjectNotSet, "SchemaCache", "The connection is not held by a shared pointer");
  Queried answer;
  try {
    talvane::detail::RecordsetCloser probe(connection_.NewRecordset());
    PrepareProbeRecordset(*probe);
    probe->Open("SELECT * FROM " + AddBrackets(table) + " ;", self);
    for (int32_t i = 0; i < probe->FieldCount(); ++i) {
      answer.columns.push_back({probe->FieldName(i), probe->FieldType(i)});
    }
    probe.Close();
  } catch (const Error& error) {
    if (error.Number() != kErrNoSuchTable || !SchemaScope::Active()) throw;
    answer.missing = error;
    answer.missingEpoch = SchemaScope::Epoch();
  }
  return answer;
}

const std::optional<std::vector<std::string>>& SchemaCache::TableColumns(std::string_view table) {
  Refresh();
  const std::string key = UpperAscii(table);
  auto found = tables_.find(key);
  if (found == tables_.end()) found = tables_.emplace(key, ListTable(std::string(table))).first;
  return found->second;
}

bool SchemaCache::TableHasColumn(std::string_view table, std::string_view column) {
  if (column.empty()) return false;  // an empty name would be no restriction at all
  const auto& columns = TableColumns(table);
  if (!columns) return false;
  for (const std::string& name : *columns) {
    if (EqualsIgnoreCase(name, column)) return true;
  }
  return false;
}

// An empty table name would be no restriction and match every table, so it names none.
std::optional<std::vector<std::string>> SchemaCache::ListTable(const std::string& table) {
  if (table.empty()) return std::nullopt;
  talvane::detail::RecordsetCloser tables(OpenSchemaRowset(connection_, kSchemaTables, {"", "", table, "TABLE"}));
  const bool exists = !tables->Eof();
  tables.Close();
  if (!exists) return std::nullopt;
  talvane::detail::RecordsetCloser rowset(OpenSchemaRowset(connection_, kSchemaColumns, {"", "", table, ""}));
  std::vector<std::string> columns;
  for (; !rowset->Eof(); rowset->MoveNext()) columns.push_back(rowset->FieldValue(3));
  rowset.Close();
  return columns;
}

}  // namespace talvane::db
