// Whole editor frames on the headless platform with a stage of many tags (each an empty group, as a stage
// file of "Tag : NAME" lines makes them), opened through "Open...". The "Tags" window and the tag combos
// list them all; the frame must not grow with their number. After the runs the program prints the frame
// time of 100,000 tags against the frame with 1,000 tags measured in the same run (target: at most 2 x).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_editor.h"
#include "editor/file_menu.h"
#include "run_benchmarks.h"

namespace {

void BM_EditorFrameWithTags(benchmark::State& state) {
    const int tags = static_cast<int>(state.range(0));
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "vellumar_tags_bench.txt";
    {
        std::ofstream out(file, std::ios::binary);
        char line[32];
        for (int i = 0; i < tags; ++i) {
            std::snprintf(line, sizeof(line), "Tag : T%07d\n", i);
            out << line;
        }
    }
    CBenchEditor bench;
    if (!bench.Started()) {
        std::filesystem::remove(file);
        state.SkipWithError(("cannot start the editor: " + bench.Error()).c_str());
        return;
    }
    CEditor& editor = bench.Editor();
    const FileResult opened = editor.GetFileMenu()->OpenFile(file.string());
    std::filesystem::remove(file);
    if (!opened.ok || editor.tags.size() != static_cast<std::size_t>(tags)) {
        state.SkipWithError(("cannot open the stage of tags: " + opened.Describe()).c_str());
        return;
    }
    bench.RunFrames(state);
    state.counters["tags"] = tags;
}

BENCHMARK(BM_EditorFrameWithTags)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Prints the console report, then the frame with 100,000 tags against the one with 1,000.
class RatioReporter : public CRatioReporter {
    void Ratios() override {
        const std::string few = "BM_EditorFrameWithTags/1000", many = "BM_EditorFrameWithTags/100000";
        if (!Ran({few, many})) return;
        const double ratio = Ms(many) / Ms(few);
        std::printf("editor frame, 100,000 tags: %.3f ms, %.2f x the frame with 1,000 tags (target: at most 2 x) %s\n",
                    Ms(many), ratio, ratio <= 2.0 ? "ok" : "MISSED");
    }
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
