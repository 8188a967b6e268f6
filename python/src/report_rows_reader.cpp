#include "report_rows_reader.hpp"

#include "talvane/db/connection.hpp"
#include "talvane/db/sqlite_connection.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/report_rows.hpp"
#include "talvane/report/statement_on.hpp"

namespace talvane::python {

std::shared_ptr<db::Connection> SqliteConnectionOf(const Exception& report) {
  const std::shared_ptr<db::Connection> own = report.Connection();
  const auto* database = dynamic_cast<const db::SqliteConnection*>(own.get());
  if (!database || report.DatabaseType() == kSQLite) return own;
  // The first Provider key of a connection string counts.
  return database->Alias("Provider=SQLite;" + own->ConnectionString());
}

SqliteStatement SqliteStatementOf(Exception& report) {
  std::shared_ptr<db::Connection> sqlite = SqliteConnectionOf(report);
  if (sqlite == report.Connection()) return {std::move(sqlite), report.SQL()};
  std::string statement = StatementOn(report, sqlite);
  return {std::move(sqlite), std::move(statement)};
}

ReadRows ReadReportRows(Exception& report, std::optional<int64_t> limit) {
  const SqliteStatement built = SqliteStatementOf(report);
  ReportRows rows(built.connection, built.statement);
  ReadRows read;
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
    read.columnNames.push_back(rows.ColumnName(c));
    read.columnTypes.push_back(rows.ColumnType(c));
  }
  while ((!limit || rows.RowCount() < *limit) && rows.Next()) {
    std::vector<Cell>& row = read.rows.emplace_back();
    for (int32_t c = 0; c < rows.ColumnCount(); ++c) row.push_back({rows.Kind(c), std::string(rows.Text(c))});
  }
  return read;
}

}  // namespace talvane::python
