#pragma once
// Bench-local: a console reporter that keeps the wall-clock seconds per iteration of every benchmark, for
// benchmarks whose work runs in child processes (their CPU time is not the benchmark's own).
#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace talvane::bench {

class WallTimeReporter : public benchmark::ConsoleReporter {
 public:
  explicit WallTimeReporter(bool colour) : benchmark::ConsoleReporter(colour ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    benchmark::ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      seconds_[run.run_name.function_name] = run.real_accumulated_time / static_cast<double>(run.iterations);
    }
  }

  // Wall-clock seconds per iteration of the benchmark registered under `name`, when it ran.
  std::optional<double> Seconds(const std::string& name) const {
    const auto found = seconds_.find(name);
    if (found == seconds_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace talvane::bench
