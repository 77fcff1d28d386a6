#include "input/input.h"

#include <cstring>

CInput::~CInput() { Uninit(); }

HRESULT CInput::Init(IPlatform* instance, HWND) {
    if (!instance || FAILED(instance->DirectInput8Create(DIRECTINPUT_VERSION, &input_))) return E_FAIL;
    if (kind_ == 0 || kind_ == 1) {
        if (FAILED(input_->CreateDevice(kind_ == 0 ? GUID_SysKeyboard : GUID_SysMouse, &device_, nullptr)))
            return E_FAIL;
    }
    return S_OK;
}

void CInput::Uninit() {
    if (device_) {
        device_->Unacquire();
        SafeRelease(device_);
    }
    SafeRelease(input_);
}

HRESULT CInputKeyboard::Init(IPlatform* instance, HWND window) {
    kind_ = 0;
    if (FAILED(CInput::Init(instance, window))) return E_FAIL;
    if (FAILED(device_->SetDataFormat(&c_dfDIKeyboard))) return E_FAIL;
    if (FAILED(device_->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE))) return E_FAIL;
    device_->Acquire();  // may fail while the window is not in front; Update acquires again
    return S_OK;
}

void CInputKeyboard::Update() {
    if (!device_) return;
    BYTE buffer[256];
    background_ = FAILED(device_->GetDeviceState(sizeof(buffer), buffer));
    if (background_) {
        // In the background: keys stay held as last seen, but no key goes down again every frame.
        std::memset(trigger_, 0, sizeof(trigger_));
        device_->Acquire();
        return;
    }
    for (int k = 0; k < 256; ++k) {
        trigger_[k] = buffer[k] & ~press_[k];
        press_[k] = buffer[k];
    }
}

bool CInputKeyboard::AnyPress() const {
    if (background_) return false;
    for (BYTE key : press_)
        if (key & 0x80) return true;
    return false;
}

HRESULT CInputMouse::Init(IPlatform* instance, HWND window) {
    kind_ = 1;
    platform_ = instance;
    if (FAILED(CInput::Init(instance, window))) return E_FAIL;
    if (FAILED(device_->SetDataFormat(&c_dfDIMouse2))) return E_FAIL;
    if (FAILED(device_->SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE))) return E_FAIL;
    device_->Acquire();
    return S_OK;
}

void CInputMouse::Update() {
    if (!device_) return;
    DIMOUSESTATE2 buffer{};
    background_ = FAILED(device_->GetDeviceState(sizeof(buffer), &buffer));
    if (background_) {
        // In the background: buttons stay held as last seen; no edge and no movement repeats every frame.
        std::memset(trigger_, 0, sizeof(trigger_));
        std::memset(release_, 0, sizeof(release_));
        state_.lX = state_.lY = state_.lZ = 0;
        device_->Acquire();
        return;
    }
    for (int b = 0; b < 8; ++b) {
        trigger_[b] = buffer.rgbButtons[b] & ~state_.rgbButtons[b];
        release_[b] = state_.rgbButtons[b] & ~buffer.rgbButtons[b];
    }
    state_ = buffer;
}

bool CInputMouse::IsActive() const {
    if (background_) return false;
    if (state_.lX != 0 || state_.lY != 0 || state_.lZ != 0) return true;
    for (BYTE button : state_.rgbButtons)
        if (button & 0x80) return true;
    return false;
}

D3DXVECTOR3 CInputMouse::GetCursorClientPos() const {
    LONG x = 0, y = 0;
    if (platform_) platform_->GetCursorClientPos(x, y);
    return D3DXVECTOR3(static_cast<float>(x), static_cast<float>(y), 0.0f);
}
