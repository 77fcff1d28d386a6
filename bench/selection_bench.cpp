// Many objects selected at once, on the headless editor with 100,000 placed objects of the sample meshes
// (the grid of spatial_index_bench round the pointer), each against its baseline in the same run:
// - a rectangle selection over the whole view (the set built and made the selection), against the
//   rectangle test of every object without the index;
// - a frame in which all 100,000 selected objects are moved (as a gizmo drag moves them: each placement
//   set in both copies, the index brought up to date, the frame drawn), against a frame of the same
//   objects unselected and still.
// The program prints the times, the ratios and the targets.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "document/edit_history.h"
#include "editor/selection_menu.h"
#include "render/camera.h"
#include "scene/picking.h"
#include "bench_editor.h"
#include "run_benchmarks.h"

namespace {

constexpr int kObjects = kDenseObjects;
const char* const kTag = CBenchEditor::kTag;

// The dense stage without its floor, built once and used by every run.
struct SelectionStage : CBenchEditor {
    SelectionStage() { FillDense(kObjects, false); }
};

SelectionStage& Shared() {
    static SelectionStage stage;
    return stage;
}

bool Ready(benchmark::State& state) { return Shared().ReadyFor(state); }

void BM_RectSelect(benchmark::State& state) {
    if (!Ready(state)) return;
    CSelectionMenu& menu = *Shared().Editor().GetSelectionMenu();
    for (auto _ : state) menu.SelectInRect(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1280, 720, 0));
    state.counters["selected"] = static_cast<double>(Shared().Editor().Document().Selection().Count());
    Shared().Editor().Document().ClearSelection();
}

void BM_RectTestEveryObject(benchmark::State& state) {
    if (!Ready(state)) return;
    CManager* manager = CManager::GetInstance();
    D3DVIEWPORT9 viewport{};
    manager->GetDevice()->GetViewport(&viewport);
    D3DXMATRIX view;
    manager->GetDevice()->GetTransform(D3DTS_VIEW, &view);
    CViewFrustum frustum;
    frustum.SetRect(view, manager->GetCamera()->mtxProjection, viewport, 0, 0, 1280, 720);
    const std::vector<StageObject>& group = std::as_const(Shared().Stage().Document()).Groups().at(kTag);
    std::size_t found = 0;
    for (auto _ : state) {
        found = ObjectsMeetingFrustum(frustum, group, *manager->GetModelManager()).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["objects"] = static_cast<double>(found);
}

void BM_FrameStill(benchmark::State& state) {
    if (!Ready(state)) return;
    Shared().Editor().Document().ClearSelection();
    for (auto _ : state) Shared().Frame();
}

// The whole group selected and moved a little each frame, as one drag.
void BM_FrameMovingSelected(benchmark::State& state) {
    if (!Ready(state)) return;
    CStageDocument& document = Shared().Editor().Document();
    document.SelectAllInGroup(kTag);
    std::vector<ObjectRef> all;
    for (int i = 0; i < kObjects; ++i) all.push_back({kTag, i});
    const std::vector<StageObject> start = std::as_const(document).Groups().at(kTag);
    document.BeginObjectsEdit("Move objects", all);
    float step = 0.0f;
    for (auto _ : state) {
        step += 0.25f;
        for (int i = 0; i < kObjects; ++i) {
            const ObjectPart& part = start[static_cast<std::size_t>(i)].part;
            document.SetPlacement(kTag, i, part.Pos + D3DXVECTOR3(step, 0, 0), part.Rot, part.Scale);
        }
        Shared().Frame();
    }
    document.EndObjectEdit();
    document.History().Undo();
    document.ClearSelection();
    Shared().Frame();
}

BENCHMARK(BM_RectSelect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RectTestEveryObject)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameStill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameMovingSelected)->Unit(benchmark::kMillisecond);

class RatioReporter : public CRatioReporter {
    void Ratios() override {
        if (Ran({"BM_RectSelect", "BM_RectTestEveryObject"}))
            std::printf("rectangle selection over the view: %.3f ms (target <= 5 ms) %s; %.3f x testing every object\n",
                        Ms("BM_RectSelect"), Ms("BM_RectSelect") <= 5.0 ? "ok" : "MISSED",
                        Ms("BM_RectSelect") / Ms("BM_RectTestEveryObject"));
        if (Ran({"BM_FrameMovingSelected", "BM_FrameStill"})) {
            const double ratio = Ms("BM_FrameMovingSelected") / Ms("BM_FrameStill");
            std::printf("frame moving 100,000 selected objects: %.3f x the frame of them still (target <= 3) %s\n",
                        ratio, ratio <= 3.0 ? "ok" : "MISSED");
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
