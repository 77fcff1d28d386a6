#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/application.h"
#include "app/manager.h"
#include "editor/autosave.h"
#include "editor/editor.h"
#include "support/headless_editor.h"
#include "support/temp_dir.h"

namespace {

PlatformMessage Quit(int code = 0) {
    PlatformMessage m;
    m.kind = PlatformMessage::Kind::Quit;
    m.exitCode = code;
    return m;
}

// A folder with empty catalogs, so no "Catalog problems" popup takes the first Escape.
struct CatalogFolder : TempDir {
    CatalogFolder() {
        Write("Data/FILE/model.json", R"({"MODEL": []})");
        Write("Data/FILE/texture.json", R"({"TEXTURE": []})");
        Write("Data/FILE/shader.json", R"({"SHADER": []})");
    }
};

class FrameLoop : public ::testing::Test {
protected:
    CatalogFolder dir;
    ScopedWorkingDir cwd{dir.Path()};
    HeadlessEditor editor;
    CHeadlessPlatform& platform = editor.Platform();
};

}  // namespace

TEST_F(FrameLoop, NoFrameFifteenMillisecondsAfterTheLastOneAndOneAtSixteen) {
    DWORD start = platform.TimeGetTime();
    CFrameLoop loop(platform);
    platform.PostAt(start + 15, Quit(7));
    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(loop.FrameCount(), 0u);

    DWORD t = platform.TimeGetTime();
    CFrameLoop second(platform);
    std::vector<DWORD> frameTimes;
    platform.PostAt(t + 17, Quit());
    second.Run([&](std::uint64_t) { frameTimes.push_back(platform.TimeGetTime()); });
    EXPECT_EQ(frameTimes, std::vector<DWORD>{t + 16});
}

TEST_F(FrameLoop, FramesAreAtLeastSixteenApartAndTheLoopWaitsInsteadOfSpinning) {
    DWORD start = platform.TimeGetTime();
    CFrameLoop loop(platform);
    std::vector<DWORD> frameTimes;
    platform.PostAt(start + 100, Quit());
    loop.Run([&](std::uint64_t) {
        frameTimes.push_back(platform.TimeGetTime());
        if (frameTimes.size() == 2) platform.Advance(40);  // a slow frame delays the next; none is made up
    });
    EXPECT_EQ(frameTimes, (std::vector<DWORD>{start + 16, start + 32, start + 72, start + 88}));
    // Every wait asked for exactly the time left until the next frame was due.
    for (DWORD w : platform.waits) EXPECT_LE(w, CFrameLoop::kFrameInterval);
    EXPECT_LE(platform.waits.size(), 8u);
}

TEST_F(FrameLoop, TheClockWrapsHarmlessly) {
    platform.SetTime(0xFFFFFFF8u);
    CFrameLoop loop(platform);
    std::vector<DWORD> frameTimes;
    platform.PostAt(0xFFFFFFF8u + 20, Quit());
    loop.Run([&](std::uint64_t) { frameTimes.push_back(platform.TimeGetTime()); });
    EXPECT_EQ(frameTimes, std::vector<DWORD>{0xFFFFFFF8u + 16});
}

TEST_F(FrameLoop, EveryWaitingMessageIsHandledBeforeTheNextFrame) {
    DWORD start = platform.TimeGetTime();
    CFrameLoop loop(platform);
    for (int i = 0; i < 200; ++i) platform.PostAt(start + 10, PlatformMessage{});
    platform.PostAt(start + 40, Quit());
    bool pendingAtFrame = false;
    loop.Run([&](std::uint64_t) { pendingAtFrame |= platform.HasDueMessage(); });
    EXPECT_FALSE(pendingAtFrame);
    EXPECT_EQ(loop.FrameCount(), 2u);
}

TEST_F(FrameLoop, EscapeOrTheCloseBoxEndTheProgramWithExitCodeZero) {
    CFrameLoop loop(platform);
    platform.PostAt(platform.TimeGetTime() + 50, PlatformMessage{PlatformMessage::Kind::KeyDown, 0, DIK_ESCAPE});
    platform.PostAt(platform.TimeGetTime() + 2000, Quit(99));  // ends the run should Escape be ignored
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_EQ(loop.FrameCount(), 3u);

    CFrameLoop again(platform);
    platform.PostClose();
    EXPECT_EQ(again.Run(), 0);
    EXPECT_EQ(again.FrameCount(), 0u);

    // Other keys do nothing.
    CFrameLoop third(platform);
    platform.PostKeyDown(DIK_Q);
    platform.PostAt(platform.TimeGetTime() + 20, Quit(3));
    EXPECT_EQ(third.Run(), 3);
}

TEST_F(FrameLoop, F2TogglesTheFillModeOncePerPressAndItPersists) {
    CRecordingDevice& device = editor.Device();
    EXPECT_FALSE(editor.Manager().wireframe);
    platform.SetKey(DIK_F2, true);
    editor.Frames(5);  // held: one toggle
    EXPECT_TRUE(editor.Manager().wireframe);
    EXPECT_EQ(device.RenderState(D3DRS_FILLMODE), D3DFILL_WIREFRAME);
    platform.SetKey(DIK_F2, false);
    editor.Frames(3);
    EXPECT_EQ(device.RenderState(D3DRS_FILLMODE), D3DFILL_WIREFRAME);  // drawing never resets it
    platform.SetKey(DIK_F2, true);
    editor.Frames(1);
    EXPECT_FALSE(editor.Manager().wireframe);
    EXPECT_EQ(device.RenderState(D3DRS_FILLMODE), D3DFILL_SOLID);
}

TEST_F(FrameLoop, AFrameRunsItsStepsInOrder) {
    // Input is read first: a key set before the frame is seen by that frame's F2 step.
    platform.SetKey(DIK_F2, true);
    editor.Device().ClearLog();
    editor.Frames(1);
    const auto& log = editor.Device().Log();
    auto fill = std::find(log.begin(), log.end(), "SetRenderState(8,2)");
    auto clear = std::find(log.begin(), log.end(), "Clear(0,7,0,1,0)");
    ASSERT_NE(fill, log.end());
    EXPECT_LT(fill, clear);  // the fill-mode key acts before drawing
}

TEST_F(FrameLoop, LeftAloneTheLoopRestsAndTheNextMessageWakesAFrameAtOnce) {
    const DWORD start = platform.TimeGetTime();
    CFrameLoop loop(platform);
    platform.PostAt(start + 10000, PlatformMessage{});  // say, the mouse moved
    platform.PostAt(start + 20000, Quit());
    std::vector<DWORD> frameTimes;
    loop.Run([&](std::uint64_t) { frameTimes.push_back(platform.TimeGetTime() - start); });
    // The frames that let the GUI settle, then none until the message: it is drawn in the frame due then.
    auto awake = std::find_if(frameTimes.begin(), frameTimes.end(), [](DWORD t) { return t >= 10000; });
    ASSERT_TRUE(awake != frameTimes.begin() && awake != frameTimes.end());
    EXPECT_LE(awake[-1], 1000u);
    EXPECT_EQ(*awake, 10000u);
    // Resting (after both) waits for the next message a second at a time (the timed work), never polls.
    const auto longWaits = std::count_if(platform.waits.begin(), platform.waits.end(),
                                         [](DWORD w) { return w > CFrameLoop::kFrameInterval; });
    EXPECT_LE(platform.waits.size(), frameTimes.size() + 2 * longWaits + 2);
    EXPECT_TRUE(longWaits >= 15 && longWaits <= 22) << longWaits;
}

TEST_F(FrameLoop, FramesGoOnWhileAKeyIsHeldInTheForeground) {
    for (bool background : {false, true}) {
        CFrameLoop loop(platform);
        platform.SetKey(DIK_Q, true);
        platform.PostAt(platform.TimeGetTime() + 10000, Quit());
        loop.Run([&](std::uint64_t frame) {  // 3.2 s: long after a loop left alone rests
            if (frame == 200) background ? void(platform.foreground = false) : platform.SetKey(DIK_Q, false);
        });
        EXPECT_NEAR(static_cast<double>(loop.FrameCount()), 200.0 + CFrameActivity::kSettleFrames + 1, 1.0);
        platform.foreground = true;
    }
}

TEST_F(FrameLoop, WhileRestingTheAutosaveIsStillWrittenOnTime) {
    CEditor& gui = *editor.Manager().GetEditor();
    gui.AddTag("HALL");  // an unsaved change
    const DWORD start = platform.TimeGetTime();
    CFrameLoop loop(platform);
    platform.PostAt(start + 40000, Quit());
    std::vector<DWORD> frameTimes;
    loop.Run([&](std::uint64_t) { frameTimes.push_back(platform.TimeGetTime() - start); });
    gui.GetAutosave()->Wait();
    EXPECT_EQ(gui.GetAutosave()->Writes(), 1);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "Data/FILE/stage.txt.autosave"));
    // The settling frames, then none until the write is due 30 s after the first frame.
    auto firstLate = std::find_if(frameTimes.begin(), frameTimes.end(), [](DWORD t) { return t > 1000; });
    ASSERT_NE(firstLate, frameTimes.end());
    EXPECT_GE(*firstLate, 30000u);
    EXPECT_LE(*firstLate, 31100u);
}
