// Whole editor frames on the headless platform (GUI, object list, stage drawing on the recording device)
// with a growing number of objects in the selected group. After the runs the program prints the frame
// CPU time of each size against the empty-group baseline and against the next smaller size, measured in the
// same run, so the growth of the frame cost can be read on a noisy machine.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench_editor.h"
#include "run_benchmarks.h"

namespace {

// `tag` is the selected tag that holds the objects; with `drawGroup` false the group is hidden, so the
// run measures the editor's own part of the frame without the stage's drawing.
void RunFrames(benchmark::State& state, const std::string& tag, bool drawGroup) {
    const int objects = static_cast<int>(state.range(0));
    CBenchEditor bench;
    if (!bench.Started()) {
        state.SkipWithError(("cannot start the editor: " + bench.Error()).c_str());
        return;
    }
    CStage& stage = bench.Stage();
    ObjectPart part{};
    part.Scale = D3DXVECTOR3(1, 1, 1);
    part.ModelLabel = "SPHERE";
    for (int i = 0; i < objects; ++i) {
        part.Pos = D3DXVECTOR3(static_cast<float>(i % 100) * 12.0f, 0.0f, static_cast<float>(i / 100) * 12.0f);
        stage.CreateObject(part, tag, part.ModelLabel);
    }
    CEditor& editor = bench.Editor();
    editor.tags[0] = tag;
    editor.RefreshGroup(tag);
    if (objects > 0) stage.Select(0);  // one highlighted object
    stage.SetTagVisible(tag, drawGroup);
    const bool drawn = objects == 0 || stage.Groups()[tag][0].model != kNoModel;
    bench.RunFrames(state);
    state.counters["objects"] = objects;
    state.counters["meshes_drawn"] = drawn ? 1 : 0;
}
void BM_EditorFrame(benchmark::State& state) { RunFrames(state, "TEST", true); }
void BM_EditorFrameUndrawnGroup(benchmark::State& state) { RunFrames(state, "LIST", false); }

constexpr int kSizes[] = {0, 1000, 10000, 100000};
BENCHMARK(BM_EditorFrame)->Arg(kSizes[0])->Arg(kSizes[1])->Arg(kSizes[2])->Arg(kSizes[3])->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorFrameUndrawnGroup)->Arg(kSizes[0])->Arg(kSizes[1])->Arg(kSizes[2])->Arg(kSizes[3])
    ->Unit(benchmark::kMillisecond);

// Prints the console report, then the ratios of the frame times.
class RatioReporter : public CRatioReporter {
    void Ratios() override {
        for (const std::string family : {"BM_EditorFrame", "BM_EditorFrameUndrawnGroup"}) {
            const std::string empty = family + "/0";
            if (!Ran({empty})) continue;
            std::printf("%s\n", family.c_str());
            int previous = -1;
            for (int objects : kSizes) {
                const std::string name = family + "/" + std::to_string(objects);
                if (!Ran({name})) continue;
                std::printf("  %6d objects: %8.3f ms, %7.1f x empty group", objects, Ms(name), Ms(name) / Ms(empty));
                if (previous > 0)
                    std::printf(", %5.2f x %d objects", Ms(name) / Ms(family + "/" + std::to_string(previous)), previous);
                std::printf("\n");
                previous = objects;
            }
        }
        // The stage leaves out what lies outside the view: a large stage costs little more than its objects.
        if (Ran({"BM_EditorFrame/10000", "BM_EditorFrame/100000"})) {
            const double large = Ms("BM_EditorFrame/100000"), ratio = large / Ms("BM_EditorFrame/10000");
            std::printf("editor frame, 100,000 objects: %.3f ms (target: at most 8 ms) %s; %.2f x 10,000 objects "
                        "(target: at most 10 x) %s\n",
                        large, large <= 8.0 ? "ok" : "MISSED", ratio, ratio <= 10.0 ? "ok" : "MISSED");
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
