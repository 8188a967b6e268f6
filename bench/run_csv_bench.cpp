// `talvane run --format csv` against the sqlite3 program's -csv output of the same statement, on a table of
// 1,000,000 rows: both programs run as child processes writing to /dev/null, timed by the wall clock. The
// definition has no formulas, so its statement is a plain SELECT of five columns (integers, text, reals,
// text with commas to quote and NULLs). The summary gives rows per second, talvane's speed as a share of
// sqlite3's, and the size of each output: they differ in bytes, not in lines, since talvane ends records
// with "\r\n" as RFC 4180 has it and quotes only the fields that need it.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "run_program.hpp"
#include "sqlite_exec.hpp"
#include "temp_dir.hpp"
#include "talvane/db/sqlite_connection.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "scaling_summary.hpp"

namespace talvane::bench {
namespace {

constexpr int64_t kRows = 1000000;
constexpr const char* kColumns[] = {"ID", "Name", "Amount", "Qty", "Note"};

// The table, the definition and its statement, built once in a temporary directory removed at exit.
class RunFixture {
 public:
  RunFixture() : directory_("talvane-run-bench") {
    database_ = (directory_.Path() / "big.db").string();
    definition_ = (directory_.Path() / "big.json").string();
    BuildDatabase();
    WriteDefinition();
    statement_ = BuildStatement();
  }
  RunFixture(const RunFixture&) = delete;
  RunFixture& operator=(const RunFixture&) = delete;

  const std::filesystem::path& Directory() const { return directory_.Path(); }
  const std::string& Database() const { return database_; }
  const std::string& Definition() const { return definition_; }
  const std::string& Statement() const { return statement_; }

 private:
  void BuildDatabase() const {
    sqlite3* handle = nullptr;
    sqlite3_open(database_.c_str(), &handle);
    try {
      Exec(handle,
           "CREATE TABLE Big (ID INTEGER PRIMARY KEY, Name TEXT, Amount REAL, Qty INTEGER, Note TEXT);"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
               std::to_string(kRows) +
               ") INSERT INTO Big SELECT i, 'Customer ' || i, i * 1.25, i % 97,"
               " CASE WHEN i % 10 = 0 THEN 'late, again' WHEN i % 3 = 0 THEN NULL ELSE 'on time' END FROM n;");
    } catch (...) {
      sqlite3_close(handle);
      throw;
    }
    sqlite3_close(handle);
  }

  void WriteDefinition() const {
    std::ofstream file(definition_);
    file << R"({"mainTable": "Big", "mainField": "ID", "fields": [)";
    for (std::size_t i = 0; i < std::size(kColumns); ++i) {
      file << (i > 0 ? ", " : "") << R"({"field": "Big.)" << kColumns[i] << R"("})";
    }
    file << "]}\n";
  }

  // The statement `talvane run` builds: the same definition, in the SQLite dialect.
  std::string BuildStatement() const {
    auto connection = db::SqliteConnection::Create("Provider=SQLite;Data Source=" + database_);
    auto report = Exception::Create();
    report->SetConnection(connection);
    report->SetMainTable("Big");
    report->SetMainField("ID");
    for (const char* column : kColumns) {
      report->Fields()->AddNew();
      report->Fields()->Field()->SetValue(std::string("Big.") + column);
    }
    return report->SQL();
  }

  TemporaryDirectory directory_;
  std::string database_;
  std::string definition_;
  std::string statement_;
};

const RunFixture& Fixture() {
  static const RunFixture fixture;
  return fixture;
}

void RunTalvane(const std::string& output) {
  RunProgram(TalvaneProgram(),
             {"run", Fixture().Definition(), "--connection", "Data Source=" + Fixture().Database(), "--format", "csv"},
             output);
}

void RunSqlite3(const std::string& output) {
  RunProgram("sqlite3", {"-csv", "-header", "-readonly", Fixture().Database(), Fixture().Statement()}, output);
}

template <void (*Run)(const std::string&)>
void BM_Csv(benchmark::State& state) {
  try {
    Fixture();
    for (auto _ : state) Run("/dev/null");
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

struct OutputSize {
  std::uintmax_t bytes = 0;
  std::size_t lines = 0;
};

OutputSize SizeOf(const std::filesystem::path& path) {
  OutputSize size;
  size.bytes = std::filesystem::file_size(path);
  std::ifstream file(path, std::ios::binary);
  for (std::string line; std::getline(file, line);) ++size.lines;
  return size;
}

void PrintOutputSize(const char* label, void (*run)(const std::string&), const std::string& file) {
  try {
    const std::string path = (Fixture().Directory() / file).string();
    run(path);
    const OutputSize size = SizeOf(path);
    std::printf("  %-25s %8zu lines %12ju bytes\n", label, size.lines, size.bytes);
  } catch (const std::exception& e) {
    std::printf("  %-25s not measured: %s\n", label, e.what());
  }
}

void PrintSummary(const RecordingReporter& reporter) {
  const auto talvane = reporter.Seconds("BM_Csv<RunTalvane>");
  const auto sqlite3 = reporter.Seconds("BM_Csv<RunSqlite3>");
  if (!talvane || !sqlite3) return;
  const double rows = static_cast<double>(kRows);
  std::printf("\nCSV of %lld rows (wall clock)\n", static_cast<long long>(kRows));
  std::printf("  talvane run --format csv  %8.3f s  %12.0f rows/s\n", *talvane, rows / *talvane);
  std::printf("  sqlite3 -csv              %8.3f s  %12.0f rows/s\n", *sqlite3, rows / *sqlite3);
  std::printf("  talvane / sqlite3 speed   %8.2f\n", *sqlite3 / *talvane);
  PrintOutputSize("talvane output", &RunTalvane, "talvane.csv");
  PrintOutputSize("sqlite3 output", &RunSqlite3, "sqlite3.csv");
}

BENCHMARK_TEMPLATE(BM_Csv, RunTalvane)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_TEMPLATE(BM_Csv, RunSqlite3)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
}  // namespace talvane::bench

int main(int argc, char** argv) {
  return talvane::bench::RunWithSummary(argc, argv, talvane::bench::RecordingReporter::Clock::kWall, nullptr,
                                        &talvane::bench::PrintSummary);
}
