// In the real window on the virtual X server: holding the right button over a placed object selects it
// (over empty space nothing, and the nearest object, not the first created); W moves the pointer, a left drag turns the camera, the wheel zooms.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "app/application.h"
#include "app/manager.h"
#include "render/camera.h"
#include "editor/editor.h"
#include "scene/pointer.h"
#include "scene/stage.h"
#include "platform/sdl/sdl_platform.h"
#include "support/temp_dir.h"
#include "x_tools.h"

namespace {

// A cube of 20 units a side around its origin, one material.
const char* const kCubeX = R"(xof 0303txt 0032
Mesh Cube {
  8;
  -10.0;-10.0;-10.0;, 10.0;-10.0;-10.0;, 10.0;10.0;-10.0;, -10.0;10.0;-10.0;,
  -10.0;-10.0;10.0;, 10.0;-10.0;10.0;, 10.0;10.0;10.0;, -10.0;10.0;10.0;;
  12;
  3;0,3,2;, 3;0,2,1;, 3;4,5,6;, 3;4,6,7;, 3;0,1,5;, 3;0,5,4;,
  3;3,7,6;, 3;3,6,2;, 3;1,2,6;, 3;1,6,5;, 3;0,4,7;, 3;0,7,3;;
  MeshMaterialList {
    1;
    12;
    0,0,0,0,0,0,0,0,0,0,0,0;;
    Material {
      0.8;0.4;0.2;1.0;;
      0.0;
      0.0;0.0;0.0;;
      0.0;0.0;0.0;;
    }
  }
}
)";

// A square of 400 x 400 units at y = 0, seen from above.
const char* const kGroundX = R"(xof 0303txt 0032
Mesh Ground {
  4; -200.0;0.0;-200.0;, -200.0;0.0;200.0;, 200.0;0.0;200.0;, 200.0;0.0;-200.0;;
  2; 3;0,1,2;, 3;0,2,3;;
}
)";

// The editor in a real window, started in a scratch folder with the cube and the ground as mesh files,
// `models` as its model catalog and empty texture and effect catalogs.
class ShapesWindow : public ::testing::Test {
protected:
    void Start(const std::string& models) {
        folder_.Write("Data/FILE/model.json", models);
        folder_.Write("Data/model/cube.x", kCubeX);
        folder_.Write("Data/model/ground.x", kGroundX);
        folder_.Write("Data/FILE/texture.json", R"({"TEXTURE": []})");
        folder_.Write("Data/FILE/shader.json", R"({"SHADER": []})");
        inFolder_.emplace(folder_.Path());
        CCamera::ResetSpin();
        std::string error;
        ASSERT_TRUE(StartEditor(platform, error)) << error;
    }
    // An object of the model in the "TEST" group at `pos`, unturned and of its own size.
    static void Place(const std::string& model, const D3DXVECTOR3& pos) {
        ObjectPart part{};
        part.Pos = pos;
        part.Scale = D3DXVECTOR3(1, 1, 1);
        part.ModelLabel = model;
        CManager* manager = CManager::GetInstance();
        manager->GetStage()->CreateObject(part, "TEST", model);
        manager->GetEditor()->RefreshGroup("TEST");
    }

    TempDir folder_;
    std::optional<ScopedWorkingDir> inFolder_;
    CSdlPlatform platform;
};

using PickingWindow = ShapesWindow;
using CameraWindow = ShapesWindow;

TEST_F(PickingWindow, RightButtonHeldOverAPlacedObjectSelectsIt) {
    ASSERT_NO_FATAL_FAILURE(Start(R"({"MODEL": [["SPHERE", "Data/model/cube.x"], ["BOX", "Data/model/cube.x"]]})"));
    CManager* manager = CManager::GetInstance();
    CStage* stage = manager->GetStage();
    // One object at the pointer, which the camera looks at from the start: the middle of the view.
    Place("BOX", manager->GetPointer()->GetPos());
    ASSERT_NE(stage->Groups()["TEST"].at(0).model, kNoModel) << "the catalog did not load";

    const std::string window = XWindowId(platform.SdlWindow());
    ASSERT_FALSE(window.empty());
    const std::string move = "xdotool mousemove --sync --window " + window + " ";

    bool selectedOverEmptySpace = true;
    bool selectedOverObject = false;
    int selectedIndex = -1;
    CFrameLoop loop(platform);
    const int exitCode = loop.Run([&](std::uint64_t frame) {
        switch (frame) {
        case 10:  // bottom right: no object, no GUI window
            Shell(move + "1200 680");
            Shell("xdotool mousedown 3");
            break;
        case 30:
            selectedOverEmptySpace = stage->IsSelectionValid();
            Shell("xdotool mouseup 3");
            break;
        case 40:
            Shell(move + "640 360");
            Shell("xdotool mousedown 3");
            break;
        case 60:
            selectedOverObject = stage->IsSelectionValid();
            selectedIndex = stage->GetSelectedIndex();
            Shell("xdotool mouseup 3");
            platform.PostQuitMessage(0);
            break;
        default:
            break;
        }
    });
    StopEditor();

    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(selectedOverEmptySpace);
    EXPECT_TRUE(selectedOverObject);
    EXPECT_EQ(selectedIndex, 0);
}

TEST_F(PickingWindow, AnObjectStandingOnAGroundCreatedBeforeItIsPicked) {
    ASSERT_NO_FATAL_FAILURE(Start(
        R"({"MODEL": [["SPHERE", "Data/model/cube.x"], ["BOX", "Data/model/cube.x"], ["GROUND", "Data/model/ground.x"]]})"));
    CManager* manager = CManager::GetInstance();
    CStage* stage = manager->GetStage();
    Place("GROUND", D3DXVECTOR3(0, 0, 0));
    Place("BOX", manager->GetPointer()->GetPos());  // (0, 10, 0): the cube stands on the ground
    ASSERT_NE(stage->Groups()["TEST"].at(0).model, kNoModel) << "the catalog did not load";

    const std::string window = XWindowId(platform.SdlWindow());
    ASSERT_FALSE(window.empty());
    const std::string move = "xdotool mousemove --sync --window " + window + " ";
    int overCube = -1, overGround = -1;
    CFrameLoop loop(platform);
    const int exitCode = loop.Run([&](std::uint64_t frame) {
        switch (frame) {
        case 10:
            Shell(move + "640 360");
            Shell("xdotool mousedown 3");
            break;
        case 30:
            overCube = stage->IsSelectionValid() ? stage->GetSelectedIndex() : -1;
            Shell("xdotool mouseup 3");
            Shell(move + "900 650");  // in front of the cube, on the ground, clear of the GUI
            Shell("xdotool mousedown 3");
            break;
        case 50:
            overGround = stage->GetSelectedIndex();
            Shell("xdotool mouseup 3");
            platform.PostQuitMessage(0);
            break;
        default:
            break;
        }
    });
    StopEditor();

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(overCube, 1);
    EXPECT_EQ(overGround, 0);
}

TEST_F(PickingWindow, CtrlClickPutsThePointerOnTheGroundAndEnterCreatesAnObjectStandingThere) {
    ASSERT_NO_FATAL_FAILURE(Start(R"({"MODEL": [["BOX", "Data/model/cube.x"], ["GROUND", "Data/model/ground.x"]]})"));
    CManager* manager = CManager::GetInstance();
    CStage* stage = manager->GetStage();
    Place("GROUND", D3DXVECTOR3(0, 0, 0));
    ASSERT_NE(stage->Groups()["TEST"].at(0).model, kNoModel) << "the catalog did not load";

    const std::string window = XWindowId(platform.SdlWindow());
    ASSERT_FALSE(window.empty());
    D3DXVECTOR3 pointer;
    CFrameLoop loop(platform);
    const int exitCode = loop.Run([&](std::uint64_t frame) {
        switch (frame) {
        case 10:  // on the ground in front of the pointer, clear of the GUI
            Shell("xdotool windowfocus --sync " + window + " mousemove --sync --window " + window + " 800 480");
            Shell("xdotool keydown Control_L");
            break;
        case 15: Shell("xdotool mousedown 1"); break;
        case 20: Shell("xdotool mouseup 1"); break;
        case 25:
            Shell("xdotool keyup Control_L");
            pointer = manager->GetPointer()->GetPos();
            Shell("xdotool keydown Return");
            break;
        case 30: Shell("xdotool keyup Return"); break;
        case 40: platform.PostQuitMessage(0); break;
        default: break;
        }
    });
    const std::vector<StageObject> group = stage->Groups()["TEST"];
    StopEditor();

    EXPECT_EQ(exitCode, 0);
    EXPECT_NEAR(pointer.y, 0.0f, 1e-3f) << "the pointer is on the ground";
    EXPECT_GT(pointer.z, 1.0f) << "under the cursor, nearer the eye than the start";
    ASSERT_EQ(group.size(), 2u);
    // The cube reaches 10 units below its origin: its bottom, not its centre, is on the ground.
    EXPECT_NEAR(group[1].part.Pos.y, 10.0f, 1e-3f);
    EXPECT_NEAR(group[1].part.Pos.x, pointer.x, 1e-3f);
    EXPECT_NEAR(group[1].part.Pos.z, pointer.z, 1e-3f);
}

TEST_F(CameraWindow, WMovesThePointerLeftDragTurnsTheCameraAndTheWheelZooms) {
    // No models: nothing here needs one, and no problem popup holds the mouse.
    ASSERT_NO_FATAL_FAILURE(Start(R"({"MODEL": []})"));
    CManager* manager = CManager::GetInstance();
    const std::string window = XWindowId(platform.SdlWindow());
    ASSERT_FALSE(window.empty());
    const std::string move = "xdotool mousemove --sync --window " + window + " ";

    D3DXVECTOR3 pointerAfterW, eyeBeforeWheel, eyeAfterWheel;
    float yawAfterDrag = 0.0f;
    CFrameLoop loop(platform);
    const int exitCode = loop.Run([&](std::uint64_t frame) {
        switch (frame) {
        case 10:  // away from the GUI windows
            Shell(move + "700 300");
            Shell("xdotool windowfocus --sync " + window + " keydown w");
            break;
        case 20:
            Shell("xdotool keyup w");
            pointerAfterW = manager->GetPointer()->GetPos();
            Shell("xdotool mousedown 1");
            break;
        case 21:
        case 22:
        case 23:
            Shell(move + std::to_string(700 + 30 * (frame - 20)) + " 300");
            break;
        case 24:
            Shell("xdotool mouseup 1");
            break;
        case 60:
            yawAfterDrag = manager->GetCamera()->rot.y;
            eyeBeforeWheel = manager->GetCamera()->posV;
            Shell("xdotool click 4");
            break;
        case 70:
            eyeAfterWheel = manager->GetCamera()->posV;
            platform.PostQuitMessage(0);
            break;
        default:
            break;
        }
    });
    StopEditor();
    CCamera::ResetSpin();

    EXPECT_EQ(exitCode, 0);
    // W with the camera's yaw at 0 walks towards -z, one unit per frame.
    EXPECT_EQ(pointerAfterW.x, 0.0f);
    EXPECT_LT(pointerAfterW.z, -3.0f);
    // Dragging to the right turns the yaw up, and the turn runs on after the release.
    EXPECT_GT(yawAfterDrag, 90 * 0.005f);
    // The wheel forward brings the eye down and nearer.
    EXPECT_LT(eyeAfterWheel.z, eyeBeforeWheel.z);
    EXPECT_LT(eyeAfterWheel.y, eyeBeforeWheel.y);
}

}  // namespace
