// The handful of Windows scalar types and result codes that the editor's interfaces are written in.
// On Windows they are the SDK's own.
#pragma once

#include <cstdint>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The platform interface has members of these names; the A forms are called by name where needed.
#undef MessageBox
#undef PeekMessage
#undef ReplaceFile
#else

using DWORD = std::uint32_t;
using UINT = unsigned int;
using ULONG = std::uint32_t;
using BOOL = int;
using BYTE = std::uint8_t;
using LONG = std::int32_t;
using INT = int;
using HANDLE = void*;
using HRESULT = std::int32_t;

// The main window as the editor's code sees it: an opaque handle owned by the platform.
struct WindowHandle;
using HWND = WindowHandle*;

struct RECT {
    LONG left, top, right, bottom;
};

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// Minimal reference-counted interface root, in the shape the graphics and input callers rely on.
struct IUnknown {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// Implements AddRef/Release for a concrete class; the object deletes itself at zero references.
template <class Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG refs_ = 1;
};

#endif  // _WIN32

// Releases a COM-style pointer if set and clears it.
template <class T>
void SafeRelease(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}
