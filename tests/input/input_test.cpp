#include <gtest/gtest.h>

#include "input/input.h"
#include "platform/headless/headless_platform.h"

namespace {

class InputDevices : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(keyboard.Init(&platform, platform.GetWindow()), S_OK);
        ASSERT_EQ(mouse.Init(&platform, platform.GetWindow()), S_OK);
    }
    CHeadlessPlatform platform;
    CInputKeyboard keyboard;
    CInputMouse mouse;
};

}  // namespace

TEST_F(InputDevices, AHeldKeyTriggersOnlyOnItsFirstFrame) {
    platform.SetKey(DIK_F2, true);
    keyboard.Update();
    EXPECT_TRUE(keyboard.GetTrigger(DIK_F2));
    EXPECT_TRUE(keyboard.GetPress(DIK_F2));
    keyboard.Update();
    EXPECT_FALSE(keyboard.GetTrigger(DIK_F2));
    EXPECT_TRUE(keyboard.GetPress(DIK_F2));
    platform.SetKey(DIK_F2, false);
    keyboard.Update();
    EXPECT_FALSE(keyboard.GetPress(DIK_F2));
    platform.SetKey(DIK_F2, true);
    keyboard.Update();
    EXPECT_TRUE(keyboard.GetTrigger(DIK_F2));
    EXPECT_FALSE(keyboard.GetTrigger(DIK_W));
    EXPECT_FALSE(keyboard.GetPress(-1));
    EXPECT_FALSE(keyboard.GetPress(256));
}

TEST_F(InputDevices, EachOfTheEightButtonsHasItsOwnTriggerAndRelease) {
    for (int b = 0; b < 8; ++b) {
        platform.SetMouseButton(b, true);
        mouse.Update();
        for (int other = 0; other < 8; ++other) {
            EXPECT_EQ(mouse.GetTrigger(other), other == b) << b << " " << other;
            EXPECT_FALSE(mouse.GetRelease(other));
        }
        EXPECT_TRUE(mouse.GetPress(b));
        platform.SetMouseButton(b, false);
        mouse.Update();
        for (int other = 0; other < 8; ++other) {
            EXPECT_EQ(mouse.GetRelease(other), other == b) << b << " " << other;
            EXPECT_FALSE(mouse.GetTrigger(other));
        }
    }
}

TEST_F(InputDevices, APressAndReleaseBetweenTwoReadsIsSeenByNeither) {
    mouse.Update();
    platform.SetMouseButton(1, true);
    platform.SetMouseButton(1, false);
    mouse.Update();
    EXPECT_FALSE(mouse.GetTrigger(1));
    EXPECT_FALSE(mouse.GetRelease(1));
}

TEST_F(InputDevices, MovementAndWheelAreRelativeToTheLastRead) {
    platform.MoveMouse(5, -3);
    platform.MoveMouse(2, 1);
    platform.TurnWheel(120);
    mouse.Update();
    EXPECT_EQ(mouse.GetMove().lX, 7);
    EXPECT_EQ(mouse.GetMove().lY, -2);
    EXPECT_EQ(mouse.GetMove().lZ, 120);
    mouse.Update();
    EXPECT_EQ(mouse.GetMove().lX, 0);
    EXPECT_EQ(mouse.GetMove().lZ, 0);
}

TEST_F(InputDevices, InTheBackgroundHeldStateStaysButNoEdgeOrMovementRepeats) {
    platform.SetMouseButton(0, true);
    platform.SetMouseButton(1, true);
    mouse.Update();
    // The last good read: Enter goes down, the right button goes up, the mouse moves and the wheel turns.
    platform.SetKey(DIK_RETURN, true);
    platform.SetMouseButton(1, false);
    platform.MoveMouse(4, -4);
    platform.TurnWheel(120);
    keyboard.Update();
    mouse.Update();
    ASSERT_TRUE(keyboard.GetTrigger(DIK_RETURN));
    ASSERT_TRUE(mouse.GetRelease(1));

    platform.foreground = false;
    platform.SetKey(DIK_RETURN, false);
    platform.SetMouseButton(0, false);
    for (int frame = 0; frame < 2; ++frame) {
        keyboard.Update();
        mouse.Update();
        EXPECT_TRUE(keyboard.GetPress(DIK_RETURN)) << frame;
        EXPECT_FALSE(keyboard.GetTrigger(DIK_RETURN)) << frame;
        EXPECT_TRUE(mouse.GetPress(0)) << frame;
        EXPECT_FALSE(mouse.GetRelease(1)) << frame;
        EXPECT_EQ(mouse.GetMove().lX, 0) << frame;
        EXPECT_EQ(mouse.GetMove().lY, 0) << frame;
        EXPECT_EQ(mouse.GetMove().lZ, 0) << frame;
    }

    // Back in front, what changed meanwhile shows as edges against the held state.
    platform.foreground = true;
    keyboard.Update();
    mouse.Update();
    EXPECT_FALSE(keyboard.GetPress(DIK_RETURN));
    EXPECT_TRUE(mouse.GetRelease(0));
    EXPECT_FALSE(mouse.GetTrigger(0));
}

TEST_F(InputDevices, CursorIsReportedInClientCoordinates) {
    platform.SetCursor(640, 360);
    D3DXVECTOR3 c = mouse.GetCursorClientPos();
    EXPECT_EQ(c.x, 640.0f);
    EXPECT_EQ(c.y, 360.0f);
    EXPECT_EQ(c.z, 0.0f);
}

TEST(InputInit, FailsWhenTheInputSystemOrTheDeviceIsMissing) {
    CHeadlessPlatform platform;
    platform.failInputDevices.insert(InputDeviceKind::Mouse);
    CInputKeyboard keyboard;
    CInputMouse mouse;
    EXPECT_EQ(keyboard.Init(&platform, platform.GetWindow()), S_OK);
    EXPECT_EQ(mouse.Init(&platform, platform.GetWindow()), E_FAIL);
    mouse.Update();  // a failed device is harmless
    EXPECT_FALSE(mouse.GetPress(0));

    CHeadlessPlatform none;
    none.failDirectInput = true;
    CInputKeyboard k2;
    EXPECT_EQ(k2.Init(&none, none.GetWindow()), E_FAIL);
}
