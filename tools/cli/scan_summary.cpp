#include "scan_summary.hpp"

#include <algorithm>
#include <cstdio>

#include "display_text.hpp"

namespace talvane::cli {

std::size_t ScanSummary::Count(ScanStatus status) const {
  return static_cast<std::size_t>(
      std::count_if(results.begin(), results.end(), [status](const ScanResult& r) { return r.status == status; }));
}

int64_t ScanSummary::TotalRows() const {
  int64_t rows = 0;
  for (const ScanResult& result : results) rows += result.rows;
  return rows;
}

int ScanSummary::ExitCode() const {
  if (Count(ScanStatus::kError) > 0) return 2;
  return Count(ScanStatus::kExceptions) > 0 ? 1 : 0;
}

std::string ErrorLine(const ScanError& error) {
  std::string line = error.item;
  if (error.position >= 0) line += " at " + std::to_string(error.position);
  line += ": error " + ErrorNumberText(error.number);
  if (!error.source.empty()) line += " (" + Printable(error.source) + ")";
  return line + ": " + OnOneLine(Printable(error.description));
}

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

std::string FirstKeys(const std::vector<std::string>& keys, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < std::min(count, keys.size()); ++i) text += (i > 0 ? ", " : "") + keys[i];
  if (keys.size() > count) text += ", ...";
  return text;
}

}  // namespace talvane::cli
