// The orbit camera driven frame by frame with scripted mouse and keys.
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "editor/editor.h"
#include "input/input.h"
#include "render/camera.h"
#include "scene/pointer.h"
#include "support/headless_editor.h"

namespace {

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        CCamera::ResetSpin();
        // Away from the editor's windows.
        editor_.Platform().SetCursor(1270, 710);
        ASSERT_TRUE(editor_.Started());
    }
    void TearDown() override { CCamera::ResetSpin(); }

    CCamera& Camera() { return *editor_.Manager().GetCamera(); }
    CHeadlessPlatform& Platform() { return editor_.Platform(); }

    // The camera's part of a frame alone, so a test can set the editor's flags in between.
    void CameraStep() {
        editor_.Manager().GetKeyboard()->Update();
        editor_.Manager().GetMouse()->Update();
        Camera().Update();
    }

    HeadlessEditor editor_;
};

TEST_F(CameraTest, DragSpinDecaysByFactorPerFrameAfterRelease) {
    Platform().SetMouseButton(0, true);
    Platform().MoveMouse(20, -10);
    editor_.Frames(1);
    EXPECT_FLOAT_EQ(Camera().rot.y, 20 * 0.005f);
    EXPECT_FLOAT_EQ(Camera().rot.x, -10 * 0.005f);

    // Still held, mouse still: the turn stops at once.
    editor_.Frames(1);
    EXPECT_FLOAT_EQ(Camera().rot.y, 20 * 0.005f);

    Platform().MoveMouse(20, 0);
    editor_.Frames(1);
    Platform().SetMouseButton(0, false);
    std::vector<float> yaws{Camera().rot.y};
    for (int i = 0; i < 5; ++i) {
        editor_.Frames(1);
        yaws.push_back(Camera().rot.y);
    }
    float expectedStep = 20 * 0.85f * 0.005f;
    for (std::size_t i = 1; i < yaws.size(); ++i) {
        EXPECT_NEAR(yaws[i] - yaws[i - 1], expectedStep, 1e-6f) << "frame " << i;
        expectedStep *= 0.85f;
    }
    EXPECT_NEAR(CCamera::GetSpin().x, 20 * std::pow(0.85f, 6.0f), 1e-4f);
}

TEST_F(CameraTest, OverEditorWindowDragAndWheelAreIgnoredButSpinKeepsTurning) {
    Platform().SetMouseButton(0, true);
    Platform().MoveMouse(10, 0);
    editor_.Frames(1);
    const float yawAfterDrag = Camera().rot.y;
    const D3DXVECTOR3 eye = Camera().posV;

    editor_.Manager().GetEditor()->mouseOverWindow = true;
    Platform().MoveMouse(400, 300);
    Platform().TurnWheel(240);
    CameraStep();
    // The spin left by the drag (10 * 0.85) turns on; the new movement and the wheel do nothing.
    EXPECT_FLOAT_EQ(Camera().rot.y, yawAfterDrag + 10 * 0.85f * 0.005f);
    EXPECT_FLOAT_EQ(Camera().rot.x, 0.0f);
    EXPECT_EQ(Camera().posV, eye);
    EXPECT_NEAR(CCamera::GetSpin().x, 10 * 0.85f * 0.85f, 1e-5f);
}

TEST_F(CameraTest, DragAndWheelOverTheMainWindowLeaveTheCameraAlone) {
    Platform().SetCursor(60, 80);  // inside the main window, which opens at the top left
    editor_.Frames(2);
    ASSERT_TRUE(editor_.Manager().GetEditor()->IsMouseOverWindow());
    Platform().SetMouseButton(0, true);
    Platform().MoveMouse(30, 30);
    Platform().TurnWheel(120);
    editor_.Frames(1);
    EXPECT_EQ(Camera().rot, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(Camera().posV, D3DXVECTOR3(0, 100, 300));
}

TEST_F(CameraTest, WheelAndKeysMoveTheEye) {
    Platform().TurnWheel(120);
    editor_.Frames(1);
    EXPECT_FLOAT_EQ(Camera().posV.y, 100 - 60.0f);
    EXPECT_FLOAT_EQ(Camera().posV.z, 300 - 60.0f);

    Platform().SetKey(DIK_T, true);
    editor_.Frames(2);
    Platform().SetKey(DIK_T, false);
    EXPECT_FLOAT_EQ(Camera().posV.y, 40 - 8.0f);
    EXPECT_FLOAT_EQ(Camera().posV.z, 240 - 24.0f);

    Platform().SetKey(DIK_G, true);
    editor_.Frames(1);
    Platform().SetKey(DIK_G, false);
    EXPECT_FLOAT_EQ(Camera().posV.y, 36.0f);
    EXPECT_FLOAT_EQ(Camera().posV.z, 228.0f);

    Platform().SetKey(DIK_E, true);
    editor_.Frames(3);
    EXPECT_NEAR(Camera().rot.y, 0.015f, 1e-6f);
}

TEST_F(CameraTest, KeysTypedIntoATextFieldDoNotMoveTheCamera) {
    editor_.Frames(1);
    Platform().SetKey(DIK_Q, true);
    Platform().SetKey(DIK_T, true);
    // This frame's GUI frame found a text field holding the keyboard.
    editor_.Manager().GetEditor()->Focus().typing = true;
    CameraStep();
    EXPECT_EQ(Camera().rot.y, 0.0f);
    EXPECT_EQ(Camera().posV, D3DXVECTOR3(0, 100, 300));
}

TEST_F(CameraTest, HoldingQWrapsTheYawOnceAroundPi) {
    Platform().SetKey(DIK_Q, true);
    float previous = 0.0f;
    int wraps = 0;
    for (int frame = 0; frame < 700; ++frame) {
        editor_.Frames(1);
        const float yaw = Camera().rot.y;
        EXPECT_GE(yaw, -3.1415927f);
        EXPECT_LE(yaw, 3.1415927f);
        if (yaw > previous) {
            // Just below -pi became just below pi.
            ++wraps;
            EXPECT_LT(previous, -3.1415927f + 0.005f);
            EXPECT_NEAR(yaw - previous, 6.2831855f - 0.005f, 1e-4f);
        } else {
            EXPECT_NEAR(yaw - previous, -0.005f, 1e-5f);
        }
        previous = yaw;
    }
    EXPECT_EQ(wraps, 1);
}

TEST_F(CameraTest, YawWrapsAfterTheOrbitMatrix) {
    Camera().rot.y = 3.1405f;
    Platform().SetKey(DIK_E, true);
    editor_.Frames(1);
    // The matrix of this frame still used 3.1455; the stored yaw is wrapped.
    D3DXMATRIX rotation;
    D3DXMatrixRotationYawPitchRoll(&rotation, 3.1405f + 0.005f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(Camera().mtxOrbit._13, rotation._13);
    EXPECT_NEAR(Camera().rot.y, 3.1455f - 6.2831855f, 1e-6f);
}

TEST_F(CameraTest, OrbitFollowsThePointerWithoutChangingTheEyeOffset) {
    Camera().rot = D3DXVECTOR3(0.3f, 0.7f, 0.0f);
    editor_.Frames(1);
    const D3DXVECTOR3 offset = Camera().worldEye - Camera().worldAt;
    CPointer* pointer = editor_.Manager().GetPointer();
    EXPECT_EQ(Camera().worldAt, pointer->GetPos());

    Platform().SetKey(DIK_W, true);
    Platform().SetKey(DIK_R, true);
    editor_.Frames(5);
    Platform().SetKey(DIK_W, false);
    editor_.Frames(5);  // R alone lifts it
    ASSERT_NE(pointer->GetPos(), D3DXVECTOR3(0, 10, 0));
    const D3DXVECTOR3 moved = Camera().worldEye - Camera().worldAt;
    EXPECT_NEAR(moved.x, offset.x, 1e-3f);
    EXPECT_NEAR(moved.y, offset.y, 1e-3f);
    EXPECT_NEAR(moved.z, offset.z, 1e-3f);
    EXPECT_NEAR(Camera().worldAt.x, pointer->GetPos().x, 1e-4f);
    EXPECT_NEAR(Camera().worldAt.y, pointer->GetPos().y, 1e-4f);
    EXPECT_NEAR(Camera().worldAt.z, pointer->GetPos().z, 1e-4f);
}

TEST_F(CameraTest, TransformsAreSetAfterDrawingForTheNextFrame) {
    editor_.Frames(1);
    CRecordingDevice& device = editor_.Device();
    device.ClearLog();
    Camera().rot.y = 0.5f;
    editor_.Frames(1);

    const auto& log = device.Log();
    int present = -1, view = -1, projection = -1;
    for (int i = 0; i < static_cast<int>(log.size()); ++i) {
        if (log[i] == "Present") present = i;
        if (log[i] == "SetTransform(2)") view = i;
        if (log[i] == "SetTransform(3)") projection = i;
    }
    ASSERT_GE(present, 0);
    EXPECT_GT(view, present);
    EXPECT_GT(projection, view);

    D3DMATRIX onDevice;
    device.GetTransform(D3DTS_VIEW, &onDevice);
    EXPECT_EQ(0, std::memcmp(&onDevice, &Camera().mtxView, sizeof onDevice));
    EXPECT_FLOAT_EQ(Camera().mtxProjection._22, 1.0f / std::tan(0.7853982f / 2));
    EXPECT_FLOAT_EQ(Camera().mtxProjection._11, Camera().mtxProjection._22 / (16.0f / 9.0f));
    EXPECT_FLOAT_EQ(Camera().mtxProjection._34, 1.0f);
}

TEST_F(CameraTest, UnprojectOfTheCentreLiesOnTheLineOfSightOnTheNearPlane) {
    Camera().rot = D3DXVECTOR3(-0.4f, 2.0f, 0.0f);
    editor_.Frames(2);
    const D3DXVECTOR3 eye = Camera().worldEye;
    D3DXVECTOR3 forward = Camera().worldAt - eye;
    D3DXVec3Normalize(&forward, &forward);

    const D3DXVECTOR3 p = Camera().Unproject(D3DXVECTOR3(640, 360, 0));
    const D3DXVECTOR3 fromEye = p - eye;
    const float along = D3DXVec3Dot(&fromEye, &forward);
    EXPECT_NEAR(along, 5.0f, 1e-2f);
    const D3DXVECTOR3 off = fromEye - forward * along;
    EXPECT_NEAR(D3DXVec3Length(&off), 0.0f, 1e-2f);

    // A pixel to the right lies to the right of the line of sight.
    const D3DXVECTOR3 right = Camera().Unproject(D3DXVECTOR3(1280, 360, 0)) - p;
    D3DXVECTOR3 side;
    D3DXVec3Cross(&side, &Camera().vecU, &forward);
    EXPECT_GT(D3DXVec3Dot(&right, &side), 0.0f);
}

}  // namespace
