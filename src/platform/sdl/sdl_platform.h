// The platform of the real window, on SDL2: the main window "Vellumar" with a 1280 x 720 client area, the
// message pump, the millisecond clock, the warning box, the cursor, the OpenGL device, the SDL keyboard and
// mouse, and Dear ImGui on its SDL2 and OpenGL3 backends.
//
// The GUI claims a key that goes down while one of its text fields has the keyboard: Escape then leaves
// the field instead of closing the editor, and no other key reaches the editor's own handling.
//
// The back buffer keeps its 1280 x 720 pixels when the window is resized and is shown stretched over the
// whole client area, so the cursor is reported (to the editor and to the GUI) in back-buffer pixels: what
// the user points at is what gets picked or clicked.
#pragma once

#include <SDL.h>

#include <deque>
#include <memory>
#include <string>

#include "platform/back_buffer.h"
#include "platform/mouse_button_queue.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_input.h"

class CGlDevice;

class CSdlPlatform : public IPlatform {
public:
    static constexpr int kBackBufferWidth = ::kBackBufferWidth;
    static constexpr int kBackBufferHeight = ::kBackBufferHeight;

    // Starts SDL's video and creates the main window, hidden; GetWindow is null when that failed, and also
    // when no display can be reached and SDL_VIDEODRIVER names no driver (GetLastError says which).
    CSdlPlatform();
    ~CSdlPlatform() override;
    CSdlPlatform(const CSdlPlatform&) = delete;
    CSdlPlatform& operator=(const CSdlPlatform&) = delete;

    HWND GetWindow() override;
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
    void* GuiTexture(IDirect3DTexture9* texture) override;

    SDL_Window* SdlWindow() const { return window_; }

private:
    // Takes the next event from SDL and lets the input devices see it.
    bool Pull(SDL_Event& event);
    PlatformMessage Translate(const SDL_Event& event);

    bool sdlStarted_ = false;
    SDL_Window* window_ = nullptr;
    std::unique_ptr<CSdlInputState> input_;
    std::deque<PlatformMessage> posted_;  // the Quit message, ahead of any window event
    std::deque<SDL_Event> pending_;       // taken from SDL while waiting, not yet handed out
    SDL_Event current_{};                 // the event behind the last message handed out
    CMouseButtonQueue mouseButtons_;                        // presses and releases the GUI has not yet seen
    bool guiButtons_[CMouseButtonQueue::kButtons] = {};    // the buttons as the GUI has seen them
    // Where the last mouse event put the pointer, in client-area pixels, until it leaves the window.
    bool pointerKnown_ = false;
    float pointerX_ = 0.0f, pointerY_ = 0.0f;
    bool guiPlatform_ = false;
    bool guiRenderer_ = false;
    CGlDevice* guiDevice_ = nullptr;  // the device the GUI draws on; it outlives the GUI
    std::string lastError_;
};
