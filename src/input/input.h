// Keyboard and mouse state, sampled once per frame at the start of the frame.
#pragma once

#include "d3d/d3dx9.h"
#include "d3d/dinput.h"
#include "platform/platform.h"

class CInput {
public:
    CInput() = default;
    virtual ~CInput();
    CInput(const CInput&) = delete;
    CInput& operator=(const CInput&) = delete;

    // `instance` is the platform that supplies the input devices.
    virtual HRESULT Init(IPlatform* instance, HWND window);
    virtual void Uninit();
    virtual void Update() = 0;

protected:
    IDirectInput8A* input_ = nullptr;
    IDirectInputDevice8A* device_ = nullptr;
    int kind_ = -1;  // 0 keyboard, 1 mouse; set by the derived Init before the base creates the device
};

class CInputKeyboard : public CInput {
public:
    ~CInputKeyboard() override = default;
    HRESULT Init(IPlatform* instance, HWND window) override;
    void Update() override;

    bool GetPress(int key) const { return key >= 0 && key < 256 && (press_[key] & 0x80); }
    bool GetTrigger(int key) const { return key >= 0 && key < 256 && (trigger_[key] & 0x80); }
    // True while any key is held (as of the last Update); false in the background, where keys stay as last
    // seen and nothing is read.
    bool AnyPress() const;

private:
    bool background_ = false;  // the last Update could not read the device
    BYTE press_[256] = {};
    BYTE trigger_[256] = {};
};

class CInputMouse : public CInput {
public:
    ~CInputMouse() override = default;
    HRESULT Init(IPlatform* instance, HWND window) override;
    void Update() override;

    bool GetPress(int button) const { return button >= 0 && button < 8 && (state_.rgbButtons[button] & 0x80); }
    bool GetTrigger(int button) const { return button >= 0 && button < 8 && (trigger_[button] & 0x80); }
    bool GetRelease(int button) const { return button >= 0 && button < 8 && (release_[button] & 0x80); }
    // This frame's relative movement: x, y and the wheel (120 per notch).
    const DIMOUSESTATE2& GetMove() const { return state_; }
    // True while a button is held, or when the mouse or its wheel moved in the last Update; false in the
    // background.
    bool IsActive() const;
    // The cursor in the main window's client area, in back-buffer pixels, as (x, y, 0).
    D3DXVECTOR3 GetCursorClientPos() const;

private:
    IPlatform* platform_ = nullptr;
    bool background_ = false;
    DIMOUSESTATE2 state_{};
    BYTE trigger_[8] = {};
    BYTE release_[8] = {};
};
