#pragma once
// A table for people: a header line of column names, a line of dashes, then one line per row, columns
// separated by two blanks. NULL is an empty cell, a blob is shown as hexadecimal digits, and control
// characters and bytes that are not UTF-8 in text are escaped (\n, \t, \xFF) so that each row stays on
// one line. A column whose values are all numbers is aligned right.
//
// To print rows as they come, widths and alignment are decided from the header and the first
// kMeasuredRows rows, which are held until then; a longer value further down pushes the rest of its line
// to the right.
#include <cstddef>
#include <string>
#include <vector>

#include "row_writer.hpp"

namespace talvane::cli {

class TableWriter final : public RowWriter {
 public:
  static constexpr std::size_t kMeasuredRows = 1000;

  explicit TableWriter(OutputSink& out) : out_(out) {}

  void Begin(const ReportRows& rows) override;
  void Row(const ReportRows& rows) override;
  void End() override;

 private:
  struct Cell {
    std::string text;
    bool number = false;
    bool null = false;
  };
  using Line = std::vector<Cell>;

  static Line CellsOf(const ReportRows& rows);
  // Decides widths and alignment from what is held, then prints the header and the held rows.
  void Settle();
  void Print(const Line& line);

  OutputSink& out_;
  Line header_;
  std::vector<Line> held_;
  bool settled_ = false;
  std::vector<std::size_t> widths_;
  std::vector<bool> rightAligned_;
};

}  // namespace talvane::cli
