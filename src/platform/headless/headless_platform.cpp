#include "platform/headless/headless_platform.h"

#include <imgui.h>

#include <algorithm>
#include <cstring>

namespace {

class CHeadlessInputDevice : public RefCounted<IDirectInputDevice8A> {
public:
    CHeadlessInputDevice(CHeadlessPlatform* platform, InputDeviceKind kind) : platform_(platform), kind_(kind) {}
    HRESULT SetDataFormat(const DIDATAFORMAT*) override { return S_OK; }
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return S_OK; }
    HRESULT Acquire() override { return platform_->foreground ? S_OK : E_FAIL; }
    HRESULT Unacquire() override { return S_OK; }
    HRESULT GetDeviceState(DWORD size, void* data) override {
        if (!data) return E_INVALIDARG;
        if (kind_ == InputDeviceKind::Keyboard) {
            if (size != 256) return E_INVALIDARG;
            return platform_->ReadKeys(static_cast<BYTE*>(data)) ? S_OK : E_FAIL;
        }
        if (size != sizeof(DIMOUSESTATE2)) return E_INVALIDARG;
        return platform_->ReadMouse(*static_cast<DIMOUSESTATE2*>(data)) ? S_OK : E_FAIL;
    }

private:
    CHeadlessPlatform* platform_;
    InputDeviceKind kind_;
};

class CHeadlessDirectInput : public RefCounted<IDirectInput8A> {
public:
    explicit CHeadlessDirectInput(CHeadlessPlatform* platform) : platform_(platform) {}
    HRESULT CreateDevice(REFGUID guid, IDirectInputDevice8A** device, IUnknown* outer) override {
        if (!device) return E_INVALIDARG;
        *device = nullptr;
        InputDeviceKind kind{};
        if (outer || !InputDeviceKindOf(guid, kind)) return E_INVALIDARG;
        if (platform_->failInputDevices.count(kind)) return E_FAIL;
        *device = new CHeadlessInputDevice(platform_, kind);
        return S_OK;
    }

private:
    CHeadlessPlatform* platform_;
};

}  // namespace

CHeadlessPlatform::CHeadlessPlatform() = default;
CHeadlessPlatform::~CHeadlessPlatform() = default;

bool CHeadlessPlatform::PeekMessage(PlatformMessage& message) {
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (!Due(it->time)) continue;
        message = it->message;
        queue_.erase(it);
        return true;
    }
    return false;
}

void CHeadlessPlatform::WaitMessage(DWORD timeoutMs) {
    waits.push_back(timeoutMs);
    DWORD wakeAt = now_ + timeoutMs;
    for (const Scheduled& s : queue_) {
        if (Due(s.time)) return;  // something is waiting already
        if (static_cast<std::int32_t>(s.time - wakeAt) < 0) wakeAt = s.time;
    }
    now_ = wakeAt;
}

void CHeadlessPlatform::PostQuitMessage(int exitCode) {
    PlatformMessage quit;
    quit.kind = PlatformMessage::Kind::Quit;
    quit.exitCode = exitCode;
    Post(quit);
}

void CHeadlessPlatform::PostKeyDown(BYTE key) {
    PlatformMessage m;
    m.kind = PlatformMessage::Kind::KeyDown;
    m.key = key;
    Post(m);
}

void CHeadlessPlatform::PostClose() {
    PlatformMessage m;
    m.kind = PlatformMessage::Kind::Close;
    Post(m);
}

int CHeadlessPlatform::MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    messageBoxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    return 1;  // IDOK
}

bool CHeadlessPlatform::GetCursorClientPos(LONG& x, LONG& y) {
    x = cursorX_;
    y = cursorY_;
    return true;
}

IDirect3D9* CHeadlessPlatform::Direct3DCreate9(UINT) {
    if (failDirect3D) {
        lastError_ = "no graphics device";
        return nullptr;
    }
    direct3D = new CRecordingDirect3D9();
    direct3D->refused = refusedDevices;
    direct3D->failDisplayMode = failDisplayMode;
    return direct3D;
}

HRESULT CHeadlessPlatform::DirectInput8Create(DWORD, IDirectInput8A** input) {
    if (!input) return E_INVALIDARG;
    *input = nullptr;
    if (failDirectInput) {
        lastError_ = "no input system";
        return E_FAIL;
    }
    *input = new CHeadlessDirectInput(this);
    return S_OK;
}

bool CHeadlessPlatform::ReadKeys(BYTE out[256]) {
    if (!foreground) return false;
    std::memcpy(out, keys_.data(), 256);
    return true;
}

bool CHeadlessPlatform::ReadMouse(DIMOUSESTATE2& out) {
    if (!foreground) return false;
    out = mouse_;
    mouse_.lX = mouse_.lY = mouse_.lZ = 0;  // movement is relative to the last read
    return true;
}

void CHeadlessPlatform::GuiInvalidateDeviceObjects() {
    if (guiDeviceObjects_ && guiDeviceAlive_ && *guiDeviceAlive_ && Device()) --Device()->defaultPoolObjects;
    guiDeviceObjects_ = false;
}

void CHeadlessPlatform::GuiCreateDeviceObjects() {
    if (guiDeviceObjects_ || !guiDeviceAlive_ || !Device()) return;
    guiDeviceObjects_ = true;
    ++Device()->defaultPoolObjects;
}

void CHeadlessPlatform::GuiShutdown() {
    GuiInvalidateDeviceObjects();
    deviceAliveAtGuiShutdown = guiDeviceAlive_ && *guiDeviceAlive_;
    guiDeviceAlive_.reset();
    guiInitialised = false;
}

bool CHeadlessPlatform::GuiInit(IDirect3DDevice9* device) {
    if (direct3D && device == direct3D->lastDevice) guiDeviceAlive_ = direct3D->lastDevice->AliveFlag();
    GuiCreateDeviceObjects();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // tests never read or write the settings file
    io.DisplaySize = ImVec2(1280.0f, 720.0f);
    unsigned char* pixels = nullptr;
    int w = 0, h = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);  // the font atlas must be built before a frame
    // The GUI reads keys by their DirectInput codes.
    io.KeyMap[ImGuiKey_Tab] = DIK_TAB;
    io.KeyMap[ImGuiKey_LeftArrow] = DIK_LEFT;
    io.KeyMap[ImGuiKey_RightArrow] = DIK_RIGHT;
    io.KeyMap[ImGuiKey_UpArrow] = DIK_UP;
    io.KeyMap[ImGuiKey_DownArrow] = DIK_DOWN;
    io.KeyMap[ImGuiKey_PageUp] = DIK_PRIOR;
    io.KeyMap[ImGuiKey_PageDown] = DIK_NEXT;
    io.KeyMap[ImGuiKey_Home] = DIK_HOME;
    io.KeyMap[ImGuiKey_End] = DIK_END;
    io.KeyMap[ImGuiKey_Insert] = DIK_INSERT;
    io.KeyMap[ImGuiKey_Delete] = DIK_DELETE;
    io.KeyMap[ImGuiKey_Backspace] = DIK_BACK;
    io.KeyMap[ImGuiKey_Space] = DIK_SPACE;
    io.KeyMap[ImGuiKey_Enter] = DIK_RETURN;
    io.KeyMap[ImGuiKey_Escape] = DIK_ESCAPE;
    io.KeyMap[ImGuiKey_KeyPadEnter] = DIK_NUMPADENTER;
    io.KeyMap[ImGuiKey_A] = DIK_A;
    io.KeyMap[ImGuiKey_C] = DIK_C;
    io.KeyMap[ImGuiKey_V] = DIK_V;
    io.KeyMap[ImGuiKey_X] = DIK_X;
    io.KeyMap[ImGuiKey_Y] = DIK_Y;
    io.KeyMap[ImGuiKey_Z] = DIK_Z;
    guiInitialised = true;
    return true;
}

void CHeadlessPlatform::GuiNewFrame() {
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(1280.0f, 720.0f);
    io.DeltaTime = 1.0f / 60.0f;
    io.MousePos = ImVec2(static_cast<float>(cursorX_), static_cast<float>(cursorY_));
    for (int b = 0; b < 5; ++b) io.MouseDown[b] = (mouse_.rgbButtons[b] & 0x80) != 0;
    for (int k = 0; k < 256 && k < static_cast<int>(IM_ARRAYSIZE(io.KeysDown)); ++k)
        io.KeysDown[k] = (keys_[k] & 0x80) != 0;
    io.KeyCtrl = (keys_[DIK_LCONTROL] | keys_[DIK_RCONTROL]) & 0x80;
    io.KeyShift = (keys_[DIK_LSHIFT] | keys_[DIK_RSHIFT]) & 0x80;
    io.KeyAlt = (keys_[DIK_LMENU] | keys_[DIK_RMENU]) & 0x80;
    if (!pendingText_.empty()) {
        io.AddInputCharactersUTF8(pendingText_.c_str());
        pendingText_.clear();
    }
}
