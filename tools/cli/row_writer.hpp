#pragma once
// Writes the rows of a report in one output format, a row at a time, to an OutputSink.
#include <memory>
#include <string>

namespace talvane {
class ReportRows;
}

namespace talvane::cli {

class OutputSink;

class RowWriter {
 public:
  virtual ~RowWriter() = default;
  // Before the first row: the column names are known.
  virtual void Begin(const ReportRows& rows) = 0;
  // The current row.
  virtual void Row(const ReportRows& rows) = 0;
  // After the last row written.
  virtual void End() = 0;
};

// "table", "csv" or "json".
std::unique_ptr<RowWriter> MakeRowWriter(const std::string& format, OutputSink& out);

}  // namespace talvane::cli
