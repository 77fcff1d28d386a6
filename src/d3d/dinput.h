// The DirectInput 8 names the input code uses: key codes, the mouse state record, and the two interfaces.
// On Windows they are the SDK's own.
#pragma once

#ifdef _WIN32
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include "d3d/win_types.h"
#include <dinput.h>
#else

#include <cstdint>

#include "d3d/win_types.h"

// PC set-1 scan codes, as DirectInput numbers keys.
enum : BYTE {
    DIK_ESCAPE = 0x01,
    DIK_1 = 0x02, DIK_2 = 0x03, DIK_3 = 0x04, DIK_4 = 0x05, DIK_5 = 0x06,
    DIK_6 = 0x07, DIK_7 = 0x08, DIK_8 = 0x09, DIK_9 = 0x0A, DIK_0 = 0x0B,
    DIK_MINUS = 0x0C, DIK_EQUALS = 0x0D, DIK_BACK = 0x0E, DIK_TAB = 0x0F,
    DIK_Q = 0x10, DIK_W = 0x11, DIK_E = 0x12, DIK_R = 0x13, DIK_T = 0x14, DIK_Y = 0x15,
    DIK_U = 0x16, DIK_I = 0x17, DIK_O = 0x18, DIK_P = 0x19, DIK_LBRACKET = 0x1A, DIK_RBRACKET = 0x1B,
    DIK_RETURN = 0x1C, DIK_LCONTROL = 0x1D,
    DIK_A = 0x1E, DIK_S = 0x1F, DIK_D = 0x20, DIK_F = 0x21, DIK_G = 0x22, DIK_H = 0x23,
    DIK_J = 0x24, DIK_K = 0x25, DIK_L = 0x26, DIK_SEMICOLON = 0x27, DIK_APOSTROPHE = 0x28, DIK_GRAVE = 0x29,
    DIK_LSHIFT = 0x2A, DIK_BACKSLASH = 0x2B,
    DIK_Z = 0x2C, DIK_X = 0x2D, DIK_C = 0x2E, DIK_V = 0x2F, DIK_B = 0x30, DIK_N = 0x31, DIK_M = 0x32,
    DIK_COMMA = 0x33, DIK_PERIOD = 0x34, DIK_SLASH = 0x35, DIK_RSHIFT = 0x36, DIK_MULTIPLY = 0x37,
    DIK_LMENU = 0x38, DIK_SPACE = 0x39, DIK_CAPITAL = 0x3A,
    DIK_F1 = 0x3B, DIK_F2 = 0x3C, DIK_F3 = 0x3D, DIK_F4 = 0x3E, DIK_F5 = 0x3F, DIK_F6 = 0x40,
    DIK_F7 = 0x41, DIK_F8 = 0x42, DIK_F9 = 0x43, DIK_F10 = 0x44, DIK_NUMLOCK = 0x45, DIK_SCROLL = 0x46,
    DIK_NUMPAD7 = 0x47, DIK_NUMPAD8 = 0x48, DIK_NUMPAD9 = 0x49, DIK_SUBTRACT = 0x4A,
    DIK_NUMPAD4 = 0x4B, DIK_NUMPAD5 = 0x4C, DIK_NUMPAD6 = 0x4D, DIK_ADD = 0x4E,
    DIK_NUMPAD1 = 0x4F, DIK_NUMPAD2 = 0x50, DIK_NUMPAD3 = 0x51, DIK_NUMPAD0 = 0x52, DIK_DECIMAL = 0x53,
    DIK_F11 = 0x57, DIK_F12 = 0x58,
    DIK_NUMPADENTER = 0x9C, DIK_RCONTROL = 0x9D, DIK_DIVIDE = 0xB5, DIK_RMENU = 0xB8,
    DIK_HOME = 0xC7, DIK_UP = 0xC8, DIK_PRIOR = 0xC9, DIK_LEFT = 0xCB, DIK_RIGHT = 0xCD,
    DIK_END = 0xCF, DIK_DOWN = 0xD0, DIK_NEXT = 0xD1, DIK_INSERT = 0xD2, DIK_DELETE = 0xD3,
    DIK_LWIN = 0xDB, DIK_RWIN = 0xDC, DIK_APPS = 0xDD,
};

struct DIMOUSESTATE2 {
    LONG lX;
    LONG lY;
    LONG lZ;  // wheel, 120 per notch
    BYTE rgbButtons[8];
};
static_assert(sizeof(DIMOUSESTATE2) == 20);

constexpr DWORD DISCL_EXCLUSIVE = 1;
constexpr DWORD DISCL_NONEXCLUSIVE = 2;
constexpr DWORD DISCL_FOREGROUND = 4;
constexpr DWORD DISCL_BACKGROUND = 8;
constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

// Devices are named by GUID, as DirectInput names them.
struct GUID {
    DWORD Data1;
    std::uint16_t Data2, Data3;
    BYTE Data4[8];
};
using REFGUID = const GUID&;
constexpr bool operator==(const GUID& a, const GUID& b) {
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3;
}
inline constexpr GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0, 0}};
inline constexpr GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0, 0}};

// The two data formats the input code sets: what matters to our devices is the size of a read.
struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
    const void* rgodf;
};
constexpr DWORD DIDF_RELAXIS = 2;
inline constexpr DIDATAFORMAT c_dfDIKeyboard = {24, 24, DIDF_RELAXIS, 256, 0, nullptr};
inline constexpr DIDATAFORMAT c_dfDIMouse2 = {24, 24, DIDF_RELAXIS, sizeof(DIMOUSESTATE2), 0, nullptr};

struct IDirectInputDevice8A : IUnknown {
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    // Fails (negative) while the window is not in front; the caller acquires again.
    virtual HRESULT GetDeviceState(DWORD size, void* data) = 0;
};

struct IDirectInput8A : IUnknown {
    // GUID_SysKeyboard or GUID_SysMouse; `outer` must be null.
    virtual HRESULT CreateDevice(REFGUID device, IDirectInputDevice8A** created, IUnknown* outer) = 0;
};

// Which of the two system devices a GUID names, for our implementations; false for any other GUID.
enum class InputDeviceKind { Keyboard, Mouse };
constexpr bool InputDeviceKindOf(REFGUID device, InputDeviceKind& kind) {
    if (device == GUID_SysKeyboard) return kind = InputDeviceKind::Keyboard, true;
    if (device == GUID_SysMouse) return kind = InputDeviceKind::Mouse, true;
    return false;
}

#endif  // _WIN32
