// Scans: what a scan of 200 reports over the sample database costs next to running their 200 statements
// alone, and how a statement-heavy scan speeds up with a second job. Wall-clock times (a scan runs threads).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scaling_summary.hpp"
#include "sqlite_exec.hpp"
#include "talvane/db/sqlite_connection.hpp"
#include "talvane/definition/apply_definition.hpp"
#include "talvane/definition/definition_reader.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/scan/scanner.hpp"
#include "temp_dir.hpp"

namespace talvane::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kReports = 200;
constexpr int kHeavyReports = 8;
const char* const kExamples[] = {"busy_regions.json", "customers_to_call.json", "large_orders.json"};

// 200 definitions, the example reports that run, round-robin.
const fs::path& SampleReports() {
  static TemporaryDirectory directory("talvane-scan-bench");
  static const bool written = [] {
    for (int i = 0; i < kReports; ++i) {
      fs::copy_file(fs::path(TALVANE_SOURCE_DIR) / "examples/reports" / kExamples[i % 3],
                    directory.Path() / ("report" + std::to_string(1000 + i) + ".json"));
    }
    return true;
  }();
  (void)written;
  return directory.Path();
}

// Every statement a scan of SampleReports() runs, built as the scan builds them.
const std::vector<std::string>& SampleStatements() {
  static const std::vector<std::string> statements = [] {
    const auto connection = db::SqliteConnection::Create(std::string("Provider=SQLite;Data Source=") + TALVANE_SAMPLE_DB);
    std::vector<std::string> built;
    for (const std::string& path : ScanPaths({SampleReports().string()})) {
      built.push_back(ReportFromDefinition(LoadDefinition(path), connection)->SQL());
    }
    return built;
  }();
  return statements;
}

void ScanOfSampleReports(benchmark::State& state) {
  ScanOptions options;
  options.connection = std::string("Data Source=") + TALVANE_SAMPLE_DB;
  for (auto _ : state) benchmark::DoNotOptimize(Scan({SampleReports().string()}, options));
}

// The statements alone: prepared and stepped to their last row on one connection, nothing kept.
void StatementsAlone(benchmark::State& state) {
  const std::vector<std::string>& statements = SampleStatements();
  for (auto _ : state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(TALVANE_SAMPLE_DB, &db, SQLITE_OPEN_READONLY, nullptr);
    for (const std::string& sql : statements) {
      sqlite3_stmt* statement = nullptr;
      sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
      while (sqlite3_step(statement) == SQLITE_ROW) benchmark::DoNotOptimize(sqlite3_column_text(statement, 0));
      sqlite3_finalize(statement);
    }
    sqlite3_close(db);
  }
}

// A database whose reports cost their statement almost everything: 400,000 orders without an index on the
// column the reports compare, so each statement reads every order to give a few thousand.
const fs::path& HeavyFolder() {
  static TemporaryDirectory directory("talvane-scan-heavy");
  static const bool built = [] {
    sqlite3* db = nullptr;
    sqlite3_open((directory.Path() / "heavy.db").c_str(), &db);
    Exec(db,
         "CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, CustomerID INTEGER, Amount MONEY);"
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400000) "
         "INSERT INTO Orders SELECT i, 1 + (i * 7919) % 3000, (i * 31) % 997 FROM n;");
    sqlite3_close(db);
    fs::create_directories(directory.Path() / "reports");
    for (int i = 0; i < kHeavyReports; ++i) {
      std::ofstream(directory.Path() / "reports" / ("heavy" + std::to_string(i) + ".json"))
          << R"({"mainTable": "Orders", "mainField": "OrderID", "fields": [{"field": "Orders.OrderID"}],)"
          << R"( "formulas": [{"text": "Orders.Amount > )" << 980 + i << R"("}, {"text": "Orders.CustomerID > 10"}]})";
    }
    return true;
  }();
  (void)built;
  return directory.Path();
}

void HeavyScan(benchmark::State& state) {
  ScanOptions options;
  options.connection = "Data Source=" + (HeavyFolder() / "heavy.db").string();
  options.jobs = static_cast<int32_t>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(Scan({(HeavyFolder() / "reports").string()}, options));
}

void RegisterAll() {
  benchmark::RegisterBenchmark("ScanOfSampleReports", &ScanOfSampleReports)->UseRealTime()->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("StatementsAlone", &StatementsAlone)->UseRealTime()->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("HeavyScanJobs1", &HeavyScan)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("HeavyScanJobs2", &HeavyScan)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
}

void PrintSummary(const RecordingReporter& reporter) {
  const auto scan = reporter.Seconds("ScanOfSampleReports");
  const auto alone = reporter.Seconds("StatementsAlone");
  if (scan && alone) {
    std::printf("%d reports: scan %.2f ms, their statements alone %.2f ms, ratio %.2f (target <= 1.2)\n", kReports,
                *scan * 1e3, *alone * 1e3, *scan / *alone);
  }
  const auto one = reporter.Seconds("HeavyScanJobs1");
  const auto two = reporter.Seconds("HeavyScanJobs2");
  if (one && two) {
    std::printf("statement-heavy scan of %d reports: --jobs 1 %.1f ms, --jobs 2 %.1f ms, speed-up %.2fx "
                "(target >= 1.6)\n", kHeavyReports, *one * 1e3, *two * 1e3, *one / *two);
  }
}

}  // namespace
}  // namespace talvane::bench

int main(int argc, char** argv) {
  return talvane::bench::RunWithSummary(argc, argv, talvane::bench::RecordingReporter::Clock::kWall,
                                        &talvane::bench::RegisterAll, &talvane::bench::PrintSummary);
}
