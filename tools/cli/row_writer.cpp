#include "row_writer.hpp"

#include "csv_writer.hpp"
#include "json_writer.hpp"
#include "table_writer.hpp"

namespace talvane::cli {

std::unique_ptr<RowWriter> MakeRowWriter(const std::string& format, OutputSink& out) {
  if (format == "json") return std::make_unique<JsonWriter>(out);
  if (format == "table") return std::make_unique<TableWriter>(out);
  return std::make_unique<CsvWriter>(out);
}

}  // namespace talvane::cli
