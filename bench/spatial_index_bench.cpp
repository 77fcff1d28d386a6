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
#include <string>

#include "document/edit_history.h"
#include "render/camera.h"
#include "resource/model_manager.h"
#include "scene/picking.h"
#include "bench_editor.h"
#include "run_benchmarks.h"

namespace {

constexpr int kObjects = kDenseObjects;
const char* const kTag = CBenchEditor::kTag;
// The rectangle: a quarter of the 1280 x 720 view round its middle.
constexpr float kRect[4] = {320, 180, 960, 540};

// The editor with the dense stage, the cursor held with the right button over the middle of the view.
class SpatialStage : public CBenchEditor {
public:
    SpatialStage() {
        FillDense(kObjects);
        Platform().SetMouseButton(1, true);
        Cursor(640, 360);
    }
    const std::vector<StageObject>& Group() { return std::as_const(Stage().Document()).Groups().at(kTag); }
    const CModelManager& Models() { return *CManager::GetInstance()->GetModelManager(); }
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
};

SpatialStage& Shared() {
    static SpatialStage stage;
    return stage;
}

bool Ready(benchmark::State& state) { return Shared().ReadyFor(state); }

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
    const PickRay ray = Shared().CursorRay();
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

class RatioReporter : public CRatioReporter {
    void Ratios() override {
        Line("dense pick", "BM_PickDense", "BM_PickDenseBruteForce", 0.1);
        Line("rectangle query", "BM_RectQuery", "BM_RectQueryBruteForce", 5.0);
        Line("one object moved, index updated", "BM_MoveOneObject", "BM_RebuildIndex", 0.010, 1000.0, "us");
    }
    // `scale` and `unit`: how the run's time and target are printed (from milliseconds).
    void Line(const char* what, const char* run, const char* baseline, double targetMs, double scale = 1.0,
              const char* unit = "ms") {
        if (!Ran({run, baseline})) return;
        const double ms = Ms(run);
        std::printf("%s: %.3f %s (target <= %g %s) %s; %.5f x the baseline (%.3f ms)\n", what, ms * scale, unit,
                    targetMs * scale, unit, ms <= targetMs ? "ok" : "MISSED", ms / Ms(baseline), Ms(baseline));
    }
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
