#include "scan_json_format.hpp"

#include <nlohmann/json.hpp>

namespace talvane::cli {

namespace {

using Json = nlohmann::ordered_json;

Json SampleOf(const ScanResult& result) {
  Json rows = Json::array();
  for (const auto& row : result.sample) {
    Json object = Json::object();
    for (std::size_t c = 0; c < row.size() && c < result.columns.size(); ++c) {
      object[result.columns[c]] = row[c] ? Json(*row[c]) : Json(nullptr);
    }
    rows.push_back(std::move(object));
  }
  return rows;
}

Json ErrorOf(const ScanResult& result) {
  if (!result.error) return nullptr;
  const ScanError& error = *result.error;
  return Json{{"number", error.number},
              {"source", error.source},
              {"description", error.description},
              {"item", error.item},
              {"position", error.position >= 0 ? Json(error.position) : Json(nullptr)}};
}

Json ReportOf(const ScanResult& result, bool withHistory) {
  return Json{{"path", result.path},
              {"description", result.description},
              {"status", ScanStatusName(result.status)},
              {"rows", result.rows},
              {"new", withHistory ? Json(result.newKeys) : Json(nullptr)},
              {"cleared", withHistory ? Json(result.cleared) : Json(nullptr)},
              {"keys", result.keys},
              {"sample", SampleOf(result)},
              {"seconds", result.seconds},
              {"statement", result.statement},
              {"trend", result.trend},
              {"error", ErrorOf(result)}};
}

}  // namespace

std::string ScanJson(const ScanSummary& summary) {
  Json reports = Json::array();
  for (const ScanResult& result : summary.results) reports.push_back(ReportOf(result, summary.withHistory));
  const Json totals{{"reports", summary.results.size()},
                    {"clean", summary.Count(ScanStatus::kClean)},
                    {"exceptions", summary.Count(ScanStatus::kExceptions)},
                    {"errors", summary.Count(ScanStatus::kError)},
                    {"rows", summary.TotalRows()},
                    {"seconds", summary.seconds}};
  const Json document{{"reports", std::move(reports)}, {"totals", totals}};
  // Text from the database that is not UTF-8 is shown with replacement characters rather than refused.
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

}  // namespace talvane::cli
