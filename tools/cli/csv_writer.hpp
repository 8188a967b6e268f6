#pragma once
// CSV as RFC 4180 has it: a header row of column names, then one record per row, fields separated by ","
// and records ended by "\r\n". A field holding a comma, a double quote or a line break is enclosed in
// double quotes, with its double quotes doubled. NULL is an empty field and empty text is "", so the two
// stay apart; a blob is written as hexadecimal digits.
#include <string_view>

#include "row_writer.hpp"

namespace talvane::cli {

class CsvWriter final : public RowWriter {
 public:
  explicit CsvWriter(OutputSink& out) : out_(out) {}

  void Begin(const ReportRows& rows) override;
  void Row(const ReportRows& rows) override;
  void End() override {}

 private:
  void Text(std::string_view text);

  OutputSink& out_;
};

}  // namespace talvane::cli
