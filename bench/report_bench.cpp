// What a report costs the host next to what the database then does with its statement:
//   Assign/items:N         assigning one formula of 3, 20 or 200 items (cut, classify, type check, field
//                          probes), as formulas per second;
//   ReportAssign/N         building a whole report of N formulas and its output fields from scratch;
//   ReportAssignFewSets/N  the same with three sets and twenty set formulas whatever the size (see
//                          report_mix.hpp), which shows what the growing number of sets costs;
//   ReportReadSql/N        reading Exception.SQL of that report;
//   SqliteCompile/N        sqlite3_prepare_v2 of the Access statement it returns (helper functions
//                          registered, see statement_compile.hpp);
//   SetFormulaAdded/N      a set rule and a reference to its set added to a report of N formulas.
// After the run a summary prints, per report size, the ratios to SQLite's compile time and the scaling
// exponents between sizes. Times are CPU times of the one thread that does the work.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report_mix.hpp"
#include "scaling_summary.hpp"
#include "statement_compile.hpp"

namespace talvane::bench {
namespace {

const std::vector<int> kReportSizes = {10, 100, 1000, 10000, 32000};
const std::vector<int> kRuleItems = {3, 20, 200};

const std::shared_ptr<db::SqliteConnection>& Database() {
  static const std::shared_ptr<db::SqliteConnection> connection = [] {
    auto made = MakeReportDatabase();
    RegisterHelperFunctions(made->Handle());
    return made;
  }();
  return connection;
}

// One built report per size, shared by the benchmarks that only read it.
struct BuiltReport {
  std::shared_ptr<Exception> report;
  std::string statement;
  CompileText compileText;
};

BuiltReport& Built(int formulas) {
  static std::map<int, BuiltReport> built;
  auto found = built.find(formulas);
  if (found == built.end()) {
    BuiltReport made;
    made.report = ReportFromDefinition(MakeReportDefinition(formulas), Database());
    made.statement = made.report->SQL();
    made.compileText = TextForSqlite(*made.report, made.statement, Database()->Handle());
    found = built.emplace(formulas, std::move(made)).first;
  }
  return found->second;
}

void AssignRule(benchmark::State& state, std::size_t items) {
  const std::string text = RuleOfItems(items);
  auto report = Exception::Create();
  report->SetConnection(Database());
  report->SetMainTable("Customers");
  report->SetMainField("CustID");
  report->Formulae()->AddNew();
  const auto formula = report->Formulae()->Formula();
  for (auto _ : state) {
    formula->SetValue(std::string_view(text));
    benchmark::DoNotOptimize(formula->Count());
  }
  state.counters["formulas/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
  state.counters["items"] = static_cast<double>(items);
}

void ReportAssign(benchmark::State& state, int formulas, SetMix mix) {
  const Definition plan = MakeReportDefinition(formulas, mix);
  for (auto _ : state) {
    auto report = ReportFromDefinition(plan, Database());
    benchmark::DoNotOptimize(report.get());
    state.PauseTiming();  // taking the tree apart is not part of building it
    report.reset();
    state.ResumeTiming();
  }
  state.counters["formulas/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * formulas,
                                                    benchmark::Counter::kIsRate);
}

void ReportReadSql(benchmark::State& state, int formulas) {
  BuiltReport& built = Built(formulas);
  for (auto _ : state) {
    std::string sql = built.report->SQL();
    benchmark::DoNotOptimize(sql.data());
  }
  state.counters["bytes"] = static_cast<double>(built.statement.size());
}

void SqliteCompile(benchmark::State& state, int formulas) {
  BuiltReport& built = Built(formulas);
  sqlite3* handle = Database()->Handle();
  const std::string& sql = built.compileText.sql;
  for (auto _ : state) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
      state.SkipWithError(sqlite3_errmsg(handle));
      break;
    }
    sqlite3_finalize(statement);
  }
  state.counters["regrouped"] = built.compileText.regrouped ? 1 : 0;
}

// One set rule and one reference to its set, added to a report that already holds `formulas` formulas of the
// growing mix: what a set formula costs as the report grows. The report grows by two formulas a round (a
// hundred rounds), which is small next to the sizes measured.
void SetFormulaAdded(benchmark::State& state, int formulas) {
  const auto report = ReportFromDefinition(MakeReportDefinition(formulas), Database());
  const auto formulae = report->Formulae();
  for (auto _ : state) {
    formulae->AddNew();
    formulae->Formula()->SetValue(std::string_view("Orders.Qty > 1"));
    formulae->Formula()->SetName("Set0");
    formulae->AddNew();
    formulae->Formula()->SetValue(std::string_view("Set0.Amount > 5"));
  }
}

std::string SizeName(const char* family, int size) { return std::string(family) + "/" + std::to_string(size); }

void RegisterAll() {
  for (const int items : kRuleItems) {
    benchmark::RegisterBenchmark(("Assign/items:" + std::to_string(items)).c_str(), AssignRule,
                                 static_cast<std::size_t>(items))
        ->Unit(benchmark::kMicrosecond);
  }
  for (const int size : kReportSizes) {
    benchmark::RegisterBenchmark(SizeName("ReportAssign", size).c_str(), ReportAssign, size, SetMix::kGrowing)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(SizeName("ReportAssignFewSets", size).c_str(), ReportAssign, size, SetMix::kFew)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(SizeName("ReportReadSql", size).c_str(), ReportReadSql, size)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(SizeName("SqliteCompile", size).c_str(), SqliteCompile, size)
        ->Unit(benchmark::kMillisecond);
  }
  for (const int size : {1000, 16000}) {
    benchmark::RegisterBenchmark(SizeName("SetFormulaAdded", size).c_str(), SetFormulaAdded, size)
        ->Iterations(100)
        ->Unit(benchmark::kMicrosecond);
  }
}

// The scaling exponents between consecutive report sizes of what `seconds` gives for a size.
template <typename SecondsOf>
void PrintExponents(const char* label, SecondsOf seconds) {
  std::printf("  %-20s", label);
  for (std::size_t i = 1; i < kReportSizes.size(); ++i) {
    const std::optional<double> t1 = seconds(kReportSizes[i - 1]);
    const std::optional<double> t2 = seconds(kReportSizes[i]);
    if (t1 && t2) {
      std::printf("  %5d->%-5d n^%.2f", kReportSizes[i - 1], kReportSizes[i],
                  ScalingExponent(kReportSizes[i - 1], *t1, kReportSizes[i], *t2));
    }
  }
  std::printf("\n");
}

void PrintExponents(const RecordingReporter& reporter, const char* family) {
  PrintExponents(family, [&](int size) { return reporter.Seconds(SizeName(family, size)); });
}

// Building a report and reading its statement, together: what a host pays for a report.
void PrintBuildAndReadExponents(const RecordingReporter& reporter) {
  PrintExponents("assign + read SQL", [&](int size) -> std::optional<double> {
    const auto assign = reporter.Seconds(SizeName("ReportAssign", size));
    const auto read = reporter.Seconds(SizeName("ReportReadSql", size));
    if (!assign || !read) return std::nullopt;
    return *assign + *read;
  });
}

void PrintSummary(const RecordingReporter& reporter) {
  const auto milliseconds = [&](const char* family, int size) {
    const auto seconds = reporter.Seconds(SizeName(family, size));
    return seconds ? *seconds * 1e3 : 0.0;
  };
  // A figure that did not run (filtered out) prints as 0, and a ratio without both sides as 0 too.
  const auto ratio = [](double part, double whole) { return part > 0 && whole > 0 ? part / whole : 0.0; };
  std::printf("\nReports (CPU ms per report; ratios to SQLite's compile of the statement)\n");
  std::printf("  %8s %12s %14s %12s %14s %14s %12s %18s\n", "formulas", "assign", "assign few sets", "read SQL",
              "SQLite compile", "assign/compile", "SQL/compile", "(assign+SQL)/comp");
  for (const int size : kReportSizes) {
    const double assign = milliseconds("ReportAssign", size);
    const double fewSets = milliseconds("ReportAssignFewSets", size);
    const double read = milliseconds("ReportReadSql", size);
    const double compile = milliseconds("SqliteCompile", size);
    if (assign <= 0 && fewSets <= 0 && read <= 0 && compile <= 0) continue;
    std::printf("  %8d %12.3f %14.3f %12.3f %14.3f %14.2f %12.2f %18.2f\n", size, assign, fewSets, read, compile,
                ratio(assign, compile), ratio(read, compile), read > 0 ? ratio(assign + read, compile) : 0.0);
  }
  std::printf("Scaling exponents (log(t2/t1)/log(n2/n1))\n");
  PrintExponents(reporter, "ReportAssign");
  PrintExponents(reporter, "ReportAssignFewSets");
  PrintExponents(reporter, "ReportReadSql");
  PrintBuildAndReadExponents(reporter);
  PrintExponents(reporter, "SqliteCompile");
}

}  // namespace
}  // namespace talvane::bench

int main(int argc, char** argv) {
  return talvane::bench::RunWithSummary(argc, argv, talvane::bench::RecordingReporter::Clock::kCpu,
                                        &talvane::bench::RegisterAll, &talvane::bench::PrintSummary);
}
