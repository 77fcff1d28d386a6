// What the X tools cannot see of a window under Wine: its Win32 class and client size, and a way to send
// it WM_CLOSE as the close box does. window_probe.exe TITLE prints "class NAME" and "client WxH";
// window_probe.exe --close TITLE posts WM_CLOSE. Exit code 1 when no top-level window has that title.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const bool close = argc == 3 && std::strcmp(argv[1], "--close") == 0;
    if (argc != 2 && !close) {
        std::fprintf(stderr, "usage: window_probe [--close] TITLE\n");
        return 2;
    }
    HWND window = FindWindowA(nullptr, argv[argc - 1]);
    if (!window) {
        std::fprintf(stderr, "window_probe: no window titled \"%s\"\n", argv[argc - 1]);
        return 1;
    }
    if (close) return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    char name[256] = {};
    RECT client{};
    if (!GetClassNameA(window, name, sizeof(name)) || !GetClientRect(window, &client)) return 1;
    std::printf("class %s\nclient %ldx%ld\n", name, client.right - client.left, client.bottom - client.top);
    return 0;
}
