#include <cstdio>

#include "app/application.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_platform.h"

// The editor in its window, on the stage file FILE when one is given. `vellumar --headless [FRAMES]
// [FILE]` runs it without a window instead, for about FRAMES frames (default 180) of virtual time, as a
// smoke test where no display is available. `--picture OUT.png` writes the 3D view to OUT.png and exits.
int main(int argc, char** argv) {
    EditorArguments arguments;
    if (!ParseEditorArguments(argc, argv, arguments)) {
        std::fprintf(stderr, "%s", kEditorUsage);
        return 2;
    }
    if (arguments.headless) {
        CHeadlessPlatform platform;
        platform.PostAt(platform.TimeGetTime() + arguments.headlessFrames * CFrameLoop::kFrameInterval,
                        PlatformMessage{PlatformMessage::Kind::Close});
        return RunEditor(platform, arguments.stageFile, {}, arguments.picture);
    }
    CSdlPlatform platform;
    return RunEditor(platform, arguments.stageFile, {}, arguments.picture);
}
