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
  std::vector<std::vector<Cell>> rows;
};

// The report's statement in the SQLite dialect, on the report's database: built on the report's own connection
// when that already speaks SQLite, otherwise on a second, read-only connection to the same data source (an
// in-memory database is not shared: open it with the sqlite dialect to run reports on it).
struct SqliteStatement {
  std::shared_ptr<db::Connection> connection;
  std::string statement;
};
SqliteStatement SqliteStatementOf(Exception& report);

// Every row, or the first `limit` of them.
ReadRows ReadReportRows(Exception& report, std::optional<int64_t> limit);

}  // namespace talvane::python
