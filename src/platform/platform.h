// The seam between the editor and the operating system: window, messages, clock, warning box, cursor,
// and the factories of the graphics and input devices. The real implementation runs on SDL2 and OpenGL;
// the headless one runs tests frame by frame.
#pragma once

#include <cstdint>
#include <string>

#include "d3d/d3d9.h"
#include "d3d/dinput.h"
#include "platform/file_dialog.h"

struct ImDrawData;

// One window message, reduced to what the frame loop and the GUI need.
struct PlatformMessage {
    enum class Kind {
        Quit,      // the program is to end; exitCode holds its code
        Close,     // the user closed the window (the close box)
        KeyDown,   // a key went down; key holds its DirectInput code
        Other,     // anything else (mouse, text, resize, focus); offered to the GUI only
    };
    Kind kind = Kind::Other;
    int exitCode = 0;
    BYTE key = 0;
    const void* native = nullptr;  // the platform's own event record, for the GUI backend
};

#ifndef _WIN32
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_ICONWARNING = 0x30;
#endif

class IPlatform {
public:
    virtual ~IPlatform() = default;

    // The main window (titled "Vellumar", client area 1280 x 720); null when it could not be created.
    virtual HWND GetWindow() = 0;
    virtual void ShowWindow() = 0;
    // The reason the last failed creation (window, device, input) gave, for the start-up message.
    virtual std::string GetLastError() = 0;

    // Milliseconds, 32-bit, wrapping.
    virtual DWORD TimeGetTime() = 0;

    // Takes the next waiting message; false when none is waiting.
    virtual bool PeekMessage(PlatformMessage& message) = 0;
    // Blocks until a message is waiting or timeoutMs have passed, whichever is first.
    virtual void WaitMessage(DWORD timeoutMs) = 0;
    // Queues the Quit message with the given code (as PostQuitMessage does).
    virtual void PostQuitMessage(int exitCode) = 0;

    // A modal message box owned by `owner`; returns the button pressed.
    virtual int MessageBox(HWND owner, const char* text, const char* caption, UINT type) = 0;
    virtual void ShowCursor(bool show) = 0;
    // The system cursor in the main window's client coordinates, in back-buffer pixels.
    virtual bool GetCursorClientPos(LONG& x, LONG& y) = 0;

    // Device factories; null or a negative result on failure.
    virtual IDirect3D9* Direct3DCreate9(UINT sdkVersion) = 0;
    virtual HRESULT DirectInput8Create(DWORD version, IDirectInput8A** input) = 0;

    // The GUI library's platform and renderer backends.
    virtual bool GuiInit(IDirect3DDevice9* device) = 0;
    virtual void GuiNewFrame() = 0;
    // Draws the GUI's draw lists over the scene, inside the scene the renderer has begun.
    virtual void GuiRenderDrawData(ImDrawData* drawData) = 0;
    // Offers a message to the GUI first; true when the GUI claimed it and nothing else may act on it.
    virtual bool GuiProcessMessage(const PlatformMessage& message) = 0;
    virtual void GuiShutdown() = 0;
    // Around a device reset: the GUI's device objects go before it and are made again after it.
    virtual void GuiInvalidateDeviceObjects() {}
    virtual void GuiCreateDeviceObjects() {}
    // What the GUI's images name a texture of the device by (its renderer backend's texture id).
    virtual void* GuiTexture(IDirect3DTexture9* texture) { return texture; }

    // The system's own file dialog, where the platform has one; null (the default) lets the editor draw
    // its own. The caller owns the result.
    virtual IFileDialog* CreateFileDialog() { return nullptr; }
};
