// The Windows program: the editor in its window on Win32 and Direct3D 9, on the stage file given on the
// command line (`vellumar.exe [FILE]`) when there is one.
#include <cstdio>
#include <string>

#include "app/application.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win_text.h"

#include <shellapi.h>  // after windows.h, which it needs

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    CWin32Platform platform(instance, showCommand);
    // Said where a console shows it and in a box where none does.
    auto report = [&](const std::string& text) {
        std::fprintf(stderr, "%s\n", text.c_str());
        platform.MessageBox(platform.GetWindow(), text.c_str(), "Vellumar", MB_OK | MB_ICONERROR);
    };
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::string stageFile;
    if (argv && argc > 1) stageFile = WideToUtf8(argv[1]);
    bool usage = argv && (argc > 2 || (argc == 2 && argv[1][0] == L'-'));
    if (argv) LocalFree(argv);
    if (usage) {
        report("usage: vellumar.exe [FILE]");
        return 2;
    }
    return RunEditor(platform, stageFile, report);
}
