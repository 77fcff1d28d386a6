// The main of every benchmark program: it reads the command line and runs the benchmarks through
// `reporter`, which prints the ratios against the baseline measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

inline int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
