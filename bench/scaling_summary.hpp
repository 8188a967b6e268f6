#pragma once
// Bench-local: a console reporter that also keeps the time per iteration of every benchmark, so a program
// can print figures derived from several benchmarks (ratios, scaling exponents) after the run. CPU time by
// default; wall-clock time for benchmarks whose work runs in child processes (their CPU time is not the
// benchmark's own).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace talvane::bench {

class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  enum class Clock { kCpu, kWall };

  explicit RecordingReporter(bool colour, Clock clock = Clock::kCpu)
      : benchmark::ConsoleReporter(colour ? OO_ColorTabular : OO_Tabular), clock_(clock) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    benchmark::ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      const double accumulated = clock_ == Clock::kCpu ? run.cpu_accumulated_time : run.real_accumulated_time;
      seconds_[run.run_name.function_name] = accumulated / static_cast<double>(run.iterations);
    }
  }

  // Seconds per iteration of the benchmark registered under `name`, when it ran.
  std::optional<double> Seconds(const std::string& name) const {
    const auto found = seconds_.find(name);
    if (found == seconds_.end()) return std::nullopt;
    return found->second;
  }

 private:
  Clock clock_;
  std::map<std::string, double> seconds_;
};

// The exponent k of t ~ n^k between two measurements.
inline double ScalingExponent(double n1, double t1, double n2, double t2) {
  return std::log(t2 / t1) / std::log(n2 / n1);
}

// A benchmark program's main: registers its benchmarks (`registerAll`, when it registers any at run time), runs
// them with a recording reporter and prints `summary` of what they measured.
inline int RunWithSummary(int argc, char** argv, RecordingReporter::Clock clock, void (*registerAll)(),
                          void (*summary)(const RecordingReporter&)) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (registerAll != nullptr) registerAll();
  // A reporter handed in does not read --benchmark_color; colour only a terminal.
  RecordingReporter reporter(isatty(STDOUT_FILENO) != 0, clock);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  summary(reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace talvane::bench
