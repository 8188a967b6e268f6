// `talvane sql` of a report definition next to the library's own build and render of the same report, at
// 100 and 1,000 formulas of the report mix (report_mix.hpp), on a database file. Both are timed by the wall
// clock: the program as a child process writing to /dev/null (start, reading the definition, opening the
// database, the reference check, building, rendering); the library on a connection opened afresh each round,
// so that neither side starts with the schema known. The summary gives the program's time as a multiple of
// the library's, and also net of the program's bare start (`talvane --version`: creating the process, loading
// and relocating the program and its libraries), which is the machine's cost rather than the command's.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "report_mix.hpp"
#include "run_program.hpp"
#include "scaling_summary.hpp"
#include "sqlite_exec.hpp"
#include "temp_dir.hpp"
#include "talvane/definition/definition_writer.hpp"

namespace talvane::bench {
namespace {

const int kSizes[] = {100, 1000};

// The database file and one definition file per size, made once.
class SqlFixture {
 public:
  SqlFixture() : directory_("talvane-sql-bench") {
    database_ = (directory_.Path() / "report.db").string();
    sqlite3* handle = nullptr;
    sqlite3_open(database_.c_str(), &handle);
    try {
      Exec(handle, SchemaSql());
    } catch (...) {
      sqlite3_close(handle);
      throw;
    }
    sqlite3_close(handle);
    for (const int size : kSizes) {
      plans_[size] = MakeReportDefinition(size);
      definitions_[size] = (directory_.Path() / ("report" + std::to_string(size) + ".json")).string();
      // The definition the report saves of itself, built once on the file's schema.
      const auto report = ReportFromDefinition(plans_[size], db::SqliteConnection::Create(ConnectionString()));
      std::ofstream(definitions_[size]) << DefinitionJson(DefinitionOf(*report));
    }
  }

  std::string ConnectionString() const { return "Data Source=" + database_; }
  const talvane::Definition& Plan(int size) const { return plans_.at(size); }
  const std::string& Definition(int size) const { return definitions_.at(size); }

 private:
  TemporaryDirectory directory_;
  std::string database_;
  std::map<int, talvane::Definition> plans_;
  std::map<int, std::string> definitions_;
};

const SqlFixture& Fixture() {
  static const SqlFixture fixture;
  return fixture;
}

void TalvaneSql(benchmark::State& state, int size) {
  try {
    const std::string& definition = Fixture().Definition(size);
    for (auto _ : state) {
      RunProgram(TalvaneProgram(), {"sql", definition, "--connection", Fixture().ConnectionString()}, "/dev/null");
    }
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
  }
}

void ProgramStart(benchmark::State& state) {
  try {
    for (auto _ : state) RunProgram(TalvaneProgram(), {"--version"}, "/dev/null");
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
  }
}

void LibraryBuildAndRender(benchmark::State& state, int size) {
  const talvane::Definition& plan = Fixture().Plan(size);
  for (auto _ : state) {
    auto report = ReportFromDefinition(plan, db::SqliteConnection::Create(Fixture().ConnectionString()));
    std::string sql = report->SQL();
    benchmark::DoNotOptimize(sql.data());
  }
}

std::string SizeName(const char* family, int size) { return std::string(family) + "/" + std::to_string(size); }

void RegisterAll() {
  benchmark::RegisterBenchmark("ProgramStart", ProgramStart)->Unit(benchmark::kMillisecond)->UseRealTime();
  for (const int size : kSizes) {
    benchmark::RegisterBenchmark(SizeName("TalvaneSql", size).c_str(), TalvaneSql, size)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(SizeName("LibraryBuildAndRender", size).c_str(), LibraryBuildAndRender, size)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
}

void PrintSummary(const RecordingReporter& reporter) {
  const double start = reporter.Seconds("ProgramStart").value_or(0.0);
  std::printf("\ntalvane sql against the library (wall ms per report; the program's bare start: %.3f ms)\n",
              start * 1e3);
  std::printf("  %8s %12s %12s %8s %16s\n", "formulas", "talvane sql", "library", "ratio", "net of start");
  for (const int size : kSizes) {
    const auto program = reporter.Seconds(SizeName("TalvaneSql", size));
    const auto library = reporter.Seconds(SizeName("LibraryBuildAndRender", size));
    if (!program || !library) continue;
    std::printf("  %8d %12.3f %12.3f %8.2f %16.2f\n", size, *program * 1e3, *library * 1e3, *program / *library,
                (*program - start) / *library);
  }
}

}  // namespace
}  // namespace talvane::bench

int main(int argc, char** argv) {
  return talvane::bench::RunWithSummary(argc, argv, talvane::bench::RecordingReporter::Clock::kWall,
                                        &talvane::bench::RegisterAll, &talvane::bench::PrintSummary);
}
