// The editor program itself on the virtual X server: its window, its size, and Escape ending it cleanly.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <filesystem>
#include <thread>

#include "support/temp_dir.h"
#include "x_tools.h"

namespace {

// Waits up to `seconds` for the child to end; its exit status, or -1 when it is still running.
int WaitForExit(pid_t child, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return -1;
}

TEST(EditorWindow, OpensTitledVellumarAt1280By720AndEscapeEndsItWithCodeZero) {
    // A working folder of its own (the sample data linked in), so its imgui.ini stays there.
    TempDir folder;
    std::filesystem::create_directory_symlink(SourceDir() / "Data", folder.Path() / "Data");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (chdir(folder.Path().c_str()) != 0) _exit(126);
        // In the sanitizer build: the GL driver is unloaded before the leak check, which could then only
        // report its allocations under an unknown module. Leaks of the program's own code are checked by the
        // tests that run the editor and the device in-process.
        std::string asan = getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "";
        setenv("ASAN_OPTIONS", (asan + (asan.empty() ? "" : ":") + "detect_leaks=0").c_str(), 1);
        // What the editor says goes to a file the test shows when the window does not come up.
        FILE* log = std::freopen("editor.log", "w", stderr);
        (void)log;
        execl(VELLUMAR_EXE, VELLUMAR_EXE, static_cast<char*>(nullptr));
        _exit(127);
    }

    std::string window;
    int exitedEarly = -1;
    for (int i = 0; i < 600 && window.empty(); ++i) {
        window = Shell("xdotool search --name '^Vellumar$' 2>/dev/null | head -n1");
        if (!window.empty()) break;
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            exitedEarly = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (window.empty() && exitedEarly == -1) kill(child, SIGKILL), waitpid(child, nullptr, 0);
    ASSERT_FALSE(window.empty()) << "no window titled Vellumar; the editor "
                                 << (exitedEarly == -1 ? std::string("was still running")
                                                       : "ended with code " + std::to_string(exitedEarly))
                                 << "; it said:\n"
                                 << TempDir::Read(folder.Path() / "editor.log");
    EXPECT_EQ(Shell("xdotool getwindowname " + window), "Vellumar");
    EXPECT_EQ(Shell("xwininfo -id " + window + " | awk '/Width:/ {print $2}'"), "1280");
    EXPECT_EQ(Shell("xwininfo -id " + window + " | awk '/Height:/ {print $2}'"), "720");

    std::this_thread::sleep_for(std::chrono::seconds(1));  // a few frames
    Shell("xdotool windowfocus --sync " + window + " key Escape");
    int code = WaitForExit(child, 60);
    if (code == -1) kill(child, SIGKILL), waitpid(child, nullptr, 0);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "imgui.ini")) << "the GUI keeps its settings in the working folder";
}

}  // namespace
