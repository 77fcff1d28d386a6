#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/application.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_platform.h"

// The editor in its window, on the stage file FILE when one is given. `vellumar --headless [FRAMES]
// [FILE]` runs it without a window instead, for about FRAMES frames (default 180) of virtual time, as a
// smoke test where no display is available.
int main(int argc, char** argv) {
    const char* const usage = "usage: vellumar [--headless [FRAMES]] [FILE]\n";
    int next = 1;
    bool headless = false;
    unsigned frames = 180;
    if (next < argc && std::strcmp(argv[next], "--headless") == 0) {
        headless = true;
        ++next;
        if (next < argc) {
            const char* end = argv[next] + std::strlen(argv[next]);
            auto [last, error] = std::from_chars(argv[next], end, frames);
            if (error == std::errc() && last == end)
                ++next;
            else
                frames = 180;  // not a number: the stage file
        }
    }
    std::string stageFile;
    if (next < argc) stageFile = argv[next++];
    if (next < argc || (!stageFile.empty() && stageFile[0] == '-')) {
        std::fprintf(stderr, "%s", usage);
        return 2;
    }
    if (headless) {
        CHeadlessPlatform platform;
        platform.PostAt(platform.TimeGetTime() + frames * CFrameLoop::kFrameInterval,
                        PlatformMessage{PlatformMessage::Kind::Close});
        return RunEditor(platform, stageFile);
    }
    CSdlPlatform platform;
    return RunEditor(platform, stageFile);
}
