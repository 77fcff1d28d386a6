// The editor left alone on the sample stage rests: it draws nothing and spends next to no processor time,
// and a key pressed then still shows in the next picture of the window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/temp_dir.h"
#include "x_tools.h"

namespace {

// The processor time the process has used so far (user and system), in clock ticks.
long CpuTicks(pid_t process) {
    std::ifstream file("/proc/" + std::to_string(process) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::size_t nameEnd = stat.rfind(')');  // the program's name may hold blanks
    if (nameEnd == std::string::npos) return -1;
    std::istringstream fields(stat.substr(nameEnd + 2));
    std::string field;
    long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) user = std::stol(field);
        if (i == 15) system = std::stol(field);
    }
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
    const long after = CpuTicks(editor);
    ASSERT_GE(before, 0);
    const double share = static_cast<double>(after - before) / (10.0 * static_cast<double>(sysconf(_SC_CLK_TCK)));
    EXPECT_LE(share, 0.03) << "the editor used " << share * 100 << " % of a core while left alone";

    // F2 (wireframe) held a moment, then one picture.
    Shell("xdotool keydown F2");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    shots.Take("pressed");
    Shell("xdotool keyup F2");
    EXPECT_GT(shots.Differ("rested", "pressed", view), 200) << "F2 did not show in the next picture";

    Shell("xdotool key Escape");
    EXPECT_EQ(WaitForExit(editor, 60), 0) << TempDir::Read(folder.Path() / "editor.log");
}

}  // namespace
