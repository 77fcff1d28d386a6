// The platform without a window: a virtual millisecond clock, a scripted message queue, scripted keyboard
// and mouse, captured warning boxes and a recording graphics device. Tests drive the whole editor on it.
#pragma once

#include <deque>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/recording_device.h"
#include "platform/platform.h"

class CHeadlessPlatform : public IPlatform {
public:
    struct MessageBoxRecord {
        HWND owner;
        std::string text;
        std::string caption;
        UINT type;
    };

    CHeadlessPlatform();
    ~CHeadlessPlatform() override;

    HWND GetWindow() override { return failWindow ? nullptr : reinterpret_cast<HWND>(&windowTag_); }
    void ShowWindow() override { windowShown = true; }
    std::string GetLastError() override { return lastError_; }
    DWORD TimeGetTime() override { return now_; }
    bool PeekMessage(PlatformMessage& message) override;
    void WaitMessage(DWORD timeoutMs) override;
    void PostQuitMessage(int exitCode) override;
    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override;
    void ShowCursor(bool show) override { cursorShown = show; }
    bool GetCursorClientPos(LONG& x, LONG& y) override;
    IDirect3D9* Direct3DCreate9(UINT sdkVersion) override;
    HRESULT DirectInput8Create(DWORD version, IDirectInput8A** input) override;
    bool GuiInit(IDirect3DDevice9* device) override;
    void GuiNewFrame() override;
    void GuiRenderDrawData(ImDrawData* drawData) override {
        if (CRecordingDevice* device = Device()) device->RenderGui(drawData);
    }
    bool GuiProcessMessage(const PlatformMessage&) override { return false; }
    void GuiShutdown() override;
    void GuiInvalidateDeviceObjects() override;
    void GuiCreateDeviceObjects() override;

    // ---- scripting, for tests ----
    void SetTime(DWORD ms) { now_ = ms; }
    void Advance(DWORD ms) { now_ += ms; }
    // Queues a message that becomes visible at the given virtual time (now when omitted).
    void PostAt(DWORD time, PlatformMessage message) { queue_.push_back({time, message}); }
    void Post(PlatformMessage message) { PostAt(now_, message); }
    void PostKeyDown(BYTE key);
    // True while a queued message is due (visible to PeekMessage).
    bool HasDueMessage() const {
        for (const Scheduled& s : queue_)
            if (Due(s.time)) return true;
        return false;
    }
    void PostClose();

    // Keyboard: the 256 DirectInput key bytes (bit 7 = held).
    void SetKey(BYTE key, bool down) { keys_[key] = down ? 0x80 : 0; }
    void ReleaseAllKeys() { keys_.fill(0); }
    // Mouse: movement and wheel accumulate until the next read; buttons are held states.
    void MoveMouse(LONG dx, LONG dy) { mouse_.lX += dx, mouse_.lY += dy; }
    void TurnWheel(LONG units) { mouse_.lZ += units; }
    void SetMouseButton(int button, bool down) { mouse_.rgbButtons[button] = down ? 0x80 : 0; }
    void SetCursor(LONG x, LONG y) { cursorX_ = x, cursorY_ = y; }
    // Text typed into the GUI's focused field on the next frame.
    void TypeText(const std::string& utf8) { pendingText_ += utf8; }
    // While false the input devices fail their reads, as a window in the background does.
    bool foreground = true;

    // Failure injection.
    bool failWindow = false;
    bool failDirect3D = false;
    bool failDisplayMode = false;
    bool failDirectInput = false;
    std::set<InputDeviceKind> failInputDevices;
    std::set<std::pair<DWORD, DWORD>> refusedDevices;  // (device type, behaviour flags)

    // Observations.
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<DWORD> waits;  // every WaitMessage timeout, in order
    bool windowShown = false;
    bool cursorShown = false;
    bool guiInitialised = false;
    bool deviceAliveAtGuiShutdown = false;
    CRecordingDirect3D9* direct3D = nullptr;  // last one created; not owned
    CRecordingDevice* Device() const { return direct3D ? direct3D->lastDevice : nullptr; }

    // Read by the headless input devices.
    bool ReadKeys(BYTE out[256]);
    bool ReadMouse(DIMOUSESTATE2& out);

private:
    struct Scheduled {
        DWORD time;
        PlatformMessage message;
    };
    bool Due(DWORD time) const { return static_cast<std::int32_t>(now_ - time) >= 0; }

    char windowTag_ = 0;
    DWORD now_ = 1000;
    std::deque<Scheduled> queue_;
    std::array<BYTE, 256> keys_{};
    DIMOUSESTATE2 mouse_{};
    LONG cursorX_ = 0, cursorY_ = 0;
    std::string pendingText_;
    std::string lastError_;
    std::shared_ptr<const bool> guiDeviceAlive_;
    bool guiDeviceObjects_ = false;  // the GUI holds default-pool objects of the device, as its DX9 backend does
};
