// The editor left alone on the sample stage rests: next to no processor time, and a key pressed then still
// shows in the next picture of the window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"
#include "x_tools.h"

namespace {

// The processor time (user and system) the process has used so far, in clock ticks.
long CpuTicks(pid_t process) {
    std::ifstream file("/proc/" + std::to_string(process) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));  // the program's name may hold blanks
    std::string skip;
    long user = -1, system = -1;
    for (int i = 3; i < 14; ++i) fields >> skip;
    fields >> user >> system;
    return user + system;
}

TEST(IdleWindow, LeftAloneTheEditorRestsAndAKeyStillShowsInTheNextPicture) {
    TempDir folder;
    std::filesystem::create_directory_symlink(SourceDir() / "Data", folder.Path() / "Data");
    const pid_t editor = StartEditorIn(folder.Path(), {"Data/FILE/stage.txt"});
    ASSERT_GT(editor, 0);
    const std::string window = WaitForEditorWindow();
    ASSERT_FALSE(window.empty()) << TempDir::Read(folder.Path() / "editor.log");
    Shell("xdotool windowfocus --sync " + window + " mousemove --window " + window + " 1200 680");
    CWindowShots shots(window, folder.Path() / "shots");
    const std::string view = "700x400+500+250";  // the 3D view right of the GUI's windows
    ASSERT_TRUE(shots.Settle("rested", view));
    std::this_thread::sleep_for(std::chrono::seconds(1));

    const long before = CpuTicks(editor);
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double share = static_cast<double>(CpuTicks(editor) - before) / (10.0 * static_cast<double>(sysconf(_SC_CLK_TCK)));
    EXPECT_LE(share, 0.03) << "the editor used " << share * 100 << " % of a core while left alone";

    Shell("xdotool keydown F2");  // wireframe, held a moment; then one picture
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    shots.Take("pressed");
    Shell("xdotool keyup F2");
    EXPECT_GT(shots.Differ("rested", "pressed", view), 200) << "F2 did not show in the next picture";
    Shell("xdotool key Escape");
    EXPECT_EQ(WaitForExit(editor, 60), 0) << TempDir::Read(folder.Path() / "editor.log");
}

}  // namespace
