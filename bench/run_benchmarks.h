// The main of every benchmark program: it reads the command line and runs the benchmarks through
// `reporter`, which prints the ratios against the baseline measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

inline int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

// Prints the console report and keeps the time per iteration of each benchmark that ran, in
// milliseconds: the CPU time, or the real time for one measured with UseRealTime. A time is kept by the
// benchmark's function name and its arguments ("BM_Frame/1000/0"). After the report it calls Ratios, where
// a program prints its ratios and targets.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            const double time = run.run_name.time_type.empty() ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
            const std::string& args = run.run_name.args;
            ms_[run.run_name.function_name + (args.empty() ? "" : "/" + args)] = time * ToMs(run.time_unit);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        Ratios();
    }

protected:
    virtual void Ratios() = 0;
    // Whether every one of the benchmarks ran.
    bool Ran(std::initializer_list<std::string> names) const {
        for (const std::string& name : names)
            if (!ms_.count(name)) return false;
        return true;
    }
    double Ms(const std::string& name) const {
        auto it = ms_.find(name);
        return it == ms_.end() ? 0.0 : it->second;
    }
    const std::map<std::string, double>& AllMs() const { return ms_; }

private:
    static double ToMs(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kNanosecond: return 1e-6;
            case benchmark::kMicrosecond: return 1e-3;
            case benchmark::kSecond: return 1e3;
            default: return 1.0;
        }
    }

    std::map<std::string, double> ms_;
};
