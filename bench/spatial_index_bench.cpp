// The stage's spatial index on a group of 100,000 placed objects of the sample meshes (the stage of
// picking_bench: a floor created first, then a grid of turned and scaled models round the pointer), on
// the headless editor. Each question is measured against its brute-force baseline in the same run:
// - picking at the dense middle of the view, against the pass over every object;
// - the objects under a rectangle of the view, against the same test of every object;
// - one object moved (its placement set, the index brought up to date), against measuring the whole
//   group again.
// The program prints the times, the ratios and the targets.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "app/application.h"
#include "app/manager.h"
#include "document/edit_history.h"
#include "editor/editor.h"
#include "input/input.h"
#include "platform/headless/headless_platform.h"
#include "render/camera.h"
#include "resource/model_manager.h"
#include "scene/picking.h"
#include "scene/stage.h"
#include "dense_stage.h"
#include "run_benchmarks.h"

namespace {

constexpr int kObjects = 100000;
const char* const kTag = "TEST";
// The rectangle: a quarter of the 1280 x 720 view round its middle.
constexpr float kRect[4] = {320, 180, 960, 540};

class SpatialStage {
public:
    SpatialStage() {
        std::string error;
        started_ = StartEditor(platform_, error);
        if (!started_) {
            std::fprintf(stderr, "cannot start the editor: %s\n", error.c_str());
            return;
        }
        CManager* manager = CManager::GetInstance();
        FillDenseStage(*manager->GetStage(), kTag, kObjects);
        manager->GetEditor()->RefreshGroup(kTag);
        loop_ = new CFrameLoop(platform_);
        for (int i = 0; i < 3; ++i) loop_->RunFrame();  // the camera's transforms are set, the index built
        platform_.SetMouseButton(1, true);
        platform_.SetCursor(640, 360);
        manager->GetMouse()->Update();
    }
    ~SpatialStage() {
        delete loop_;
        if (started_) StopEditor();
    }
    bool Ready() {
        return started_ && CManager::GetInstance()->GetStage()->Groups()[kTag][1].model != kNoModel;
    }
    CStage& Stage() { return *CManager::GetInstance()->GetStage(); }
    const std::vector<StageObject>& Group() { return std::as_const(Stage().Document()).Groups().at(kTag); }
    const CModelManager& Models() { return *CManager::GetInstance()->GetModelManager(); }
    PickRay Ray() {
        CManager* manager = CManager::GetInstance();
        IDirect3DDevice9* device = manager->GetDevice();
        D3DVIEWPORT9 viewport{};
        device->GetViewport(&viewport);
        const D3DXVECTOR3 cursor = manager->GetMouse()->GetCursorClientPos();
        D3DXMATRIX view;
        device->GetTransform(D3DTS_VIEW, &view);
        PickRay ray;
        MakePickRay(cursor, viewport, manager->GetCamera()->mtxProjection, view,
                    manager->GetCamera()->Unproject(cursor), &ray);
        return ray;
    }
    CViewFrustum RectFrustum() {
        CManager* manager = CManager::GetInstance();
        IDirect3DDevice9* device = manager->GetDevice();
        D3DVIEWPORT9 viewport{};
        device->GetViewport(&viewport);
        D3DXMATRIX view;
        device->GetTransform(D3DTS_VIEW, &view);
        CViewFrustum frustum;
        frustum.SetRect(view, manager->GetCamera()->mtxProjection, viewport, kRect[0], kRect[1], kRect[2], kRect[3]);
        return frustum;
    }

private:
    CHeadlessPlatform platform_;
    CFrameLoop* loop_ = nullptr;
    bool started_ = false;
};

SpatialStage& Shared() {
    static SpatialStage stage;
    return stage;
}

bool Ready(benchmark::State& state) {
    if (Shared().Ready()) return true;
    state.SkipWithError("the editor or its sample meshes did not load");
    return false;
}

void BM_PickDense(benchmark::State& state) {
    if (!Ready(state)) return;
    CStage& stage = Shared().Stage();
    for (auto _ : state) {
        stage.ClearSelection();
        stage.Picking();
        benchmark::DoNotOptimize(stage.IsSelectionValid());
    }
    state.counters["picked"] = stage.IsSelectionValid() ? stage.GetSelectedIndex() : -1;
}

void BM_PickDenseBruteForce(benchmark::State& state) {
    if (!Ready(state)) return;
    const PickRay ray = Shared().Ray();
    int picked = -1;
    for (auto _ : state) {
        picked = PickNearestObject(ray, Shared().Group(), Shared().Models());
        benchmark::DoNotOptimize(picked);
    }
    state.counters["picked"] = picked;
}

void BM_RectQuery(benchmark::State& state) {
    if (!Ready(state)) return;
    std::size_t found = 0;
    for (auto _ : state) {
        found = Shared().Stage().ObjectsInRect(kTag, kRect[0], kRect[1], kRect[2], kRect[3]).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["objects"] = static_cast<double>(found);
}

void BM_RectQueryBruteForce(benchmark::State& state) {
    if (!Ready(state)) return;
    const CViewFrustum frustum = Shared().RectFrustum();
    std::size_t found = 0;
    for (auto _ : state) {
        found = ObjectsMeetingFrustum(frustum, Shared().Group(), Shared().Models()).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["objects"] = static_cast<double>(found);
}

// One drag's frames: each sets the object's placement and brings the index up to date.
void BM_MoveOneObject(benchmark::State& state) {
    if (!Ready(state)) return;
    CStage& stage = Shared().Stage();
    CStageDocument& document = stage.Document();
    const int index = 5000;
    const ObjectPart start = Shared().Group()[index].part;
    document.BeginObjectEdit("Move object", kTag, index);
    float step = 0.0f;
    for (auto _ : state) {
        step += 0.5f;
        document.SetPlacement(kTag, index, start.Pos + D3DXVECTOR3(step, 0, -step), start.Rot, start.Scale);
        benchmark::DoNotOptimize(&stage.Index());
    }
    document.SetPlacement(kTag, index, start.Pos, start.Rot, start.Scale);
    document.EndObjectEdit();
    document.History().End();
    stage.Index();
}

void BM_RebuildIndex(benchmark::State& state) {
    if (!Ready(state)) return;
    for (auto _ : state) {
        CStageIndex index;
        index.SetModels(&Shared().Models());
        index.Update(Shared().Stage().Document());
        benchmark::DoNotOptimize(index.Group(kTag));
    }
}

BENCHMARK(BM_PickDense)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickDenseBruteForce)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RectQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RectQueryBruteForce)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveOneObject)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RebuildIndex)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                ms_[run.run_name.function_name] = run.GetAdjustedCPUTime() * Scale(run.time_unit);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        Line("dense pick", "BM_PickDense", "BM_PickDenseBruteForce", 0.1);
        Line("rectangle query", "BM_RectQuery", "BM_RectQueryBruteForce", 5.0);
        Line("one object moved, index updated", "BM_MoveOneObject", "BM_RebuildIndex", 0.010, 1000.0, "us");
    }

private:
    static double Scale(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kNanosecond: return 1e-6;
            case benchmark::kMicrosecond: return 1e-3;
            case benchmark::kSecond: return 1e3;
            default: return 1.0;
        }
    }
    // `scale` and `unit`: how the run's time and target are printed (from milliseconds).
    void Line(const char* what, const char* run, const char* baseline, double targetMs, double scale = 1.0,
              const char* unit = "ms") {
        if (!ms_.count(run) || !ms_.count(baseline)) return;
        const double ms = ms_[run];
        std::printf("%s: %.3f %s (target <= %g %s) %s; %.5f x the baseline (%.3f ms)\n", what, ms * scale, unit,
                    targetMs * scale, unit, ms <= targetMs ? "ok" : "MISSED", ms / ms_[baseline], ms_[baseline]);
    }

    std::map<std::string, double> ms_;
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
