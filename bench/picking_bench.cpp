// Right-button picking on a group of 100,000 placed objects of the sample meshes (a floor created first,
// then a grid of turned and scaled models round the pointer), on the headless editor. Three runs: the
// cursor over the dense middle of the grid, the cursor over the sky (nothing is hit), and the baseline for
// the latter measured in the same run: the world box of every object's turned bounds against the same
// line, with nothing else. The program prints the dense pick's time and the miss / baseline ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "resource/model_manager.h"
#include "scene/object_world.h"
#include "scene/picking.h"
#include "bench_editor.h"
#include "run_benchmarks.h"

namespace {

constexpr int kObjects = kDenseObjects;
const char* const kTag = CBenchEditor::kTag;

// The sample stage of the benchmark, built once and used by every run, with the right button held.
struct PickingStage : CBenchEditor {
    PickingStage() {
        FillDense(kObjects);
        Platform().SetMouseButton(1, true);
    }
};

PickingStage& Stage() {
    static PickingStage stage;
    return stage;
}

void Pick(benchmark::State& state, LONG x, LONG y) {
    if (!Stage().ReadyFor(state)) return;
    Stage().Cursor(x, y);
    CStage* stage = CManager::GetInstance()->GetStage();
    for (auto _ : state) {
        stage->ClearSelection();
        stage->Picking();
        benchmark::DoNotOptimize(stage->IsSelectionValid());
    }
    state.counters["picked"] = stage->IsSelectionValid() ? 1 : 0;
}

void BM_PickDense(benchmark::State& state) { Pick(state, 640, 360); }
void BM_PickSky(benchmark::State& state) { Pick(state, 640, 10); }

void BM_BoxOnlyBaseline(benchmark::State& state) {
    if (!Stage().ReadyFor(state)) return;
    Stage().Cursor(640, 10);
    const PickRay ray = Stage().CursorRay();
    const std::vector<StageObject>& group = CManager::GetInstance()->GetStage()->Groups()[kTag];
    const CModelManager& models = *CManager::GetInstance()->GetModelManager();
    for (auto _ : state) {
        int hits = 0;
        for (const StageObject& object : group) {
            const ModelData* model = models.Get(object.model);
            if (!model) continue;
            D3DXVECTOR3 boxMin, boxMax;
            WorldBox(ObjectWorld(object.part), model->min, model->max, &boxMin, &boxMax);
            hits += PickRayHitsBox(ray, boxMin, boxMax) ? 1 : 0;
        }
        benchmark::DoNotOptimize(hits);
    }
}

BENCHMARK(BM_PickDense)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PickSky)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoxOnlyBaseline)->Unit(benchmark::kMillisecond);

class RatioReporter : public CRatioReporter {
    void Ratios() override {
        if (Ran({"BM_PickDense"})) std::printf("dense pick: %.3f ms (target <= 2 ms)\n", Ms("BM_PickDense"));
        if (Ran({"BM_PickSky", "BM_BoxOnlyBaseline"}))
            std::printf("pick over the sky / box-only broad phase: %.2f (target <= 1.5)\n",
                        Ms("BM_PickSky") / Ms("BM_BoxOnlyBaseline"));
    }
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
