#pragma once
// The console report, kept: each run's seconds per iteration by name, so that a benchmark
// program can close with one table of ratios.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace vx::bench {

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    struct Time {
        double real = 0;
        double cpu = 0;
    };

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            const auto iterations = static_cast<double>(run.iterations);
            seconds_[run.benchmark_name()] = {run.real_accumulated_time / iterations,
                                              run.cpu_accumulated_time / iterations};
            for (const auto& [name, counter] : run.counters)
                counters_[run.benchmark_name() + "|" + name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Seconds per iteration of "Name/arg" (also found when it ran on real time); 0 when it
    // did not run.
    double real(const std::string& name) const { return find(name).real; }
    double cpu(const std::string& name) const { return find(name).cpu; }
    // A counter the run set (as reported), 0 when it did not run.
    double counter(const std::string& name, const std::string& counterName) const {
        auto found = counters_.find(name + "|" + counterName);
        return found == counters_.end() ? 0.0 : found->second;
    }

private:
    Time find(const std::string& name) const {
        auto found = seconds_.find(name);
        if (found == seconds_.end()) found = seconds_.find(name + "/real_time");
        return found == seconds_.end() ? Time{} : found->second;
    }

    std::map<std::string, Time> seconds_;
    std::map<std::string, double> counters_;
};

inline double ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

}  // namespace vx::bench
