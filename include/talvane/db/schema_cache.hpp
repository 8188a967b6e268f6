#pragma once
// What a connection's schema answers, asked once per question and kept until the connection's schema version
// moves: the columns a query of a table returns (tables and views alike), and the ordinary tables and their
// columns as the schema rowsets list them. Every connection has one (Connection::Schema()).
//
// Answers are checked against the schema version once per outermost SchemaScope, and at every use outside
// one. A backend that cannot tell its schema version keeps nothing beyond one scope.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "talvane/foundation/error.hpp"


namespace talvane::db {

class Connection;

/// A column as a query of its table returns it.
struct QueriedColumn {
  /// The column's name as the query returns it.
  std::string name;
  /// Its ADO type code.
  int32_t adoType = 0;
};

/// What a connection's schema answers (columns of a table, their types), asked once and kept until the
/// connection's schema version moves.
class SchemaCache {
 public:
  /// A cache of the schema of @p connection, which outlives it.
  explicit SchemaCache(Connection& connection) : connection_(connection) {}

  /// The columns of `SELECT * FROM [table] ;`, in order. Raises what the query raises and asks again next
  /// time; only that there is no such table is kept, and only until the scope it was learnt in ends.
  const std::vector<QueriedColumn>& QueryColumns(std::string_view table);
  /// The ADO type of a column of that query, found without regard to letter case; raises "item not found"
  /// (3265) when the query has no such column.
  int32_t QueryColumnType(std::string_view table, std::string_view column);
  /// The columns the columns schema lists for an ordinary table of that name, in order; none when the tables
  /// schema lists no such table.
  const std::optional<std::vector<std::string>>& TableColumns(std::string_view table);
  /// Whether the columns schema lists @p column (any letter case) for the table @p table.
  bool TableHasColumn(std::string_view table, std::string_view column);

  /// The connection's schema version as last checked (checked now outside a scope); none when it cannot tell.
  const std::optional<std::string>& Version();
  /// Forgets every answer.
  void Clear();

 private:
  /// Drops every answer when the schema version moved (or cannot be told) since the last check.
  void Refresh();
  struct Queried {
    std::vector<QueriedColumn> columns;
    std::optional<Error> missing;  // the query's "no such table"
    uint64_t missingEpoch = 0;      // the scope that learnt it
  };

  Queried Query(const std::string& table);
  std::optional<std::vector<std::string>> ListTable(const std::string& table);

  Connection& connection_;
  std::optional<std::string> version_;
  std::optional<uint64_t> checkedEpoch_;
  std::unordered_map<std::string, Queried> queried_;  // by upper-cased table name
  std::unordered_map<std::string, std::optional<std::vector<std::string>>> tables_;
};

}  // namespace talvane::db
