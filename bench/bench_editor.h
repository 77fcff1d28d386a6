// The headless editor a benchmark measures: started on the sample data (benchmarks run in the source
// tree) and stopped when it goes. FillDense puts the dense stage in the "TEST" group and runs a few frames,
// so the camera's transforms are set and the spatial index is built.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "app/application.h"
#include "app/manager.h"
#include "dense_stage.h"
#include "editor/editor.h"
#include "input/input.h"
#include "platform/headless/headless_platform.h"
#include "render/camera.h"
#include "scene/picking.h"
#include "scene/stage.h"

class CBenchEditor {
public:
    static constexpr const char* kTag = "TEST";

    CBenchEditor() {
        started_ = StartEditor(platform_, error_);
        if (!started_) std::fprintf(stderr, "cannot start the editor: %s\n", error_.c_str());
    }
    ~CBenchEditor() {
        loop_.reset();
        if (started_) StopEditor();
    }
    CBenchEditor(const CBenchEditor&) = delete;
    CBenchEditor& operator=(const CBenchEditor&) = delete;

    bool Started() const { return started_; }
    const std::string& Error() const { return error_; }
    // Started, and the objects of the "TEST" group have their sample meshes.
    bool Ready() const {
        if (!started_) return false;
        const StageGroups& groups = std::as_const(Stage().Document()).Groups();
        auto group = groups.find(kTag);
        return group != groups.end() && !group->second.empty() && group->second.back().model != kNoModel;
    }
    // Ready, or the benchmark is skipped with the reason.
    bool ReadyFor(benchmark::State& state) const {
        if (Ready()) return true;
        state.SkipWithError(started_ ? "the sample meshes did not load" : ("cannot start the editor: " + error_).c_str());
        return false;
    }

    void FillDense(int objects = kDenseObjects, bool withFloor = true) {
        if (!started_) return;
        FillDenseStage(Stage(), kTag, objects, withFloor);
        Editor().RefreshGroup(kTag);
        for (int i = 0; i < 3; ++i) Frame();
    }
    void Frame() { Loop().RunFrame(); }
    // The frames a benchmark measures, one an iteration, each a frame interval after the last. Three
    // frames first let the windows settle. The device still takes every call and keeps its state, but its
    // journal, which would measure only itself, is off.
    void RunFrames(benchmark::State& state) {
        if (CRecordingDevice* device = platform_.Device()) device->SetRecording(false);
        for (int i = 0; i < 3; ++i) Frame();
        for (auto _ : state) {
            platform_.Advance(CFrameLoop::kFrameInterval);
            Frame();
        }
    }
    CFrameLoop& Loop() {
        if (!loop_) loop_ = std::make_unique<CFrameLoop>(platform_);
        return *loop_;
    }
    // The cursor moves and the mouse is read, as a frame does before picking.
    void Cursor(LONG x, LONG y) {
        platform_.SetCursor(x, y);
        CManager::GetInstance()->GetMouse()->Update();
    }
    // The line under the cursor that picking follows.
    PickRay CursorRay() const {
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

    CHeadlessPlatform& Platform() { return platform_; }
    CStage& Stage() const { return *CManager::GetInstance()->GetStage(); }
    CEditor& Editor() const { return *CManager::GetInstance()->GetEditor(); }

private:
    CHeadlessPlatform platform_;
    std::unique_ptr<CFrameLoop> loop_;
    bool started_ = false;
    std::string error_;
};
