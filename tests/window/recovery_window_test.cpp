// The editor started on a stage file and killed with SIGKILL after an edit and an autosave loses nothing:
// started again on that file, it offers the recovery file, and "Recover" puts the stage as it was, the edit
// included and nothing twice.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "editor/recovery_prompt.h"
#include "support/temp_dir.h"
#include "x_tools.h"

namespace {

namespace fs = std::filesystem;

TEST(RecoveryWindow, AnEditSurvivesSigkillThroughTheRecoveryPopup) {
    // A copy of the sample data: the recovery file is written beside the stage file.
    TempDir folder;
    fs::copy(SourceDir() / "Data", folder.Path() / "Data", fs::copy_options::recursive);
    const fs::path stage = folder.Path() / "Data/FILE/stage.txt";
    const fs::path recovery = folder.Path() / "Data/FILE/stage.txt.autosave";
    fs::last_write_time(stage, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const std::string status = "150x14+5+83";

    pid_t first = StartEditorIn(folder.Path(), {"Data/FILE/stage.txt"});
    ASSERT_GT(first, 0);
    std::string window = WaitForEditorWindow();
    ASSERT_FALSE(window.empty()) << TempDir::Read(folder.Path() / "editor.log");
    CWindowShots firstShots(window, folder.Path() / "first");
    ASSERT_TRUE(firstShots.Settle("start", status));
    // An object at the pointer; the key is held until the "*" shows (the keyboard is read once a frame).
    ASSERT_TRUE(firstShots.Hold("Return", "created", "start", status, 20));
    // The autosave comes 30 s into the run.
    for (int i = 0; i < 600 && !fs::exists(recovery); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the worker renames it into place whole
    kill(first, SIGKILL);
    waitpid(first, nullptr, 0);
    ASSERT_TRUE(fs::exists(recovery)) << TempDir::Read(folder.Path() / "editor.log");

    pid_t second = StartEditorIn(folder.Path(), {"Data/FILE/stage.txt"});
    ASSERT_GT(second, 0);
    window = WaitForEditorWindow();
    ASSERT_FALSE(window.empty()) << TempDir::Read(folder.Path() / "editor.log");
    CWindowShots shots(window, folder.Path() / "second");
    // "Recover" is the first button, below the title bar and the four lines that name the files.
    const int left = static_cast<int>(CRecoveryPrompt::kLeft), top = static_cast<int>(CRecoveryPrompt::kTop);
    const std::string popup = "560x100+" + std::to_string(left) + "+" + std::to_string(top);
    ASSERT_TRUE(shots.Settle("asking", popup));
    const int y = top + 19 + 8 + 4 * 13 + 4 + 10;
    shots.Click(left + 30, y);
    ASSERT_TRUE(shots.AwaitChange("recovered", "asking", popup, 1000));
    ASSERT_TRUE(shots.Settle("recovered", status));
    ASSERT_TRUE(shots.Hold("ctrl+s", "saved", "recovered", status, 20));
    Shell("xdotool key Escape");
    EXPECT_EQ(WaitForExit(second, 60), 0);

    // The saved stage is the recovered one: the sample's objects once, and the one created before the kill.
    std::string text = TempDir::Read(stage);
    EXPECT_NE(text.find("Index : 12\nPos : 0 , 10 , 0\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Index : 13\n"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(recovery));
}

}  // namespace
