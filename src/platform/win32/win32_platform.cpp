#include "platform/win32/win32_platform.h"

#include <imgui.h>
#include <imgui_impl_dx9.h>
#include <imgui_impl_win32.h>
#include <mmsystem.h>
#include <windowsx.h>

#include <cfloat>
#include <cstdio>
#include <cstring>

#include "platform/back_buffer.h"
#include "d3d/dinput.h"
#include "platform/win32/win32_file_dialog.h"
#include "base/win32/win_text.h"

// Declared by the backend's header only inside a comment, so that it need not include windows.h.
extern IMGUI_IMPL_API LRESULT ImGui_ImplWin32_WndProcHandler(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

// Keys whose messages carry the extended bit; MapVirtualKey does not always say so for them (Wine's never
// does), and without it the arrows would read as the keypad's.
bool IsExtendedVirtualKey(WPARAM virtualKey) {
    switch (virtualKey) {
        case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT:
        case VK_DOWN: case VK_INSERT: case VK_DELETE: case VK_LWIN: case VK_RWIN: case VK_APPS: case VK_DIVIDE:
        case VK_RCONTROL: case VK_RMENU:
            return true;
        default:
            return false;
    }
}
}  // namespace

BYTE DikFromKeyMessage(WPARAM virtualKey, LPARAM lParam) {
    // Num Lock and Pause share scan code 0x45, and their messages set the extended bit the other way
    // round from DirectInput's codes.
    if (virtualKey == VK_NUMLOCK) return DIK_NUMLOCK;
    if (virtualKey == VK_PAUSE) return DIK_PAUSE;
    UINT scan = (static_cast<UINT>(lParam) >> 16) & 0xFF;
    bool extended = (static_cast<UINT>(lParam) >> 24) & 1;
    if (scan == 0) {
        UINT mapped = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC_EX);
        scan = mapped & 0xFF;
        extended = (mapped & 0xFF00) == 0xE000 || IsExtendedVirtualKey(virtualKey);
    }
    return static_cast<BYTE>(scan | (extended ? 0x80 : 0));
}

CWin32Platform::CWin32Platform(HINSTANCE instance, int showCommand, Mode mode)
    : instance_(instance), showCommand_(showCommand), mode_(mode) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_CLASSDC;
    windowClass.lpfnWndProc = &CWin32Platform::WndProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExA(&windowClass)) {
        Fail("cannot register the window class");
        return;
    }
    classRegistered_ = true;

    RECT rect{0, 0, kBackBufferWidth, kBackBufferHeight};
    AdjustWindowRect(&rect, kWindowStyle, FALSE);
    window_ = CreateWindowExA(0, kClassName, "Vellumar", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance_, this);
    if (!window_) {
        Fail("cannot create the window");
        return;
    }

    // The frame clock counts whole milliseconds.
    timerPeriod_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

CWin32Platform::~CWin32Platform() {
    if (window_) DestroyWindow(window_);
    if (classRegistered_) UnregisterClassA(kClassName, instance_);
    if (timerPeriod_) timeEndPeriod(1);
}

void CWin32Platform::Fail(const char* what) { lastError_ = std::string(what) + ": " + SystemErrorText(::GetLastError()); }

void CWin32Platform::ShowWindow() {
    if (!window_ || mode_ == Mode::Hidden) return;
    ::ShowWindow(window_, showCommand_);
    UpdateWindow(window_);
}

DWORD CWin32Platform::TimeGetTime() { return timeGetTime() - leftOut_; }

IFileDialog* CWin32Platform::CreateFileDialog() {
    return mode_ == Mode::Window ? new CWin32FileDialog(*this) : nullptr;
}

LRESULT CALLBACK CWin32Platform::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* platform = reinterpret_cast<CWin32Platform*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!platform) return DefWindowProcA(window, message, wParam, lParam);
    return platform->HandleMessage(window, message, wParam, lParam);
}

LRESULT CWin32Platform::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (guiPlatform_ && QueueMouseButton(window, message, wParam, lParam)) {
        const bool xButton = message == WM_XBUTTONDOWN || message == WM_XBUTTONUP || message == WM_XBUTTONDBLCLK;
        return xButton ? TRUE : 0;  // what the X button messages must answer when handled
    }
    if (guiPlatform_ && ImGui_ImplWin32_WndProcHandler(window, message, wParam, lParam)) {
        guiClaimed_ = true;
        return 1;
    }
    switch (message) {
        case WM_CLOSE: {
            // The frame loop decides whether the program ends; the window stays until it does.
            PlatformMessage close;
            close.kind = PlatformMessage::Kind::Close;
            sent_.push_back(close);
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CWin32Platform::QueueMouseButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int button = 0;
    bool down = false;
    switch (message) {
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: down = true; [[fallthrough]];
        case WM_LBUTTONUP: button = 0; break;
        case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: down = true; [[fallthrough]];
        case WM_RBUTTONUP: button = 1; break;
        case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: down = true; [[fallthrough]];
        case WM_MBUTTONUP: button = 2; break;
        case WM_XBUTTONDOWN: case WM_XBUTTONDBLCLK: down = true; [[fallthrough]];
        case WM_XBUTTONUP: button = GET_XBUTTON_WPARAM(wParam) == XBUTTON1 ? 3 : 4; break;
        case WM_CAPTURECHANGED:
            // Another window took the mouse while buttons were held: their releases will not come here.
            if (reinterpret_cast<HWND>(lParam) != window && buttonsHeld_ != 0) {
                POINT point{};
                if (::GetCursorPos(&point)) ::ScreenToClient(window, &point);
                for (int held = 0; held < CMouseButtonQueue::kButtons; ++held)
                    if (buttonsHeld_ & (1u << held))
                        mouseButtons_.Push(held, false, static_cast<float>(point.x), static_cast<float>(point.y));
                buttonsHeld_ = 0;
            }
            return false;
        default: return false;
    }
    // The window keeps the mouse while any button is held, so a drag that leaves it still ends in it.
    const unsigned bit = 1u << button;
    if (down) {
        if (buttonsHeld_ == 0 && ::GetCapture() == nullptr) ::SetCapture(window);
        buttonsHeld_ |= bit;
    } else {
        buttonsHeld_ &= ~bit;
        if (buttonsHeld_ == 0 && ::GetCapture() == window) ::ReleaseCapture();
    }
    mouseButtons_.Push(button, down, static_cast<float>(GET_X_LPARAM(lParam)), static_cast<float>(GET_Y_LPARAM(lParam)));
    return true;
}

bool CWin32Platform::PeekMessage(PlatformMessage& message) {
    message = PlatformMessage{};
    guiClaimed_ = false;
    if (!sent_.empty()) {
        message = sent_.front();
        sent_.pop_front();
        return true;
    }
    MSG msg{};
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        message.kind = PlatformMessage::Kind::Quit;
        message.exitCode = static_cast<int>(msg.wParam);
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);  // the window procedure offers it to the GUI
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        message.kind = PlatformMessage::Kind::KeyDown;
        message.key = DikFromKeyMessage(msg.wParam, msg.lParam);
    }
    return true;
}

void CWin32Platform::WaitMessage(DWORD timeoutMs) {
    if (!sent_.empty()) return;
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void CWin32Platform::PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

int CWin32Platform::MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (mode_ == Mode::Hidden) return IDOK;  // nobody is looking at a hidden window
    // Our texts are UTF-8; the A form would read them in the system's code page.
    return MessageBoxW(owner, Utf8ToWide(text ? text : "").c_str(), Utf8ToWide(caption ? caption : "").c_str(), type);
}

void CWin32Platform::ShowCursor(bool show) { ::ShowCursor(show ? TRUE : FALSE); }

bool CWin32Platform::GetCursorClientPos(LONG& x, LONG& y) {
    POINT point{};
    RECT client{};
    if (!window_ || !GetCursorPos(&point) || !ScreenToClient(window_, &point) || !GetClientRect(window_, &client))
        return false;
    int cx = point.x, cy = point.y;
    ClientPixelToBackBuffer(client.right - client.left, client.bottom - client.top, cx, cy);
    x = cx;
    y = cy;
    return true;
}

IDirect3D9* CWin32Platform::Direct3DCreate9(UINT sdkVersion) {
    IDirect3D9* d3d = ::Direct3DCreate9(sdkVersion);
    if (!d3d) lastError_ = "Direct3D 9 is not available";
    return d3d;
}

HRESULT CWin32Platform::DirectInput8Create(DWORD version, IDirectInput8A** input) {
    if (!input) return E_INVALIDARG;
    *input = nullptr;
    HRESULT hr = ::DirectInput8Create(instance_, version, IID_IDirectInput8A, reinterpret_cast<void**>(input), nullptr);
    if (FAILED(hr)) {
        *input = nullptr;
        lastError_ = "DirectInput 8: " + SystemErrorText(static_cast<DWORD>(hr));
    }
    return hr;
}

bool CWin32Platform::GuiInit(IDirect3DDevice9* device) {
    if (!window_ || !device) {
        lastError_ = "the GUI needs the main window and its device";
        return false;
    }
    guiPlatform_ = ImGui_ImplWin32_Init(window_);
    if (!guiPlatform_) return false;
    guiRenderer_ = ImGui_ImplDX9_Init(device);
    return guiRenderer_;
}

void CWin32Platform::GuiNewFrame() {
    if (!guiPlatform_ || !guiRenderer_) return;
    ImGui_ImplDX9_NewFrame();
    ImGui_ImplWin32_NewFrame();
    // The GUI lays itself out on the back buffer, whatever the window's size, and sees the mouse there.
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(static_cast<float>(kBackBufferWidth), static_cast<float>(kBackBufferHeight));
    io.DisplayFramebufferScale = ImVec2(1.0f, 1.0f);
    // The frame sees the next press or release where it happened, not where the pointer is now.
    float x = 0, y = 0;
    if (mouseButtons_.Apply(io.MouseDown, x, y)) io.MousePos = ImVec2(x, y);
    RECT client{};
    if (io.MousePos.x != -FLT_MAX && io.MousePos.y != -FLT_MAX && GetClientRect(window_, &client))
        WindowToBackBuffer(client.right - client.left, client.bottom - client.top, io.MousePos.x, io.MousePos.y);
}

void CWin32Platform::GuiRenderDrawData(ImDrawData* drawData) {
    if (guiRenderer_ && drawData) ImGui_ImplDX9_RenderDrawData(drawData);
}

bool CWin32Platform::GuiProcessMessage(const PlatformMessage& message) {
    if (!guiPlatform_) return false;
    // A key typed into a text field belongs to the field: Escape leaves it instead of closing the editor.
    return guiClaimed_ || (message.kind == PlatformMessage::Kind::KeyDown && ImGui::GetIO().WantTextInput);
}

void CWin32Platform::GuiInvalidateDeviceObjects() {
    if (guiRenderer_) ImGui_ImplDX9_InvalidateDeviceObjects();
}

void CWin32Platform::GuiCreateDeviceObjects() {
    if (guiRenderer_) ImGui_ImplDX9_CreateDeviceObjects();
}

void CWin32Platform::GuiShutdown() {
    if (guiRenderer_) ImGui_ImplDX9_Shutdown();
    if (guiPlatform_) ImGui_ImplWin32_Shutdown();
    guiRenderer_ = guiPlatform_ = false;
}
