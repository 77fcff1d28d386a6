// The edit history and the autosave on a stage of 100,000 objects in one group. After the runs the program
// prints, from the same run:
// - undo + redo of one object's edit against the recorded edit itself (target: within 2x);
// - the heap that 500 steps of one object each keep (target: under 1 MB beyond the stage);
// - the main thread's CPU time in the worst frame of an autosave (target: under 2 ms), against the whole
//   copy in one frame and against a text save of the same stage on the main thread.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "app/application.h"
#include "app/manager.h"
#include "document/edit_history.h"
#include "editor/autosave.h"
#include "editor/editor.h"
#include "platform/headless/headless_platform.h"
#include "run_benchmarks.h"
#include "scene/stage.h"

namespace {

constexpr int kObjects = 100000;

// The editor with 100,000 objects in "TEST", in both copies, working in a scratch folder.
class Stage100k {
public:
    explicit Stage100k(benchmark::State& state) : home_(std::filesystem::current_path()) {
        char pattern[] = "/tmp/vellumar-bench-XXXXXX";
        if (!mkdtemp(pattern)) {
            state.SkipWithError("cannot make a scratch folder");
            return;
        }
        dir_ = pattern;
        std::filesystem::create_directories(dir_ / "Data/FILE");
        std::filesystem::current_path(dir_);
        std::string error;
        started_ = StartEditor(platform_, error);
        if (!started_) {
            state.SkipWithError(("cannot start the editor: " + error).c_str());
            return;
        }
        ObjectPart part{};
        part.Scale = D3DXVECTOR3(1, 1, 1);
        part.ModelLabel = "SPHERE";
        for (int i = 0; i < kObjects; ++i) {
            part.Pos = D3DXVECTOR3(static_cast<float>(i), 0.0f, 0.0f);
            Stage().CreateObject(part, "TEST", part.ModelLabel);
        }
        Editor().RefreshGroup("TEST");
    }
    ~Stage100k() {
        if (started_) StopEditor();
        std::filesystem::current_path(home_);
        std::error_code error;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, error);
    }
    bool Started() const { return started_; }
    CEditor& Editor() { return *CManager::GetInstance()->GetEditor(); }
    CStage& Stage() { return *CManager::GetInstance()->GetStage(); }
    CEditHistory& History() { return *Editor().GetHistory(); }
    // What the inspector does for one edit of one object: record it, change it, write it back.
    void Edit(int index, float x) {
        History().Begin("Edit Pos");
        History().TouchObject("TEST", index);
        Editor().groups["TEST"][index].part.Pos.x = x;
        Stage().Groups()["TEST"][index].part.Pos.x = x;
        History().End();
    }

private:
    std::filesystem::path home_;
    std::filesystem::path dir_;
    CHeadlessPlatform platform_;
    bool started_ = false;
};

void BM_RecordedEdit(benchmark::State& state) {
    Stage100k stage(state);
    if (!stage.Started()) return;
    float x = 0.0f;
    for (auto _ : state) stage.Edit(kObjects / 2, x += 1.0f);
}
BENCHMARK(BM_RecordedEdit);

void BM_UndoRedo(benchmark::State& state) {
    Stage100k stage(state);
    if (!stage.Started()) return;
    stage.Edit(kObjects / 2, 1.0f);
    for (auto _ : state) {
        stage.History().Undo();
        stage.History().Redo();
    }
}
BENCHMARK(BM_UndoRedo);

void BM_FiveHundredSteps(benchmark::State& state) {
    Stage100k stage(state);
    if (!stage.Started()) return;
    float round = 0.0f;
    for (auto _ : state) {
        state.PauseTiming();
        stage.History().Clear();
        round += 1000.0f;  // new values every round, so that every edit is a change
        malloc_trim(0);
        std::size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        for (int i = 0; i < 500; ++i) stage.Edit((i * 197) % kObjects, round + static_cast<float>(i));
        state.PauseTiming();
        state.counters["heap_kb"] = static_cast<double>(mallinfo2().uordblks - before) / 1024.0;
        state.counters["counted_kb"] = static_cast<double>(stage.History().Bytes()) / 1024.0;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FiveHundredSteps)->Iterations(3)->Unit(benchmark::kMillisecond);

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The frames' share of an autosave: the copy of the groups, a slice per frame, and the start of the
// worker. Each iteration times the worst of its frames (the main thread's CPU time). The argument is the
// slice; 0 copies the whole stage in the frame where the autosave starts, as the editor once did.
void BM_AutosaveWorstFrame(benchmark::State& state) {
    Stage100k stage(state);
    if (!stage.Started()) return;
    CAutosave& autosave = *stage.Editor().GetAutosave();
    autosave.SetSliceObjects(static_cast<std::size_t>(state.range(0)));
    DWORD now = 0;
    int frames = 0;
    for (auto _ : state) {
        double start = ThreadCpuSeconds();
        autosave.Write(now += CAutosave::kInterval);
        double worst = ThreadCpuSeconds() - start;
        frames = 1;
        while (autosave.IsCopying()) {
            start = ThreadCpuSeconds();
            autosave.Advance();
            worst = std::max(worst, ThreadCpuSeconds() - start);
            ++frames;
        }
        state.SetIterationTime(worst);
        autosave.Wait();  // the worker's own time is not the frames'
    }
    state.counters["frames"] = frames;
    if (!autosave.LastResult().ok) state.SkipWithError(autosave.LastResult().Describe().c_str());
}
BENCHMARK(BM_AutosaveWorstFrame)
    ->Arg(0)
    ->Arg(static_cast<std::int64_t>(CAutosave::kSliceObjects))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Baseline: the same stage saved on the main thread, as "SaveText" does.
void BM_SaveOnTheMainThread(benchmark::State& state) {
    Stage100k stage(state);
    if (!stage.Started()) return;
    for (auto _ : state) stage.Stage().SaveTextFile("Data/FILE/stage.txt");
}
BENCHMARK(BM_SaveOnTheMainThread)->Unit(benchmark::kMillisecond);

// The autosave's figure is its manual time: the worst frame's CPU time.
class RatioReporter : public CRatioReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        CRatioReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.counters.count("heap_kb")) heapKb_ = run.counters.at("heap_kb");
    }

private:
    void Ratios() override {
        auto ratio = [this](const std::string& a, const std::string& b) {
            return Ran({a, b}) && Ms(b) > 0 ? Ms(a) / Ms(b) : 0.0;
        };
        std::printf("\nundo + redo / recorded edit: %.2f (target <= 2)\n", ratio("BM_UndoRedo", "BM_RecordedEdit"));
        std::printf("heap of 500 single-object steps: %.0f KB (target < 1024 KB)\n", heapKb_);
        const std::string whole = "BM_AutosaveWorstFrame/0";
        const std::string sliced = "BM_AutosaveWorstFrame/" + std::to_string(CAutosave::kSliceObjects);
        std::printf("autosave, worst frame: %.3f ms CPU (target < 2 ms); the whole copy in one frame: %.3f ms; "
                    "ratio %.2f\n",
                    Ms(sliced), Ms(whole), ratio(sliced, whole));
        std::printf("autosave, worst frame against a save on the main thread: %.3f\n",
                    ratio(sliced, "BM_SaveOnTheMainThread"));
    }

    double heapKb_ = 0.0;
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
