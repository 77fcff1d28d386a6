// Whole editor frames on the headless platform with a stage of many tags (each an empty group, as a stage
// file of "Tag : NAME" lines makes them), opened through "Open...". The "Tags" window and the tag combos
// list them all; the frame must not grow with their number. After the runs the program prints the frame
// time of 100,000 tags against the frame with 1,000 tags measured in the same run (target: at most 2 x).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/application.h"
#include "app/manager.h"
#include "editor/editor.h"
#include "editor/file_menu.h"
#include "platform/headless/headless_platform.h"
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
    CHeadlessPlatform platform;
    std::string error;
    if (!StartEditor(platform, error)) {
        state.SkipWithError(("cannot start the editor: " + error).c_str());
        return;
    }
    CEditor* editor = CManager::GetInstance()->GetEditor();
    const FileResult opened = editor->GetFileMenu()->OpenFile(file.string());
    std::filesystem::remove(file);
    if (!opened.ok || editor->tags.size() != static_cast<std::size_t>(tags)) {
        StopEditor();
        state.SkipWithError(("cannot open the stage of tags: " + opened.Describe()).c_str());
        return;
    }
    if (CRecordingDevice* device = platform.Device()) device->SetRecording(false);
    CFrameLoop loop(platform);
    for (int i = 0; i < 3; ++i) loop.RunFrame();  // windows settle
    for (auto _ : state) {
        platform.Advance(CFrameLoop::kFrameInterval);
        loop.RunFrame();
    }
    state.counters["tags"] = tags;
    StopEditor();
}

BENCHMARK(BM_EditorFrameWithTags)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Prints the console report, then the frame with 100,000 tags against the one with 1,000.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("tags");
            if (!run.error_occurred && run.run_type == Run::RT_Iteration && it != run.counters.end())
                frameMs_[static_cast<int>(it->second.value)] = run.GetAdjustedCPUTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (frameMs_.count(1000) == 0 || frameMs_.count(100000) == 0) return;
        const double ratio = frameMs_[100000] / frameMs_[1000];
        std::printf("editor frame, 100,000 tags: %.3f ms, %.2f x the frame with 1,000 tags (target: at most 2 x) %s\n",
                    frameMs_[100000], ratio, ratio <= 2.0 ? "ok" : "MISSED");
    }

private:
    std::map<int, double> frameMs_;
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
