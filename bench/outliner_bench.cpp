// The "Outliner" window's own frame (the GUI frame with only the outliner built) over one group of 1,000
// or 100,000 objects, with the search field empty or matching 10 of them. Only the rows in view are built
// and the rows are made again only when something changes, so the frame must not grow with the stage.
// After the runs the program prints the 100,000-object frame against the 1,000-object frame measured in
// the same run (target: at most 2 x).
#include <benchmark/benchmark.h>
#include <imgui.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "app/application.h"
#include "app/manager.h"
#include "dense_stage.h"
#include "editor/editor.h"
#include "editor/outliner.h"
#include "platform/headless/headless_platform.h"
#include "run_benchmarks.h"

namespace {

void BM_OutlinerFrame(benchmark::State& state) {
    const int objects = static_cast<int>(state.range(0));
    const bool searching = state.range(1) != 0;
    CHeadlessPlatform platform;
    std::string error;
    if (!StartEditor(platform, error)) {
        state.SkipWithError(("cannot start the editor: " + error).c_str());
        return;
    }
    CManager* manager = CManager::GetInstance();
    CEditor* editor = manager->GetEditor();
    FillDenseStage(*manager->GetStage(), "TEST", objects, false);
    std::vector<StageObject>& group = manager->GetStage()->Groups()["TEST"];
    for (int i = 0; i < 10; ++i) group[static_cast<std::size_t>(i) * group.size() / 10].part.ObjectLabel = "needle";
    editor->RefreshGroup("TEST");
    COutliner* outliner = editor->GetOutliner();
    outliner->SetSearch(searching ? "needle" : "");
    bool open = true;
    auto frame = [&] {
        platform.GuiNewFrame();
        ImGui::NewFrame();
        outliner->Show(&open);
        ImGui::EndFrame();
    };
    for (int i = 0; i < 3; ++i) frame();  // the rows are made once
    for (auto _ : state) frame();
    state.counters["objects"] = objects;
    state.counters["searching"] = searching ? 1 : 0;
    state.counters["rows"] = outliner->DrawnRows();  // the rows built in a frame: those in view
    StopEditor();
}

BENCHMARK(BM_OutlinerFrame)->Args({1000, 0})->Args({100000, 0})->Args({1000, 1})->Args({100000, 1})
    ->Unit(benchmark::kMicrosecond);

// Prints the console report, then each 100,000-object frame against the 1,000-object one.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto objects = run.counters.find("objects"), searching = run.counters.find("searching");
            if (!run.error_occurred && run.run_type == Run::RT_Iteration && objects != run.counters.end() &&
                searching != run.counters.end())
                frameUs_[{static_cast<int>(searching->second.value), static_cast<int>(objects->second.value)}] =
                    run.GetAdjustedCPUTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (int searching : {0, 1}) {
            if (frameUs_.count({searching, 1000}) == 0 || frameUs_.count({searching, 100000}) == 0) continue;
            const double ratio = frameUs_[{searching, 100000}] / frameUs_[{searching, 1000}];
            std::printf("outliner frame, 100,000 objects, search %s: %.1f us, %.2f x the frame with 1,000 (target: at "
                        "most 2 x) %s\n",
                        searching ? "matching 10" : "empty", frameUs_[{searching, 100000}], ratio,
                        ratio <= 2.0 ? "ok" : "MISSED");
        }
    }

private:
    std::map<std::pair<int, int>, double> frameUs_;
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
