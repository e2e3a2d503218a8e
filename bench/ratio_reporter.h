// Console output of a benchmark run, followed by the time of one benchmark
// over that of its bare baseline measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter(std::string measured, std::string baseline, std::string label)
      : measured_(std::move(measured)), baseline_(std::move(baseline)), label_(std::move(label)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (times_.count(measured_) && times_.count(baseline_) && times_[baseline_] > 0)
      std::printf("%s: %.2f\n", label_.c_str(), times_[measured_] / times_[baseline_]);
  }

 private:
  std::string measured_, baseline_, label_;
  std::map<std::string, double> times_;
};
