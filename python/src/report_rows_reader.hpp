#pragma once
// Running a report in the SQLite dialect and reading its rows, done without the GIL; the rows are turned into
// Python values afterwards.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "talvane/db/recordset.hpp"
#include "talvane/fwd.hpp"

namespace talvane::python {

struct Cell {
  db::ValueKind kind = db::ValueKind::kNull;
  std::string text;
};

struct ReadRows {
  std::vector<std::string> columnNames;
  std::vector<int32_t> columnTypes;  // ADO type codes
  std::vector<std::vector<Cell>> rows;
};

// The report's statement in the SQLite dialect, on the report's own database: built on its connection when
// that already speaks SQLite, otherwise on an alias of it in the SQLite dialect, which is closed with it. A
// report without a connection, or on a closed one, raises what its SQL() raises.
std::shared_ptr<db::Connection> SqliteConnectionOf(const Exception& report);
struct SqliteStatement {
  std::shared_ptr<db::Connection> connection;
  std::string statement;
};
SqliteStatement SqliteStatementOf(Exception& report);

// Every row, or the first `limit` of them.
ReadRows ReadReportRows(Exception& report, std::optional<int64_t> limit);

}  // namespace talvane::python
