// A console reporter that keeps every run's wall and CPU time, so that a benchmark
// program can state its targets as ratios between runs of the same process.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qbbench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double wallNs = 0;
        double cpuNs = 0;
    };

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) {
                continue;
            }
            const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            times_[run.benchmark_name()] = {run.GetAdjustedRealTime() * toNs,
                                            run.GetAdjustedCPUTime() * toNs};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Per-iteration times of the run with this full name ("BM_X/1000/real_time").
    std::optional<Times> Find(const std::string& name) const {
        const auto it = times_.find(name);
        return it == times_.end() ? std::nullopt : std::optional<Times>(it->second);
    }
    const std::map<std::string, Times>& all() const { return times_; }

    // Prints "ratio LABEL  wall W  cpu C  (target <= T) ok|OVER" for a / b; nothing when
    // either run is missing. The target applies to the wall-clock ratio.
    void PrintRatio(const std::string& label, const std::string& a, const std::string& b,
                    double target) const {
        const auto x = Find(a);
        const auto y = Find(b);
        if (!x || !y || y->wallNs <= 0 || y->cpuNs <= 0) {
            return;
        }
        const double wall = x->wallNs / y->wallNs;
        const double cpu = x->cpuNs / y->cpuNs;
        std::printf("ratio %-48s wall %6.2f  cpu %6.2f  (target <= %.1f) %s\n", label.c_str(), wall,
                    cpu, target, wall <= target ? "ok" : "OVER");
    }

private:
    std::map<std::string, Times> times_;
};

}  // namespace qbbench
