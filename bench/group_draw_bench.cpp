// The stage's drawing of every visible group on the recording device (its journal off): 10 groups of
// 1,000 and of 10,000 sample objects, seen from the camera's start after a few frames. The program prints
// the time of each size and their ratio, which stays under 10 because the larger groups reach out of view
// and are culled; the "draws" counter gives the mesh subsets one drawing sends.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench_editor.h"
#include "run_benchmarks.h"

namespace {

void BM_DrawVisibleGroups(benchmark::State& state) {
    const int perGroup = static_cast<int>(state.range(0));
    CBenchEditor bench;
    if (!bench.Started()) {
        state.SkipWithError(("cannot start the editor: " + bench.Error()).c_str());
        return;
    }
    CStage* stage = &bench.Stage();
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
    if (CRecordingDevice* device = bench.Platform().Device()) device->SetRecording(false);
    for (int i = 0; i < 3; ++i) bench.Frame();  // the camera's transforms are set
    if (CRecordingDevice* device = bench.Platform().Device()) {
        device->SetRecording(true);
        device->ClearLog();
        stage->DrawVisible();
        state.counters["draws"] = static_cast<double>(device->Draws().size());
        device->SetRecording(false);
    }
    for (auto _ : state) stage->DrawVisible();
    state.counters["objects"] = 10.0 * perGroup;
}

BENCHMARK(BM_DrawVisibleGroups)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

class RatioReporter : public CRatioReporter {
    void Ratios() override {
        const std::string small = "BM_DrawVisibleGroups/1000", large = "BM_DrawVisibleGroups/10000";
        if (Ran({small})) std::printf("%6d objects in 10 groups: %8.3f ms\n", 10000, Ms(small));
        if (Ran({large})) std::printf("%6d objects in 10 groups: %8.3f ms\n", 100000, Ms(large));
        if (Ran({small, large})) std::printf("100,000 / 10,000 objects: %.2f (linear: 10)\n", Ms(large) / Ms(small));
    }
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
