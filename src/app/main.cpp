#include <cstdio>

#include "app/application.h"
#include "platform/headless/headless_platform.h"

int main() {
    // Until the real window lands, the editor runs headless for a few seconds of virtual time.
    std::fprintf(stderr, "Vellumar: no window platform in this build; running headless.\n");
    CHeadlessPlatform platform;
    platform.PostAt(platform.TimeGetTime() + 3000, PlatformMessage{PlatformMessage::Kind::Close});
    return RunEditor(platform);
}
