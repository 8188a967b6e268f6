#include "scan_junit_format.hpp"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "markup_text.hpp"

namespace talvane::cli {

namespace {

constexpr std::size_t kKeysInMessage = 10;

// The time the document is written, as the schema wants it: ISO 8601 without a zone.
std::string Timestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  return text;
}

std::string Hostname() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
  return name;
}

// A test case's class name: the report's folder with "." between its parts, as readers group classes.
std::string ClassName(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().generic_string();
  for (char& c : folder) c = c == '/' ? '.' : c;
  return folder.empty() ? "reports" : folder;
}

std::string Attribute(const char* name, const std::string& value) {
  return std::string(" ") + name + "=\"" + MarkupEscaped(value) + "\"";
}

std::string SampleText(const ScanResult& result) {
  std::string text;
  for (std::size_t c = 0; c < result.columns.size(); ++c) text += (c > 0 ? "\t" : "") + result.columns[c];
  text += '\n';
  for (const auto& row : result.sample) {
    for (std::size_t c = 0; c < row.size(); ++c) text += (c > 0 ? "\t" : "") + row[c].value_or("");
    text += '\n';
  }
  return text + "\n" + result.statement;
}

std::string Outcome(const ScanResult& result) {
  if (result.status == ScanStatus::kExceptions) {
    const std::string message = std::to_string(result.rows) + (result.rows == 1 ? " exception: " : " exceptions: ") +
                                FirstKeys(result.keys, kKeysInMessage);
    return "      <failure" + Attribute("message", message) + Attribute("type", "exceptions") + ">" +
           MarkupEscaped(SampleText(result)) + "</failure>\n";
  }
  if (result.error) {
    return "      <error" + Attribute("message", ErrorLine(*result.error)) + Attribute("type", result.error->item) +
           ">" + MarkupEscaped(result.error->description) + "</error>\n";
  }
  return "";
}

std::string TestCase(const ScanResult& result) {
  const std::string outcome = Outcome(result);
  const std::string open = "    <testcase" + Attribute("name", result.path) + Attribute("classname", ClassName(result.path)) +
                           Attribute("time", SecondsText(result.seconds));
  return outcome.empty() ? open + "/>\n" : open + ">\n" + outcome + "    </testcase>\n";
}

}  // namespace

std::string ScanJunit(const ScanSummary& summary) {
  const std::string counts = Attribute("tests", std::to_string(summary.results.size())) +
                             Attribute("failures", std::to_string(summary.Count(ScanStatus::kExceptions))) +
                             Attribute("errors", std::to_string(summary.Count(ScanStatus::kError)));
  const std::string time = Attribute("time", SecondsText(summary.seconds));
  // The strictest reader's schema gives <testsuites> no attributes and wants every one of these on <testsuite>,
  // with <properties>, <system-out> and <system-err> present.
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n";
  xml += "  <testsuite" + Attribute("name", "talvane scan") + Attribute("package", "talvane") + Attribute("id", "0") +
         counts + time + Attribute("timestamp", Timestamp()) +
         Attribute("hostname", Hostname()) + ">\n    <properties/>\n";
  for (const ScanResult& result : summary.results) xml += TestCase(result);
  xml += "    <system-out/>\n    <system-err/>\n  </testsuite>\n</testsuites>\n";
  return xml;
}

}  // namespace talvane::cli
