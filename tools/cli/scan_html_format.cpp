#include "scan_html_format.hpp"

#include <algorithm>
#include <cstdio>

#include "markup_text.hpp"

namespace talvane::cli {

namespace {

constexpr const char* kStyle =
    "body{font-family:sans-serif;margin:2em;color:#222}"
    "table{border-collapse:collapse;margin:.5em 0}td,th{border:1px solid #ccc;padding:.2em .6em;text-align:left}"
    "td.n{text-align:right;white-space:nowrap}.clean{color:#2a7d2a}.exceptions{color:#b35c00}.error{color:#c0392b}"
    "pre{background:#f4f4f4;padding:.6em;overflow:auto}section{margin-top:1.5em}";

// The bar chart: one bar per report, its length the report's row count.
constexpr int kChartWidth = 760;
constexpr int kLabelWidth = 300;
constexpr int kBarHeight = 18;
constexpr int kBarGap = 6;
// A trend line's box.
constexpr int kTrendWidth = 120;
constexpr int kTrendHeight = 24;

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string Seconds(double seconds) {
  return SecondsText(seconds) + " s";
}

// A path that would not fit the chart's labels keeps its end, where the file name is.
std::string ChartLabel(const std::string& path) {
  constexpr std::size_t kLongest = 44;
  if (path.size() <= kLongest) return path;
  std::size_t start = path.size() - (kLongest - 3);
  while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80) ++start;
  return "..." + path.substr(start);
}

std::string BarOf(const ScanResult& result, int index, int64_t most) {
  const int y = index * (kBarHeight + kBarGap);
  const double length = most > 0 ? static_cast<double>(result.rows) / static_cast<double>(most) *
                                       (kChartWidth - kLabelWidth - 60)
                                 : 0;
  const bool failed = result.status == ScanStatus::kError;
  std::string bar = "<text x=\"" + std::to_string(kLabelWidth - 8) + "\" y=\"" + std::to_string(y + 13) +
                    "\" text-anchor=\"end\" font-size=\"12\"><title>" + MarkupEscaped(result.path) + "</title>" +
                    MarkupEscaped(ChartLabel(result.path)) + "</text>";
  bar += "<rect class=\"bar\" x=\"" + std::to_string(kLabelWidth) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
         Number(std::max(length, result.rows > 0 ? 2.0 : 0.0)) + "\" height=\"" + std::to_string(kBarHeight) +
         "\" fill=\"#e08a2c\"/>";
  const std::string label = failed ? "error" : std::to_string(result.rows);
  bar += "<text x=\"" + Number(kLabelWidth + length + 6) + "\" y=\"" + std::to_string(y + 13) +
         "\" font-size=\"12\" fill=\"" + (failed ? "#c0392b" : "#222") + "\">" + label + "</text>";
  return bar;
}

std::string Chart(const std::vector<ScanResult>& results) {
  int64_t most = 0;
  for (const ScanResult& result : results) most = std::max(most, result.rows);
  const int height = std::max<int>(1, static_cast<int>(results.size())) * (kBarHeight + kBarGap);
  std::string svg = "<svg id=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kChartWidth) +
                    "\" height=\"" + std::to_string(height) + "\" role=\"img\" aria-label=\"exceptions per report\">";
  for (std::size_t i = 0; i < results.size(); ++i) svg += BarOf(results[i], static_cast<int>(i), most);
  return svg + "</svg>\n";
}

// The row counts of a report's past scans as a line; nothing before its second scan.
std::string Trend(const std::vector<int64_t>& counts) {
  if (counts.size() < 2) return "";
  const int64_t most = std::max<int64_t>(1, *std::max_element(counts.begin(), counts.end()));
  std::string points;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    const double x = 2 + static_cast<double>(i) * (kTrendWidth - 4) / static_cast<double>(counts.size() - 1);
    const double y = kTrendHeight - 2 - static_cast<double>(counts[i]) * (kTrendHeight - 4) / static_cast<double>(most);
    points += (i > 0 ? " " : "") + Number(x) + "," + Number(y);
  }
  return "<svg class=\"trend\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kTrendWidth) +
         "\" height=\"" + std::to_string(kTrendHeight) + "\"><polyline fill=\"none\" stroke=\"#2c6fb3\" "
         "stroke-width=\"2\" points=\"" + points + "\"/></svg>";
}

std::string Cell(const std::string& text, bool number = false) {
  return std::string(number ? "<td class=\"n\">" : "<td>") + text + "</td>";
}

std::string ReportsTable(const ScanSummary& summary) {
  std::string table = "<table id=\"reports\"><tr><th>report</th><th>status</th><th>rows</th><th>new</th>"
                      "<th>cleared</th><th>time</th><th>trend</th></tr>\n";
  for (const ScanResult& result : summary.results) {
    const bool compared = summary.withHistory && result.status != ScanStatus::kError;
    const std::string status = ScanStatusName(result.status);
    table += "<tr>" + Cell(MarkupEscaped(result.path)) + "<td class=\"" + status + "\">" + status + "</td>" +
             Cell(result.status == ScanStatus::kError ? "-" : std::to_string(result.rows), true) + Cell(compared ? std::to_string(result.newKeys.size()) : "-", true) +
             Cell(compared ? std::to_string(result.cleared.size()) : "-", true) + Cell(Seconds(result.seconds), true) +
             Cell(Trend(result.trend)) + "</tr>\n";
  }
  return table + "</table>\n";
}

std::string SampleTable(const ScanResult& result) {
  if (result.sample.empty()) return "";
  std::string table = "<table class=\"sample\"><tr>";
  for (const std::string& column : result.columns) table += "<th>" + MarkupEscaped(column) + "</th>";
  table += "</tr>\n";
  for (const auto& row : result.sample) {
    table += "<tr>";
    for (const auto& value : row) table += Cell(value ? MarkupEscaped(*value) : "<i>NULL</i>");
    table += "</tr>\n";
  }
  return table + "</table>\n";
}

std::string Details(const ScanResult& result) {
  std::string section = "<section><h2>" + MarkupEscaped(result.path) + "</h2>\n";
  if (!result.description.empty()) section += "<p>" + MarkupEscaped(result.description) + "</p>\n";
  if (result.error) section += "<p class=\"error\">" + MarkupEscaped(ErrorLine(*result.error)) + "</p>\n";
  if (!result.newKeys.empty()) section += "<p>New: " + MarkupEscaped(FirstKeys(result.newKeys, 20)) + "</p>\n";
  if (!result.cleared.empty()) section += "<p>Cleared: " + MarkupEscaped(FirstKeys(result.cleared, 20)) + "</p>\n";
  section += SampleTable(result);
  if (!result.statement.empty()) section += "<pre>" + MarkupEscaped(result.statement) + "</pre>\n";
  return section + "</section>\n";
}

}  // namespace

std::string ScanHtml(const ScanSummary& summary) {
  std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>talvane scan</title>"
                     "<style>" + std::string(kStyle) + "</style></head><body>\n<h1>talvane scan</h1>\n";
  html += "<p id=\"totals\">" + std::to_string(summary.results.size()) + " reports: " +
          std::to_string(summary.Count(ScanStatus::kClean)) + " clean, " +
          std::to_string(summary.Count(ScanStatus::kExceptions)) + " with exceptions, " +
          std::to_string(summary.Count(ScanStatus::kError)) + " failed; " + std::to_string(summary.TotalRows()) +
          " rows; " + Seconds(summary.seconds) + "</p>\n";
  html += Chart(summary.results) + ReportsTable(summary);
  for (const ScanResult& result : summary.results) html += Details(result);
  return html + "</body></html>\n";
}

}  // namespace talvane::cli
