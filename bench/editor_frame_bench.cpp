// Whole editor frames on the headless platform (GUI, object list, stage drawing on the recording device)
// with a growing number of objects in the selected group. After the runs the program prints the frame
// CPU time of each size against the empty-group baseline and against the next smaller size, measured in the
// same run, so the growth of the frame cost can be read on a noisy machine.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "app/application.h"
#include "app/manager.h"
#include "editor/editor.h"
#include "platform/headless/headless_platform.h"
#include "scene/stage.h"
#include "run_benchmarks.h"

namespace {

// `tag` is the selected tag that holds the objects; with `drawGroup` false the group is hidden, so the
// run measures the editor's own part of the frame without the stage's drawing.
void RunFrames(benchmark::State& state, const std::string& tag, bool drawGroup) {
    const int objects = static_cast<int>(state.range(0));
    CHeadlessPlatform platform;
    std::string error;
    if (!StartEditor(platform, error)) {
        state.SkipWithError(("cannot start the editor: " + error).c_str());
        return;
    }
    CManager* manager = CManager::GetInstance();
    CStage* stage = manager->GetStage();
    ObjectPart part{};
    part.Scale = D3DXVECTOR3(1, 1, 1);
    part.ModelLabel = "SPHERE";
    for (int i = 0; i < objects; ++i) {
        part.Pos = D3DXVECTOR3(static_cast<float>(i % 100) * 12.0f, 0.0f, static_cast<float>(i / 100) * 12.0f);
        stage->CreateObject(part, tag, part.ModelLabel);
    }
    CEditor* editor = manager->GetEditor();
    editor->tags[0] = tag;
    editor->RefreshGroup(tag);
    if (objects > 0) stage->Select(0);  // one highlighted object
    stage->SetTagVisible(tag, drawGroup);
    bool drawn = objects == 0 || stage->Groups()[tag][0].model != kNoModel;

    // The device still receives every call and keeps its state; its journal would only measure itself.
    if (CRecordingDevice* device = platform.Device()) device->SetRecording(false);
    CFrameLoop loop(platform);
    for (int i = 0; i < 3; ++i) loop.RunFrame();  // windows settle
    for (auto _ : state) {
        platform.Advance(CFrameLoop::kFrameInterval);
        loop.RunFrame();
    }
    state.counters["objects"] = objects;
    state.counters["meshes_drawn"] = drawn ? 1 : 0;
    StopEditor();
}
void BM_EditorFrame(benchmark::State& state) { RunFrames(state, "TEST", true); }
void BM_EditorFrameUndrawnGroup(benchmark::State& state) { RunFrames(state, "LIST", false); }

BENCHMARK(BM_EditorFrame)->Arg(0)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorFrameUndrawnGroup)->Arg(0)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Prints the console report, then the ratios of the frame times.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            auto it = run.counters.find("objects");
            std::string family = run.run_name.function_name;
            if (it != run.counters.end()) frameMs_[family][static_cast<int>(it->second.value)] = run.GetAdjustedCPUTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [family, sizes] : frameMs_) {
            double baseline = sizes.begin()->second;
            double previousMs = 0.0;
            int previous = -1;
            std::printf("%s\n", family.c_str());
            for (const auto& [objects, ms] : sizes) {
                std::printf("  %6d objects: %8.3f ms, %7.1f x empty group", objects, ms, ms / baseline);
                if (previous > 0) std::printf(", %5.2f x %d objects", ms / previousMs, previous);
                std::printf("\n");
                previous = objects;
                previousMs = ms;
            }
        }
        // The stage leaves out what lies outside the view: a large stage costs little more than its objects.
        const auto drawn = frameMs_.find("BM_EditorFrame");
        if (drawn != frameMs_.end() && drawn->second.count(10000) && drawn->second.count(100000)) {
            const double large = drawn->second.at(100000), ratio = large / drawn->second.at(10000);
            std::printf("editor frame, 100,000 objects: %.3f ms (target: at most 8 ms) %s; %.2f x 10,000 objects "
                        "(target: at most 10 x) %s\n",
                        large, large <= 8.0 ? "ok" : "MISSED", ratio, ratio <= 10.0 ? "ok" : "MISSED");
        }
    }

private:
    std::map<std::string, std::map<int, double>> frameMs_;
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
