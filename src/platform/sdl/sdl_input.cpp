#include "platform/sdl/sdl_input.h"

#include <cmath>

#include "platform/sdl/sdl_keymap.h"

namespace {

constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005u);
constexpr LONG kWheelDelta = 120;

// DirectInput's button order (left, right, middle, then the extra buttons) in SDL's numbering.
constexpr int kSdlButtons[8] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1,
                                SDL_BUTTON_X2, 6, 7, 8};

}  // namespace

void CSdlInputState::Track(const SDL_Event& event) {
    if (event.type == SDL_MOUSEMOTION) {
        dx_ += event.motion.xrel;
        dy_ += event.motion.yrel;
    } else if (event.type == SDL_MOUSEWHEEL) {
        float notches = event.wheel.preciseY;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        wheel_ += notches * kWheelDelta;  // away from the user is positive, as DirectInput counts
    }
}

bool CSdlInputState::HasFocus() const {
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void CSdlInputState::ReadKeys(BYTE out[256]) const {
    int count = 0;
    const Uint8* held = SDL_GetKeyboardState(&count);
    for (int k = 0; k < 256; ++k) out[k] = 0;
    for (int s = 0; s < count; ++s) {
        if (!held[s]) continue;
        BYTE dik = DikFromScancode(static_cast<SDL_Scancode>(s));
        if (dik) out[dik] = 0x80;
    }
}

void CSdlInputState::ReadMouse(DIMOUSESTATE2& out) {
    out.lX = dx_;
    out.lY = dy_;
    out.lZ = static_cast<LONG>(std::lround(wheel_));
    wheel_ -= static_cast<float>(out.lZ);
    dx_ = dy_ = 0;
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    for (int b = 0; b < 8; ++b) out.rgbButtons[b] = (buttons & SDL_BUTTON(kSdlButtons[b])) ? 0x80 : 0;
}

void CSdlInputState::ResetMovement() {
    dx_ = dy_ = 0;
    wheel_ = 0.0f;
}

HRESULT CSdlInputDevice::SetDataFormat(const DIDATAFORMAT* format) {
    const DWORD expected = kind_ == InputDeviceKind::Keyboard ? 256 : sizeof(DIMOUSESTATE2);
    if (!format || format->dwDataSize != expected) return E_INVALIDARG;
    formatSet_ = true;
    return S_OK;
}

HRESULT CSdlInputDevice::SetCooperativeLevel(HWND window, DWORD) { return window ? S_OK : E_INVALIDARG; }

HRESULT CSdlInputDevice::Acquire() {
    if (!formatSet_) return E_INVALIDARG;
    if (!state_->HasFocus()) return DIERR_OTHERAPPHASPRIO;
    if (!acquired_ && kind_ == InputDeviceKind::Mouse) state_->ResetMovement();
    acquired_ = true;
    return S_OK;
}

HRESULT CSdlInputDevice::Unacquire() {
    acquired_ = false;
    return S_OK;
}

HRESULT CSdlInputDevice::GetDeviceState(DWORD size, void* data) {
    if (!data) return E_INVALIDARG;
    const DWORD expected = kind_ == InputDeviceKind::Keyboard ? 256 : sizeof(DIMOUSESTATE2);
    if (size != expected) return E_INVALIDARG;
    if (!acquired_) return DIERR_NOTACQUIRED;
    if (!state_->HasFocus()) {
        acquired_ = false;  // the window went to the background; the caller acquires again
        return DIERR_INPUTLOST;
    }
    if (kind_ == InputDeviceKind::Keyboard)
        state_->ReadKeys(static_cast<BYTE*>(data));
    else
        state_->ReadMouse(*static_cast<DIMOUSESTATE2*>(data));
    return S_OK;
}

HRESULT CSdlDirectInput::CreateDevice(REFGUID guid, IDirectInputDevice8A** device, IUnknown* outer) {
    if (!device) return E_INVALIDARG;
    *device = nullptr;
    InputDeviceKind kind{};
    if (outer || !InputDeviceKindOf(guid, kind)) return E_INVALIDARG;
    *device = new CSdlInputDevice(state_, kind);
    return S_OK;
}
