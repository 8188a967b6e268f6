#pragma once
// JSON: an array of objects, one per row and one line each, keyed by the column names in column order.
// Integers and reals are numbers (an infinite real is written 1e999 or -1e999, which JSON readers take
// for infinity), text is a string, NULL is null and a blob is a string of hexadecimal digits. Strings are
// escaped as JSON requires; bytes that are not UTF-8 become U+FFFD.
#include <string>
#include <string_view>
#include <vector>

#include "row_writer.hpp"

namespace talvane::cli {

class JsonWriter final : public RowWriter {
 public:
  explicit JsonWriter(OutputSink& out) : out_(out) {}

  void Begin(const ReportRows& rows) override;
  void Row(const ReportRows& rows) override;
  void End() override;

 private:
  void String(std::string_view text);
  void Real(std::string_view text);

  OutputSink& out_;
  // `"name": ` of each column, escaped once.
  std::vector<std::string> keys_;
  bool anyRow_ = false;
};

}  // namespace talvane::cli
