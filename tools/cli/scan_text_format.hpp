#pragma once
// `talvane scan --format text`: a table of report, status, rows, new, cleared and time, each report's error
// below it, and a last line of totals.
#include <string>

#include "scan_summary.hpp"

namespace talvane::cli {

std::string ScanText(const ScanSummary& summary);

}  // namespace talvane::cli
