#include "x_tools.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "support/temp_dir.h"

namespace {

// Keeps the GL libraries and Mesa's software driver loaded to the end of the process. SDL unloads them
// when it quits; the leak checker would then list what they keep for good under an unknown module instead
// of naming them, and lsan.supp could not suppress them.
[[maybe_unused]] const bool kGlLibrariesStay = [] {
    for (const char* library : {"libGL.so.1", "libGLX_mesa.so.0", "libEGL.so.1", "libEGL_mesa.so.0",
                                "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
        dlopen(library, RTLD_LAZY | RTLD_NODELETE);
    return true;
}();

}  // namespace

std::string Shell(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof(buffer), pipe)) output += buffer;
        pclose(pipe);
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return output;
}

void Drag(const std::string& window, std::uint64_t frame, std::uint64_t first, int steps, int fromX, int fromY,
          int toX, int toY) {
    const std::string move = "xdotool mousemove --sync --window " + window + " ";
    const auto at = [&](int step) {
        return move + std::to_string(fromX + (toX - fromX) * step / steps) + " " +
               std::to_string(fromY + (toY - fromY) * step / steps);
    };
    const auto last = first + 3 + static_cast<std::uint64_t>(steps);  // the frame of the last step
    if (frame == first) Shell("xdotool windowfocus --sync " + window + "; " + at(0));
    if (frame == first + 2) Shell("xdotool mousedown 1");
    if (frame >= first + 4 && frame <= last) Shell(at(static_cast<int>(frame - first - 3)));
    if (frame == last + 3) Shell("xdotool mouseup 1");
}

std::string XWindowId(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return "";
    return std::to_string(static_cast<unsigned long>(info.info.x11.window));
}

pid_t StartEditorIn(const std::filesystem::path& folder, const std::vector<std::string>& arguments) {
    pid_t child = fork();
    if (child != 0) return child;
    if (chdir(folder.c_str()) != 0) _exit(126);
    std::string asan = getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "";
    setenv("ASAN_OPTIONS", (asan + (asan.empty() ? "" : ":") + "detect_leaks=0").c_str(), 1);
    FILE* log = std::freopen("editor.log", "a", stderr);
    (void)log;
    std::vector<char*> argv{const_cast<char*>(VELLUMAR_EXE)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(VELLUMAR_EXE, argv.data());
    _exit(127);
}

std::string WaitForEditorWindow() {
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

CWindowShots::CWindowShots(std::string window, std::filesystem::path folder)
    : window_(std::move(window)), folder_(std::move(folder)) {
    if (const char* kept = std::getenv("VELLUMAR_SHOTS")) folder_ = std::filesystem::path(kept) / folder_.filename();
    std::filesystem::create_directories(folder_);
}

std::string CWindowShots::Path(const std::string& name) const { return (folder_ / (name + ".png")).string(); }

void CWindowShots::Take(const std::string& name) const { Shell("import -window " + window_ + " " + Path(name)); }

long CWindowShots::Differ(const std::string& a, const std::string& b, const std::string& area) const {
    const std::string crop = area.empty() ? "" : " -crop " + area;
    const std::string out = Shell("compare -metric AE -fuzz 5%" + crop + " " + Path(a) + " " + Path(b) + " null: 2>&1");
    // A shot that import could not take (the window not drawn yet) compares as nothing.
    if (out.empty() || out[0] < '0' || out[0] > '9') return -1;
    return std::atol(out.c_str());
}

bool CWindowShots::AwaitChange(const std::string& name, const std::string& base, const std::string& area,
                               long pixels) const {
    for (int i = 0; i < 80; ++i) {
        Take(name);
        if (Differ(base, name, area) > pixels) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return false;
}

bool CWindowShots::Settle(const std::string& name, const std::string& area) const {
    Take(name);
    for (int i = 0; i < 40; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        Take(name + ".next");
        const long differ = Differ(name, name + ".next", area);
        if (differ >= 0 && differ < 10) return true;
        std::filesystem::rename(Path(name + ".next"), Path(name));
    }
    return false;
}

void CWindowShots::Click(int x, int y) const {
    Shell("xdotool mousemove --sync --window " + window_ + " " + std::to_string(x) + " " + std::to_string(y) +
          " click 1");
}

bool CWindowShots::Hold(const std::string& keys, const std::string& name, const std::string& base,
                        const std::string& area, long pixels) const {
    Shell("xdotool windowfocus --sync " + window_ + " keydown " + keys);
    const bool changed = AwaitChange(name, base, area, pixels);
    Shell("xdotool keyup " + keys);
    return changed;
}
