// The stage's drawing of every visible group on the recording device (its journal off): 10 groups of
// 1,000 and of 10,000 sample objects. The program prints the time of each size and their ratio, which is
// 10 when the drawing grows linearly with the object count.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "app/application.h"
#include "app/manager.h"
#include "platform/headless/headless_platform.h"
#include "scene/stage.h"
#include "run_benchmarks.h"

namespace {

void BM_DrawVisibleGroups(benchmark::State& state) {
    const int perGroup = static_cast<int>(state.range(0));
    CHeadlessPlatform platform;
    std::string error;
    if (!StartEditor(platform, error)) {
        state.SkipWithError(("cannot start the editor: " + error).c_str());
        return;
    }
    CStage* stage = CManager::GetInstance()->GetStage();
    const char* const models[] = {"SPHERE", "box", "cylinder", "cone", "crate", "house", "tree"};
    ObjectPart part{};
    part.Scale = D3DXVECTOR3(1, 1, 1);
    for (int g = 0; g < 10; ++g)
        for (int i = 0; i < perGroup; ++i) {
            part.Pos = D3DXVECTOR3(static_cast<float>(i % 100) * 6.0f, static_cast<float>(g) * 10.0f,
                                   static_cast<float>(i / 100) * 6.0f);
            part.ModelLabel = models[(i + g) % 7];
            stage->CreateObject(part, "group" + std::to_string(g), part.ModelLabel);
        }
    stage->SetCurrentTag("group0");
    stage->Select(0);
    if (CRecordingDevice* device = platform.Device()) device->SetRecording(false);
    for (auto _ : state) stage->DrawVisible();
    state.counters["objects"] = 10.0 * perGroup;
    StopEditor();
}

BENCHMARK(BM_DrawVisibleGroups)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto it = run.counters.find("objects");
            if (!run.error_occurred && run.run_type == Run::RT_Iteration && it != run.counters.end())
                ms_[static_cast<int>(it->second.value)] = run.GetAdjustedCPUTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [objects, ms] : ms_) std::printf("%6d objects in 10 groups: %8.3f ms\n", objects, ms);
        if (ms_.size() == 2)
            std::printf("100,000 / 10,000 objects: %.2f (linear: 10)\n", ms_.rbegin()->second / ms_.begin()->second);
    }

private:
    std::map<int, double> ms_;
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
