// Files for measuring `talvane sql` on reports of many sets by instructions rather than by the clock
// (scripts/cli_set_scaling.sh runs it under callgrind). The reports are those of the report mix
// (report_mix.hpp) with a set for every 25 formulas:
//   cli_set_scaling write DIR SIZE...   the database DIR/report.db and a definition DIR/reportSIZE.json
//                                       of each size
//   cli_set_scaling library DIR SIZE    the library's own build and render of that report, once
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "report_mix.hpp"
#include "sqlite_exec.hpp"
#include "talvane/definition/definition_writer.hpp"

namespace {

std::string ConnectionString(const std::string& directory) { return "Data Source=" + directory + "/report.db"; }

void WriteFiles(const std::string& directory, int argc, char** argv) {
  sqlite3* handle = nullptr;
  sqlite3_open((directory + "/report.db").c_str(), &handle);
  talvane::bench::Exec(handle, talvane::bench::SchemaSql());
  sqlite3_close(handle);
  for (int i = 3; i < argc; ++i) {
    const int size = std::stoi(argv[i]);
    const auto report = talvane::ReportFromDefinition(talvane::bench::MakeReportDefinition(size, talvane::bench::SetMix::kPerBlock),
                                                    talvane::db::SqliteConnection::Create(ConnectionString(directory)));
    std::ofstream(directory + "/report" + std::to_string(size) + ".json")
        << talvane::DefinitionJson(talvane::DefinitionOf(*report));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s write DIR SIZE... | library DIR SIZE\n", argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  const std::string directory = argv[2];
  if (mode == "write") {
    WriteFiles(directory, argc, argv);
    return 0;
  }
  const auto report = talvane::ReportFromDefinition(talvane::bench::MakeReportDefinition(std::stoi(argv[3]), talvane::bench::SetMix::kPerBlock),
                                                  talvane::db::SqliteConnection::Create(ConnectionString(directory)));
  return report->SQL().empty() ? 1 : 0;
}
