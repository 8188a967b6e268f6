#include "table_writer.hpp"

#include <algorithm>

#include "display_text.hpp"
#include "output_sink.hpp"
#include "talvane/report/report_rows.hpp"
#include "value_text.hpp"

namespace talvane::cli {

namespace {

constexpr std::string_view kColumnGap = "  ";

std::size_t ScreenWidth(const std::string& text) { return DisplayColumn(text, text.size()); }

}  // namespace

void TableWriter::Begin(const ReportRows& rows) {
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) header_.push_back({Printable(rows.ColumnName(c))});
}

void TableWriter::Row(const ReportRows& rows) {
  if (settled_) {
    Print(CellsOf(rows));
    return;
  }
  held_.push_back(CellsOf(rows));
  if (held_.size() == kMeasuredRows) Settle();
}

void TableWriter::End() {
  if (!settled_) Settle();
}

TableWriter::Line TableWriter::CellsOf(const ReportRows& rows) {
  Line line(static_cast<std::size_t>(rows.ColumnCount()));
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
    Cell& cell = line[static_cast<std::size_t>(c)];
    switch (rows.Kind(c)) {
      case db::ValueKind::kNull: cell.null = true; break;
      case db::ValueKind::kInteger:
      case db::ValueKind::kReal:
        cell.text = rows.Text(c);
        cell.number = true;
        break;
      case db::ValueKind::kText: cell.text = Printable(rows.Text(c)); break;
      case db::ValueKind::kBlob: cell.text = HexText(rows.Text(c)); break;
    }
  }
  return line;
}

void TableWriter::Settle() {
  settled_ = true;
  const std::size_t columns = header_.size();
  widths_.assign(columns, 0);
  std::vector<bool> anyValue(columns, false);
  std::vector<bool> onlyNumbers(columns, true);
  for (std::size_t c = 0; c < columns; ++c) widths_[c] = ScreenWidth(header_[c].text);
  for (const Line& line : held_) {
    for (std::size_t c = 0; c < columns; ++c) {
      widths_[c] = std::max(widths_[c], ScreenWidth(line[c].text));
      if (line[c].null) continue;
      anyValue[c] = true;
      onlyNumbers[c] = onlyNumbers[c] && line[c].number;
    }
  }
  rightAligned_.assign(columns, false);
  for (std::size_t c = 0; c < columns; ++c) rightAligned_[c] = anyValue[c] && onlyNumbers[c];
  Print(header_);
  Line rule;
  for (const std::size_t width : widths_) rule.push_back({std::string(width, '-')});
  Print(rule);
  for (const Line& line : held_) Print(line);
  held_.clear();
  held_.shrink_to_fit();
}

// Blanks fill each cell to its column's width, but a line never ends in blanks: empty cells at its end
// are left out and its last cell, when aligned left, is not filled.
void TableWriter::Print(const Line& line) {
  std::size_t end = line.size();
  while (end > 0 && line[end - 1].text.empty()) --end;
  for (std::size_t c = 0; c < end; ++c) {
    if (c > 0) out_.Append(kColumnGap);
    const std::size_t width = ScreenWidth(line[c].text);
    const std::string fill(widths_[c] - std::min(widths_[c], width), ' ');
    if (rightAligned_[c]) out_.Append(fill);
    out_.Append(line[c].text);
    if (!rightAligned_[c] && c + 1 < end) out_.Append(fill);
  }
  out_.Append('\n');
}

}  // namespace talvane::cli
