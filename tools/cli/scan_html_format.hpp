#pragma once
// `talvane scan --format html`: one self-contained page (its style inline, no script): the totals, a bar chart
// of the exceptions of each report drawn as inline SVG, a table of the reports with, from a history, a small
// trend line of each over its past scans, then each report's error or sample rows and its statement.
#include <string>

#include "scan_summary.hpp"

namespace talvane::cli {

std::string ScanHtml(const ScanSummary& summary);

}  // namespace talvane::cli
