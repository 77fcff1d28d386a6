// Right-button picking on a group of 100,000 placed objects of the sample meshes (a floor created first,
// then a grid of turned and scaled models round the pointer), on the headless editor. Three runs: the
// cursor over the dense middle of the grid, the cursor over the sky (nothing is hit), and the baseline for
// the latter measured in the same run: the world box of every object's turned bounds against the same
// line, with nothing else. The program prints the dense pick's time and the miss / baseline ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "app/application.h"
#include "app/manager.h"
#include "editor/editor.h"
#include "input/input.h"
#include "platform/headless/headless_platform.h"
#include "render/camera.h"
#include "resource/model_manager.h"
#include "scene/object_world.h"
#include "scene/picking.h"
#include "scene/stage.h"
#include "dense_stage.h"
#include "run_benchmarks.h"

namespace {

constexpr int kObjects = 100000;
const char* const kTag = "TEST";

// The sample stage of the benchmark: built once, used by every run.
class PickingStage {
public:
    PickingStage() {
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
        for (int i = 0; i < 3; ++i) loop_->RunFrame();  // the camera's transforms are set
        platform_.SetMouseButton(1, true);
    }
    ~PickingStage() {
        delete loop_;
        if (started_) StopEditor();
    }
    bool Started() const { return started_; }
    bool MeshesLoaded() { return CManager::GetInstance()->GetStage()->Groups()[kTag][1].model != kNoModel; }

    // The cursor moves and the mouse is read, as a frame does before picking.
    void Cursor(LONG x, LONG y) {
        platform_.SetCursor(x, y);
        CManager::GetInstance()->GetMouse()->Update();
    }
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

private:
    CHeadlessPlatform platform_;
    CFrameLoop* loop_ = nullptr;
    bool started_ = false;
};

PickingStage& Stage() {
    static PickingStage stage;
    return stage;
}

void Pick(benchmark::State& state, LONG x, LONG y) {
    if (!Stage().Started() || !Stage().MeshesLoaded()) {
        state.SkipWithError("the editor or its sample meshes did not load");
        return;
    }
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
    if (!Stage().Started()) {
        state.SkipWithError("the editor did not start");
        return;
    }
    Stage().Cursor(640, 10);
    const PickRay ray = Stage().Ray();
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

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                ms_[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (ms_.count("BM_PickDense")) std::printf("dense pick: %.3f ms (target <= 2 ms)\n", ms_["BM_PickDense"]);
        if (ms_.count("BM_PickSky") && ms_.count("BM_BoxOnlyBaseline"))
            std::printf("pick over the sky / box-only broad phase: %.2f (target <= 1.5)\n",
                        ms_["BM_PickSky"] / ms_["BM_BoxOnlyBaseline"]);
    }

private:
    std::map<std::string, double> ms_;
};

}  // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
