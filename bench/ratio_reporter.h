// Console output of a benchmark run, followed by the time of each measured
// benchmark over that of its baseline measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // `both`: each ratio in CPU time and beside it in wall time (a writer's
  // cost is partly in the system, outside the process's CPU time).
  enum class Time { real, cpu, both };
  struct Pair {
    std::string measured, baseline, label;
  };

  // One ratio, in real time.
  RatioReporter(std::string measured, std::string baseline, std::string label)
      : time_(Time::real), pairs_{{std::move(measured), std::move(baseline), std::move(label)}} {}
  // A ratio per pair under one heading.
  RatioReporter(Time time, std::vector<Pair> pairs, std::string heading)
      : time_(time), pairs_(std::move(pairs)), heading_(std::move(heading)) {}

  // With repetitions, a benchmark's time is the median of them (the last
  // repetition alone would swing with the load of a shared machine).
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      const Times t{time_ == Time::real ? r.GetAdjustedRealTime() : r.GetAdjustedCPUTime(),
                    r.GetAdjustedRealTime()};
      const std::string name = r.run_name.str();
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
        times_[name] = t;
        median_.insert(name);
      } else if (r.run_type == Run::RT_Iteration && median_.count(name) == 0) {
        times_[name] = t;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (!heading_.empty()) std::printf("%s\n", heading_.c_str());
    for (const Pair& p : pairs_) {
      if (!times_.count(p.measured) || !times_.count(p.baseline)) continue;
      const Times& m = times_[p.measured];
      const Times& b = times_[p.baseline];
      if (b.main <= 0 || (time_ == Time::both && b.wall <= 0)) continue;
      std::printf("%s%s: %.2f", heading_.empty() ? "" : "  ", p.label.c_str(), m.main / b.main);
      if (time_ == Time::both) std::printf(" CPU, %.2f wall", m.wall / b.wall);
      std::printf("\n");
    }
  }

 private:
  Time time_;
  std::vector<Pair> pairs_;
  std::string heading_;
  struct Times {
    double main = 0, wall = 0;  // main: the time the ratio is of (CPU for `both`)
  };
  std::map<std::string, Times> times_;
  std::set<std::string> median_;
};
