// Keyboard and mouse on SDL, behind the DirectInput interfaces: the 256 key bytes, the mouse's movement
// and wheel since the last read and its eight buttons. Like foreground, non-exclusive DirectInput devices
// they read only while the main window has the input focus, and must be acquired again after losing it.
#pragma once

#include <SDL.h>

#include "d3d/dinput.h"

// What the devices read. The platform's message pump feeds it every event it takes.
class CSdlInputState {
public:
    explicit CSdlInputState(SDL_Window* window) : window_(window) {}

    // Adds up mouse movement and wheel turns.
    void Track(const SDL_Event& event);
    bool HasFocus() const;
    void ReadKeys(BYTE out[256]) const;
    // Movement and wheel since the last read (120 per wheel notch) and the held buttons.
    void ReadMouse(DIMOUSESTATE2& out);
    // Forgets the movement gathered so far (a newly acquired mouse starts from rest).
    void ResetMovement();

private:
    SDL_Window* window_;
    LONG dx_ = 0, dy_ = 0;
    float wheel_ = 0.0f;  // in DirectInput units; high-resolution wheels give fractions of a notch
};

class CSdlInputDevice : public RefCounted<IDirectInputDevice8A> {
public:
    CSdlInputDevice(CSdlInputState* state, InputDeviceKind kind) : state_(state), kind_(kind) {}

    HRESULT SetDataFormat(const DIDATAFORMAT* format) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    // Fails while the window does not have the input focus.
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT GetDeviceState(DWORD size, void* data) override;

private:
    CSdlInputState* state_;
    InputDeviceKind kind_;
    bool formatSet_ = false;
    bool acquired_ = false;
};

class CSdlDirectInput : public RefCounted<IDirectInput8A> {
public:
    explicit CSdlDirectInput(CSdlInputState* state) : state_(state) {}
    HRESULT CreateDevice(REFGUID guid, IDirectInputDevice8A** device, IUnknown* outer) override;

private:
    CSdlInputState* state_;
};
