// The editor killed with SIGKILL after an edit and an autosave loses nothing: started again, it offers the
// recovery file, and "Recover" brings the edit back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "editor/recovery_prompt.h"
#include "support/temp_dir.h"
#include "x_tools.h"

namespace {

namespace fs = std::filesystem;

pid_t StartEditor(const fs::path& folder) {
    pid_t child = fork();
    if (child != 0) return child;
    if (chdir(folder.c_str()) != 0) _exit(126);
    std::string asan = getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "";
    setenv("ASAN_OPTIONS", (asan + (asan.empty() ? "" : ":") + "detect_leaks=0").c_str(), 1);
    FILE* log = std::freopen("editor.log", "a", stderr);
    (void)log;
    execl(VELLUMAR_EXE, VELLUMAR_EXE, static_cast<char*>(nullptr));
    _exit(127);
}

std::string WaitForWindow() {
    for (int i = 0; i < 600; ++i) {
        std::string window = Shell("xdotool search --name '^Vellumar$' 2>/dev/null | head -n1");
        if (!window.empty()) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

int WaitForExit(pid_t child, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return -1;
}

TEST(RecoveryWindow, AnEditSurvivesSigkillThroughTheRecoveryPopup) {
    // A copy of the sample data: the recovery file is written beside the stage file.
    TempDir folder;
    fs::copy(SourceDir() / "Data", folder.Path() / "Data", fs::copy_options::recursive);
    const fs::path stage = folder.Path() / "Data/FILE/stage.txt";
    const fs::path recovery = folder.Path() / "Data/FILE/stage.txt.autosave";
    fs::last_write_time(stage, fs::file_time_type::clock::now() - std::chrono::hours(1));

    pid_t first = StartEditor(folder.Path());
    ASSERT_GT(first, 0);
    std::string window = WaitForWindow();
    ASSERT_FALSE(window.empty()) << TempDir::Read(folder.Path() / "editor.log");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    // Keys are held for a while: the editor reads the keyboard once per frame.
    Shell("xdotool windowfocus --sync " + window + " keydown Return sleep 0.5 keyup Return");  // an object at the pointer
    // The autosave comes 30 s into the run.
    for (int i = 0; i < 600 && !fs::exists(recovery); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the worker renames it into place whole
    kill(first, SIGKILL);
    waitpid(first, nullptr, 0);
    ASSERT_TRUE(fs::exists(recovery)) << TempDir::Read(folder.Path() / "editor.log");

    pid_t second = StartEditor(folder.Path());
    ASSERT_GT(second, 0);
    window = WaitForWindow();
    ASSERT_FALSE(window.empty()) << TempDir::Read(folder.Path() / "editor.log");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    // "Recover" is the first button, below the title bar and the four lines that name the files.
    int x = static_cast<int>(CRecoveryPrompt::kLeft) + 30;
    int y = static_cast<int>(CRecoveryPrompt::kTop) + 19 + 8 + 4 * 13 + 4 + 10;
    Shell("xdotool windowfocus --sync " + window + " mousemove --window " + window + " " + std::to_string(x) + " " +
          std::to_string(y) + " sleep 0.3 click 1 sleep 0.5 keydown ctrl keydown s sleep 0.5 keyup s keyup ctrl sleep 0.5 key Escape");
    EXPECT_EQ(WaitForExit(second, 60), 0);

    // The saved stage is the recovered one: the single object created before the kill.
    std::string text = TempDir::Read(stage);
    EXPECT_NE(text.find("Index : 0\nPos : 0 , 10 , 0\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Index : 1\n"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(recovery));
}

}  // namespace
