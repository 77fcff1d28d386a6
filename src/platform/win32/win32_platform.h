// The platform of the Windows program: the window class "AppClass" and the main window "Vellumar" with a
// 1280 x 720 client area, the message queue, timeGetTime at 1 ms resolution, MessageBoxA, the system
// cursor, Direct3D 9, DirectInput 8, and Dear ImGui on its Win32 and Direct3D 9 backends.
//
// The window procedure stays thin: it offers every message to the GUI first and hands the close box to
// the frame loop as a Close message, so Escape and the close box take the same road as on every platform.
// Like the other platforms, the back buffer keeps its 1280 x 720 pixels when the window is resized and is
// shown stretched over the client area; cursor positions are reported in back-buffer pixels.
#pragma once

#include <deque>
#include <string>

#include "platform/mouse_button_queue.h"
#include "platform/platform.h"
#include "base/win32/win_text.h"

class CWin32Platform : public IPlatform {
public:
    // Hidden: the window is never shown and warning boxes are not shown (vellumar-tool, which only needs
    // a device to load meshes with).
    enum class Mode { Window, Hidden };

    // Registers the window class and creates the main window, not yet shown; GetWindow is null when that
    // failed, and GetLastError says why.
    CWin32Platform(HINSTANCE instance, int showCommand, Mode mode = Mode::Window);
    ~CWin32Platform() override;
    CWin32Platform(const CWin32Platform&) = delete;
    CWin32Platform& operator=(const CWin32Platform&) = delete;

    HWND GetWindow() override { return window_; }
    void ShowWindow() override;
    std::string GetLastError() override { return lastError_; }
    DWORD TimeGetTime() override;
    bool PeekMessage(PlatformMessage& message) override;
    void WaitMessage(DWORD timeoutMs) override;
    void PostQuitMessage(int exitCode) override;
    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override;
    void ShowCursor(bool show) override;
    bool GetCursorClientPos(LONG& x, LONG& y) override;
    IDirect3D9* Direct3DCreate9(UINT sdkVersion) override;
    HRESULT DirectInput8Create(DWORD version, IDirectInput8A** input) override;
    bool GuiInit(IDirect3DDevice9* device) override;
    void GuiNewFrame() override;
    void GuiRenderDrawData(ImDrawData* drawData) override;
    bool GuiProcessMessage(const PlatformMessage& message) override;
    void GuiShutdown() override;
    void GuiInvalidateDeviceObjects() override;
    // The system's file dialog (Mode::Window only).
    IFileDialog* CreateFileDialog() override;
    // Takes `ms` out of TimeGetTime from now on: time the frame spent blocked in a system dialog.
    void LeaveOutOfClock(DWORD ms) { leftOut_ += ms; }
    void GuiCreateDeviceObjects() override;

    static constexpr const char* kClassName = "AppClass";

private:
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Takes a mouse button message for the GUI's next frames; false for any other message.
    bool QueueMouseButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Fail(const char* what);

    HINSTANCE instance_;
    int showCommand_;
    Mode mode_;
    bool classRegistered_ = false;
    bool timerPeriod_ = false;
    DWORD leftOut_ = 0;
    HWND window_ = nullptr;
    std::deque<PlatformMessage> sent_;  // what the window procedure was sent (the close box), not yet handed out
    bool guiClaimed_ = false;           // the GUI's handler took the message dispatched last
    CMouseButtonQueue mouseButtons_;    // presses and releases the GUI has not yet seen
    unsigned buttonsHeld_ = 0;          // the buttons the window's messages say are down, one bit each
    bool guiPlatform_ = false;
    bool guiRenderer_ = false;
    std::string lastError_;
};

// The DirectInput key code of a WM_KEYDOWN / WM_SYSKEYDOWN message: its scan code, plus 0x80 for an
// extended key. A message without a scan code (posted by a program) is mapped from its virtual key.
BYTE DikFromKeyMessage(WPARAM virtualKey, LPARAM lParam);
