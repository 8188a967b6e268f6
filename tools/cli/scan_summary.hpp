#pragma once
// What the outputs of `talvane scan` show: the results of a scan, their totals and its exit code.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "talvane/scan/scan_result.hpp"

namespace talvane::cli {

struct ScanSummary {
  const std::vector<ScanResult>& results;
  bool withHistory = false;
  double seconds = 0;  // the whole scan

  std::size_t Count(ScanStatus status) const;
  int64_t TotalRows() const;
  // 0 when every report is clean, 1 when some have exceptions and none failed, 2 when some failed.
  int ExitCode() const;
};

// A report's error on one line: "formula 1 at 25: error 0x80040003 (Exception: Section.Add): Illigal value".
std::string ErrorLine(const ScanError& error);

// Seconds with three decimals, "0.003".
std::string SecondsText(double seconds);

// The first `count` identities of a result, joined by ", ", with ", ..." when there are more.
std::string FirstKeys(const std::vector<std::string>& keys, std::size_t count);

}  // namespace talvane::cli
