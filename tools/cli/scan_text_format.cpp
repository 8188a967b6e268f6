#include "scan_text_format.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "display_text.hpp"

namespace talvane::cli {

namespace {

constexpr std::size_t kColumns = 6;
using Line = std::array<std::string, kColumns>;
// The report's name is aligned left, the other columns right.
constexpr std::array<bool, kColumns> kAlignLeft = {true, true, false, false, false, false};

std::string Seconds(double seconds) {
  return SecondsText(seconds) + " s";
}

std::string CountOrDash(bool known, std::size_t count) { return known ? std::to_string(count) : "-"; }

Line LineOf(const ScanResult& result, bool withHistory) {
  const bool ran = result.status != ScanStatus::kError;
  return {Printable(result.path), ScanStatusName(result.status), ran ? std::to_string(result.rows) : "-",
          CountOrDash(withHistory && ran, result.newKeys.size()),
          CountOrDash(withHistory && ran, result.cleared.size()), Seconds(result.seconds)};
}

std::string Padded(const std::string& cell, std::size_t width, bool left) {
  const std::string blanks(width - std::min(width, DisplayColumn(cell, cell.size())), ' ');
  return left ? cell + blanks : blanks + cell;
}

std::string TableOf(const std::vector<Line>& lines) {
  std::array<std::size_t, kColumns> widths{};
  for (const Line& line : lines) {
    for (std::size_t c = 0; c < kColumns; ++c) widths[c] = std::max(widths[c], DisplayColumn(line[c], line[c].size()));
  }
  std::string table;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string text;
    for (std::size_t c = 0; c < kColumns; ++c) {
      const std::string cell = i == 1 ? std::string(widths[c], '-') : lines[i][c];
      text += (c > 0 ? "  " : "") + Padded(cell, widths[c], kAlignLeft[c]);
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    table += text + '\n';
  }
  return table;
}

std::string Plural(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string ScanText(const ScanSummary& summary) {
  std::vector<Line> lines = {Line{"report", "status", "rows", "new", "cleared", "time"}, Line{}};
  for (const ScanResult& result : summary.results) lines.push_back(LineOf(result, summary.withHistory));
  std::string text = TableOf(lines);
  for (const ScanResult& result : summary.results) {
    if (result.error) text += Printable(result.path) + ": " + ErrorLine(*result.error) + '\n';
  }
  text += Plural(summary.results.size(), "report", "reports") + ": " +
          std::to_string(summary.Count(ScanStatus::kClean)) + " clean, " +
          std::to_string(summary.Count(ScanStatus::kExceptions)) + " with exceptions, " +
          Plural(summary.Count(ScanStatus::kError), "error", "errors") + "; " +
          Plural(static_cast<std::size_t>(summary.TotalRows()), "row", "rows") + "; " + Seconds(summary.seconds) +
          '\n';
  return text;
}

}  // namespace talvane::cli
