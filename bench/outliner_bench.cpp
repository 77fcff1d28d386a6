// The "Outliner" window's own frame (the GUI frame with only the outliner built) over one group of 1,000
// or 100,000 objects, with the search field empty or matching 10 of them. Only the rows in view are built
// and the rows are made again only when something changes, so the frame must not grow with the stage.
// After the runs the program prints the 100,000-object frame against the 1,000-object frame measured in
// the same run (target: at most 2 x).
#include <benchmark/benchmark.h>
#include <imgui.h>

#include <cstdio>
#include <string>

#include "bench_editor.h"
#include "editor/outliner.h"
#include "run_benchmarks.h"

namespace {

void BM_OutlinerFrame(benchmark::State& state) {
    const int objects = static_cast<int>(state.range(0));
    const bool searching = state.range(1) != 0;
    CBenchEditor bench;
    if (!bench.Started()) {
        state.SkipWithError(("cannot start the editor: " + bench.Error()).c_str());
        return;
    }
    CEditor* editor = &bench.Editor();
    FillDenseStage(bench.Stage(), "TEST", objects, false);
    std::vector<StageObject>& group = bench.Stage().Groups()["TEST"];
    for (int i = 0; i < 10; ++i) group[static_cast<std::size_t>(i) * group.size() / 10].part.ObjectLabel = "needle";
    editor->RefreshGroup("TEST");
    COutliner* outliner = editor->GetOutliner();
    outliner->SetSearch(searching ? "needle" : "");
    bool open = true;
    auto frame = [&] {
        bench.Platform().GuiNewFrame();
        ImGui::NewFrame();
        outliner->Show(&open);
        ImGui::EndFrame();
    };
    for (int i = 0; i < 3; ++i) frame();  // the rows are made once
    for (auto _ : state) frame();
    state.counters["objects"] = objects;
    state.counters["searching"] = searching ? 1 : 0;
    state.counters["rows"] = outliner->DrawnRows();  // the rows built in a frame: those in view
}

BENCHMARK(BM_OutlinerFrame)->Args({1000, 0})->Args({100000, 0})->Args({1000, 1})->Args({100000, 1})
    ->Unit(benchmark::kMicrosecond);

// Prints the console report, then each 100,000-object frame against the 1,000-object one.
class RatioReporter : public CRatioReporter {
    void Ratios() override {
        for (const char* searching : {"0", "1"}) {
            const std::string few = std::string("BM_OutlinerFrame/1000/") + searching;
            const std::string many = std::string("BM_OutlinerFrame/100000/") + searching;
            if (!Ran({few, many})) continue;
            const double ratio = Ms(many) / Ms(few);
            std::printf("outliner frame, 100,000 objects, search %s: %.1f us, %.2f x the frame with 1,000 (target: at "
                        "most 2 x) %s\n",
                        *searching == '1' ? "matching 10" : "empty", Ms(many) * 1000.0, ratio,
                        ratio <= 2.0 ? "ok" : "MISSED");
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
