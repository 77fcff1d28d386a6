// The Windows program: the editor in its window on Win32 and Direct3D 9.
#include <cstdio>
#include <string>

#include "app/application.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    CWin32Platform platform(instance, showCommand);
    std::string error;
    if (!StartEditor(platform, error)) {
        // Said where a console shows it and in a box where none does.
        const std::string text = "Vellumar: " + error;
        std::fprintf(stderr, "%s\n", text.c_str());
        MessageBoxA(platform.GetWindow(), text.c_str(), "Vellumar", MB_OK | MB_ICONERROR);
        return 1;
    }
    int exitCode = CFrameLoop(platform).Run();
    StopEditor();
    return exitCode;
}
