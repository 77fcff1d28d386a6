// The Windows program: the editor in its window on Win32 and Direct3D 9, with the Linux program's command
// line (`vellumar.exe [--picture OUT.png [--select INDEX]] [FILE]`; there is no headless run).
#include <cstdio>
#include <string>
#include <vector>

#include "app/application.h"
#include "base/system_names.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    CWin32Platform platform(instance, showCommand);
    // Said where a console shows it and in a box where none does.
    auto report = [&](const std::string& text) {
        std::fprintf(stderr, "%s\n", text.c_str());
        platform.MessageBox(platform.GetWindow(), text.c_str(), "Vellumar", MB_OK | MB_ICONERROR);
    };
    const std::vector<std::string> words = CommandLineUtf8();
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    EditorArguments arguments;
    if (!ParseEditorArguments(static_cast<int>(argv.size()), argv.data(), arguments) || arguments.headless) {
        std::string usage = kEditorUsage;
        usage.pop_back();  // the line end
        report(usage);
        return 2;
    }
    return RunEditor(platform, arguments.stageFile, report, arguments.picture);
}
