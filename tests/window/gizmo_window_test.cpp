// In the real window on the virtual X server: dragging the x arrow of a selected crate with the mouse
// moves the crate along x by the distance the cursor went, and the camera does not turn.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/manager.h"
#include "editor/editor.h"
#include "platform/sdl/sdl_platform.h"
#include "render/camera.h"
#include "scene/pointer.h"
#include "scene/stage.h"
#include "support/temp_dir.h"
#include "x_tools.h"

namespace {

TEST(GizmoWindow, DraggingTheXArrowOfASelectedCrateMovesItAlongX) {
    TempDir folder;
    std::filesystem::create_directory_symlink(SourceDir() / "Data", folder.Path() / "Data");
    ScopedWorkingDir inFolder(folder.Path());
    CCamera::ResetSpin();

    CSdlPlatform platform;
    std::string error;
    ASSERT_TRUE(StartEditor(platform, error)) << error;
    CManager* manager = CManager::GetInstance();
    CStage* stage = manager->GetStage();
    // The crate at the pointer, which the camera looks at: the middle of the view. The camera looks
    // towards -z, so its x arrow points to the left.
    ObjectPart part{manager->GetPointer()->GetPos(), {}, D3DXVECTOR3(1, 1, 1), {}, "", "crate"};
    stage->CreateObject(part, "TEST", "crate");
    stage->Select(0);
    manager->GetEditor()->RefreshGroup("TEST");
    ASSERT_NE(stage->Groups()["TEST"].at(0).model, kNoModel) << "the sample catalog did not load";

    const std::string move = "xdotool mousemove --sync --window " + XWindowId(platform.SdlWindow()) + " ";

    float x = 0.0f, yaw = 0.0f, unitsPerPixel = 0.0f;
    CFrameLoop loop(platform);
    const int exitCode = loop.Run([&](std::uint64_t frame) {
        if (frame == 10) Shell(move + "590 360");  // half-way along the arrow
        if (frame == 12) Shell("xdotool mousedown 1");
        if (frame >= 14 && frame <= 19) Shell(move + std::to_string(590 - 10 * (frame - 13)) + " 360");
        if (frame == 22) Shell("xdotool mouseup 1");
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

}  // namespace
