#pragma once
// `talvane scan --format junit`: JUnit XML as CI systems read it. One testsuite "talvane scan" with one
// testcase per report (named by its path, its folder as class name): a report with exceptions has a
// <failure> naming their count and first identities, a report that failed an <error> with the talvane::Error.
#include <string>

#include "scan_summary.hpp"

namespace talvane::cli {

std::string ScanJunit(const ScanSummary& summary);

}  // namespace talvane::cli
