#include "csv_writer.hpp"

#include "output_sink.hpp"
#include "talvane/report/report_rows.hpp"
#include "value_text.hpp"

namespace talvane::cli {

namespace {

constexpr std::string_view kRecordEnd = "\r\n";

bool NeedsQuotes(std::string_view text) {
  for (const char c : text) {
    if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
  }
  return text.empty();
}

}  // namespace

void CsvWriter::Begin(const ReportRows& rows) {
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
    if (c > 0) out_.Append(',');
    Text(rows.ColumnName(c));
  }
  out_.Append(kRecordEnd);
}

void CsvWriter::Row(const ReportRows& rows) {
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
    if (c > 0) out_.Append(',');
    switch (rows.Kind(c)) {
      case db::ValueKind::kNull: break;
      case db::ValueKind::kInteger:
      case db::ValueKind::kReal: out_.Append(rows.Text(c)); break;
      case db::ValueKind::kText: Text(rows.Text(c)); break;
      case db::ValueKind::kBlob: out_.Append(HexText(rows.Text(c))); break;
    }
  }
  out_.Append(kRecordEnd);
}

void CsvWriter::Text(std::string_view text) {
  if (!NeedsQuotes(text)) {
    out_.Append(text);
    return;
  }
  out_.Append('"');
  for (std::size_t quote = text.find('"'); quote != std::string_view::npos; quote = text.find('"')) {
    out_.Append(text.substr(0, quote + 1));
    out_.Append('"');
    text.remove_prefix(quote + 1);
  }
  out_.Append(text);
  out_.Append('"');
}

}  // namespace talvane::cli
