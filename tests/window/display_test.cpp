// Without a reachable display the window is refused and the editor says so and ends, instead of running
// unseen on SDL's offscreen driver; a driver asked for through SDL_VIDEODRIVER is still used.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/sdl/sdl_platform.h"
#include "support/temp_dir.h"
#include "x_tools.h"

namespace {

// Sets or removes an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A display number no X server on this machine serves.
std::string UnservedDisplay() {
    for (int n = 271;; ++n) {
        const std::string x = std::to_string(n);
        if (!std::filesystem::exists("/tmp/.X11-unix/X" + x) && !std::filesystem::exists("/tmp/.X" + x + "-lock"))
            return ":" + x;
    }
}

TEST(NoDisplay, TheWindowIsRefusedWithTheReasonUnlessADriverWasAskedFor) {
    ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt), driver("SDL_VIDEODRIVER", std::nullopt);
    {
        ScopedEnv display("DISPLAY", std::nullopt);
        CSdlPlatform platform;
        EXPECT_EQ(platform.GetWindow(), nullptr);
        EXPECT_NE(platform.GetLastError().find("DISPLAY is not set"), std::string::npos) << platform.GetLastError();
    }
    {
        const std::string unserved = UnservedDisplay();
        ScopedEnv display("DISPLAY", unserved);
        CSdlPlatform platform;
        EXPECT_EQ(platform.GetWindow(), nullptr);
        EXPECT_NE(platform.GetLastError().find("\"" + unserved + "\" cannot be opened"), std::string::npos)
            << platform.GetLastError();
    }
    {
        ScopedEnv display("DISPLAY", std::nullopt), asked("SDL_VIDEODRIVER", "offscreen");
        CSdlPlatform platform;
        EXPECT_NE(platform.GetWindow(), nullptr) << platform.GetLastError();
    }
    CSdlPlatform onTheServer;
    EXPECT_NE(onTheServer.GetWindow(), nullptr) << onTheServer.GetLastError();
}

TEST(NoDisplay, TheEditorSaysSoOnStderrAndEndsWithCodeOne) {
    TempDir folder;
    // The timeout only matters if the editor wrongly keeps running unseen.
    const std::string output = Shell("cd '" + folder.Path().string() +
                                     "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                                     "ASAN_OPTIONS=detect_leaks=0 timeout 60 " VELLUMAR_EXE
                                     " 2>&1 >/dev/null; echo \"exit $?\"");
    EXPECT_NE(output.find("Vellumar: cannot create the main window: no display to open the window on: DISPLAY is "
                          "not set"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("exit 1"), std::string::npos) << output;
}

}  // namespace
