#include "x_tools.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <dlfcn.h>

#include <cstdio>

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

std::string XWindowId(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return "";
    return std::to_string(static_cast<unsigned long>(info.info.x11.window));
}
