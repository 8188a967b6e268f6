#pragma once
// `talvane scan --format json`: {"reports": [...], "totals": {...}}, each report with its path, description,
// status, rows, new, cleared (null without a history), sample (objects keyed by column, NULL as null),
// seconds, statement, trend and error (null, or number, source, description, item and position).
#include <string>

#include "scan_summary.hpp"

namespace talvane::cli {

std::string ScanJson(const ScanSummary& summary);

}  // namespace talvane::cli
