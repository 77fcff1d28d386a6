// In the real window on the virtual X server, with the first-start layout: a picture dragged from "Models"
// into the view places that model there, and a window's corner dragged resizes the window while the camera
// stays where it was.
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <string>

#include "app/application.h"
#include "app/manager.h"
#include "editor/editor.h"
#include "render/camera.h"
#include "scene/stage.h"
#include "sample_editor_window.h"
#include "x_tools.h"

namespace {

using LayoutWindow = SampleEditorWindow;

TEST_F(LayoutWindow, DraggingTheCratePictureFromModelsIntoTheViewPlacesACrate) {
    CManager* manager = CManager::GetInstance();
    CStage* stage = manager->GetStage();
    const std::string window = XWindowId(platform.SdlWindow());
    std::size_t before = 0;
    std::string placed;
    CFrameLoop loop(platform);
    const int exitCode = loop.Run([&](std::uint64_t frame) {
        if (frame == 5) before = stage->Groups()[manager->GetEditor()->SelectedTag()].size();
        // From the "crate" picture, the fourth in the palette, to the ground in front of the pointer.
        Drag(window, frame, 10, 6, 688, 630, 640, 470);
        if (frame == 30) {
            const auto& group = stage->Groups()[manager->GetEditor()->SelectedTag()];
            if (group.size() == before + 1) placed = group.back().part.ModelLabel;
            platform.PostQuitMessage(0);
        }
    });
    StopEditor();
    CCamera::ResetSpin();

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(placed, "crate");
}

TEST_F(LayoutWindow, DraggingTheTagsCornerResizesTheWindowAndLeavesTheCameraStill) {
    CManager* manager = CManager::GetInstance();
    const std::string window = XWindowId(platform.SdlWindow());
    ImVec2 size, resized;
    D3DXVECTOR3 rot, eye;
    CFrameLoop loop(platform);
    const int exitCode = loop.Run([&](std::uint64_t frame) {
        if (frame == 5) {
            size = ImGui::FindWindowByName("Tags")->Size;
            rot = manager->GetCamera()->rot;
            eye = manager->GetCamera()->worldEye;
        }
        // The grip in the bottom right corner of "Tags", up and to the left by 66 x 46 pixels.
        Drag(window, frame, 10, 4, 1266, 276, 1200, 230);
        if (frame == 30) {
            resized = ImGui::FindWindowByName("Tags")->Size;
            platform.PostQuitMessage(0);
        }
    });
    const D3DXVECTOR3 rotAfter = manager->GetCamera()->rot, eyeAfter = manager->GetCamera()->worldEye;
    StopEditor();
    CCamera::ResetSpin();

    EXPECT_EQ(exitCode, 0);
    EXPECT_NEAR(size.x - resized.x, 66.0f, 2.0f);
    EXPECT_NEAR(size.y - resized.y, 46.0f, 2.0f);
    EXPECT_EQ(rotAfter, rot);
    EXPECT_EQ(eyeAfter, eye);
}

}  // namespace
