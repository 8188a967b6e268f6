#include "report_run.hpp"

#include <optional>
#include <string>

#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/definition_check.hpp"
#include "display_text.hpp"
#include "talvane/definition/report_builder.hpp"
#include "result_json.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/report_rows.hpp"
#include "value_text.hpp"

namespace talvane::cli {

namespace {

// A number the database wrote as text. A real JSON has no number for (SQLite's "Inf") stays text, and so
// does an integer too large for 64 bits.
nlohmann::json Number(std::string_view text) {
  nlohmann::json number = nlohmann::json::parse(text, nullptr, false);
  return number.is_number() ? number : nlohmann::json(std::string(text));
}

nlohmann::json Value(const ReportRows& rows, int32_t column) {
  switch (rows.Kind(column)) {
    case db::ValueKind::kNull: return nullptr;
    case db::ValueKind::kInteger:
    case db::ValueKind::kReal: return Number(rows.Text(column));
    case db::ValueKind::kText: return std::string(rows.Text(column));
    case db::ValueKind::kBlob: return HexText(rows.Text(column));
  }
  return nullptr;
}

nlohmann::json Columns(const ReportRows& rows) {
  nlohmann::json columns = nlohmann::json::array();
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) columns.push_back(rows.ColumnName(c));
  return columns;
}

nlohmann::json ReadRows(const std::shared_ptr<db::Connection>& connection, const std::string& statement,
                        int64_t maxRows) {
  ReportRows rows(connection, statement);
  nlohmann::json list = nlohmann::json::array();
  bool more = false;
  while ((more = rows.Next())) {
    if (rows.RowCount() > maxRows) break;
    nlohmann::json row = nlohmann::json::array();
    for (int32_t c = 0; c < rows.ColumnCount(); ++c) row.push_back(Value(rows, c));
    list.push_back(std::move(row));
  }
  return {{"statement", statement},
          {"columns", Columns(rows)},
          {"rows", list},
          {"rowCount", list.size()},
          {"complete", !more}};
}

}  // namespace

nlohmann::json RunReport(const Definition& definition, const std::shared_ptr<db::Connection>& connection,
                         int64_t maxRows) {
  const BuiltReport built = BuildReport(definition, connection);
  if (!built.statement) return {{"failures", FailuresJson(built.failures)}};
  if (const std::optional<CheckFailure> noFields = NoOutputFieldsFailure(definition, *built.statement)) {
    return {{"failures", FailuresJson({*noFields})}};
  }
  try {
    return ReadRows(connection, *built.statement, maxRows);
  } catch (const Error& e) {
    return {{"statement", *built.statement},
            {"error", {{"number", ErrorNumberText(e.Number())}, {"message", e.Message()}}}};
  }
}

}  // namespace talvane::cli
