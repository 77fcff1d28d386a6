#include <charconv>
#include <cstdio>
#include <cstring>

#include "app/application.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_platform.h"

// The editor in its window. `vellumar --headless [FRAMES]` runs it without a window instead, for about
// FRAMES frames (default 180) of virtual time, as a smoke test where no display is available.
int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--headless") == 0) {
        unsigned frames = 180;
        if (argc >= 3) {
            const char* end = argv[2] + std::strlen(argv[2]);
            auto [last, error] = std::from_chars(argv[2], end, frames);
            if (error != std::errc() || last != end) {
                std::fprintf(stderr, "usage: vellumar [--headless [FRAMES]]\n");
                return 2;
            }
        }
        CHeadlessPlatform platform;
        platform.PostAt(platform.TimeGetTime() + frames * CFrameLoop::kFrameInterval,
                        PlatformMessage{PlatformMessage::Kind::Close});
        return RunEditor(platform);
    }
    CSdlPlatform platform;
    return RunEditor(platform);
}
