// In the real window on the virtual X server: dragging the x arrow of a selected crate with the mouse
// moves the crate along x by the distance the cursor went, and the camera does not turn.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/application.h"
#include "app/manager.h"
#include "editor/editor.h"
#include "platform/sdl/sdl_platform.h"
#include "render/camera.h"
#include "scene/pointer.h"
#include "scene/stage.h"
#include "support/temp_dir.h"
#include "sample_editor_window.h"
#include "x_tools.h"

namespace {

using GizmoWindow = SampleEditorWindow;

TEST_F(GizmoWindow, DraggingTheXArrowOfASelectedCrateMovesItAlongX) {
    CManager* manager = CManager::GetInstance();
    CStage* stage = manager->GetStage();
    // The crate at the pointer, which the camera looks at: the middle of the view. The camera looks
    // towards -z, so its x arrow points to the left.
    ObjectPart part{manager->GetPointer()->GetPos(), {}, D3DXVECTOR3(1, 1, 1), {}, "", "crate"};
    stage->CreateObject(part, "TEST", "crate");
    stage->Select(0);
    manager->GetEditor()->RefreshGroup("TEST");
    ASSERT_NE(stage->Groups()["TEST"].at(0).model, kNoModel) << "the sample catalog did not load";

    const std::string window = XWindowId(platform.SdlWindow());

    float x = 0.0f, yaw = 0.0f, unitsPerPixel = 0.0f;
    CFrameLoop loop(platform);
    const int exitCode = loop.Run([&](std::uint64_t frame) {
        Drag(window, frame, 10, 6, 590, 360, 530, 360);  // from half-way along the arrow, 60 pixels left
        if (frame == 30) {
            const CCamera& camera = *manager->GetCamera();
            D3DXVECTOR3 toEye = camera.worldEye - camera.worldAt;
            unitsPerPixel = 2.0f * D3DXVec3Length(&toEye) / (camera.mtxProjection._22 * 720.0f);
            x = stage->Groups()["TEST"].at(0).part.Pos.x;
            yaw = camera.rot.y;
            platform.PostQuitMessage(0);
        }
    });
    StopEditor();
    CCamera::ResetSpin();

    EXPECT_EQ(exitCode, 0);
    // The x axis lies square to the line of sight, so 60 pixels are 60 times the units per pixel.
    EXPECT_NEAR(x, 60.0f * unitsPerPixel, 2.0f * unitsPerPixel);
    EXPECT_EQ(yaw, 0.0f);
}

TEST_F(GizmoWindow, ARectangleAroundThreeCratesSelectsThemTheArrowMovesAllAndOneCtrlZPutsThemBack) {
    CManager* manager = CManager::GetInstance();
    CStage* stage = manager->GetStage();
    // Three crates in a row across the middle of the view.
    for (float x : {-30.0f, 0.0f, 30.0f}) {
        ObjectPart part{manager->GetPointer()->GetPos() + D3DXVECTOR3(x, 0, 0), {}, D3DXVECTOR3(1, 1, 1), {}, "", "crate"};
        stage->CreateObject(part, "TEST", "crate");
    }
    manager->GetEditor()->RefreshGroup("TEST");
    ASSERT_NE(stage->Groups()["TEST"].at(0).model, kNoModel) << "the sample catalog did not load";

    const std::string window = XWindowId(platform.SdlWindow());
    const std::string move = "xdotool mousemove --sync --window " + window + " ";
    std::size_t selected = 0;
    std::vector<float> moved, undone;
    auto xs = [&] {
        std::vector<float> out;
        for (const StageObject& object : stage->Groups()["TEST"]) out.push_back(object.part.Pos.x);
        return out;
    };
    CFrameLoop loop(platform);
    const int exitCode = loop.Run([&](std::uint64_t frame) {
        // On the x arrow of the gizmo at the selection's centre, 60 pixels to the left.
        Drag(window, frame, 26, 6, 590, 360, 530, 360);
        switch (frame) {
        case 10: Shell("xdotool windowfocus --sync " + window); Shell(move + "470 250"); break;
        case 11: Shell("xdotool keydown Shift_L"); break;
        case 13: Shell("xdotool mousedown 1"); break;
        case 15: case 16: case 17: case 18:  // Shift and a left drag: the rectangle
            Shell(move + std::to_string(470 + 90 * (frame - 14)) + " " + std::to_string(250 + 55 * (frame - 14)));
            break;
        case 20: Shell("xdotool mouseup 1"); break;
        case 22: Shell("xdotool keyup Shift_L"); break;
        case 24: selected = manager->GetEditor()->Document().Selection().Count(); break;
        case 44: moved = xs(); Shell("xdotool keydown Control_L"); break;
        case 46: Shell("xdotool keydown z"); break;
        case 48: Shell("xdotool keyup z"); break;
        case 50: Shell("xdotool keyup Control_L"); break;
        case 56: undone = xs(); platform.PostQuitMessage(0); break;
        default: break;
        }
    });
    StopEditor();
    CCamera::ResetSpin();

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(selected, 3u);
    ASSERT_EQ(moved.size(), 3u);
    ASSERT_EQ(undone.size(), 3u);
    // All three went the same way by the same amount, and one undo brought them all back.
    EXPECT_GT(moved[1], 1.0f);
    EXPECT_NEAR(moved[0] - undone[0], moved[1] - undone[1], 1e-3f);
    EXPECT_NEAR(moved[2] - undone[2], moved[1] - undone[1], 1e-3f);
    EXPECT_EQ(undone, (std::vector<float>{-30.0f, 0.0f, 30.0f}));
}

}  // namespace
