#include "platform/sdl/sdl_platform.h"

#include <imgui.h>
#include <imgui_impl_opengl3.h>
#include <imgui_impl_sdl.h>

#include <cfloat>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/sdl/gl_device.h"
#include "platform/sdl/gl_resources.h"
#include "platform/sdl/sdl_keymap.h"
#include "platform/sdl/sdl_window_handle.h"

namespace {
constexpr int IDOK = 1;
constexpr UINT MB_ICONERROR = 0x10;
}  // namespace

namespace {

// SDL falls back to its offscreen driver when no display can be opened; the window would then run unseen
// and never end. Only a driver the user asked for (SDL_VIDEODRIVER) may be one without a display.
bool ReachesADisplay(std::string& error) {
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (asked && *asked) return true;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) return true;
    const char* display = SDL_getenv("DISPLAY");
    error = "no display to open the window on: ";
    error += display && *display ? std::string("the X display \"") + display + "\" cannot be opened"
                                 : std::string("DISPLAY is not set");
    error += " (run it on a desktop, or choose a video driver with SDL_VIDEODRIVER)";
    return false;
}

}  // namespace

CSdlPlatform::CSdlPlatform() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        lastError_ = std::string("cannot start SDL video: ") + SDL_GetError();
        return;
    }
    sdlStarted_ = true;
    if (!ReachesADisplay(lastError_)) {
        SDL_Quit();
        sdlStarted_ = false;
        return;
    }
    // The window's visual: the device draws offscreen and only copies colour to the window.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    window_ = SDL_CreateWindow("Vellumar", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kBackBufferWidth,
                               kBackBufferHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (!window_) {
        lastError_ = SDL_GetError();
        return;
    }
    input_ = std::make_unique<CSdlInputState>(window_);
}

CSdlPlatform::~CSdlPlatform() {
    if (window_) SDL_DestroyWindow(window_);
    if (sdlStarted_) SDL_Quit();
}

HWND CSdlPlatform::GetWindow() { return ToWindowHandle(window_); }

void CSdlPlatform::ShowWindow() {
    if (!window_) return;
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
}

DWORD CSdlPlatform::TimeGetTime() { return static_cast<DWORD>(SDL_GetTicks64()); }

bool CSdlPlatform::Pull(SDL_Event& event) {
    if (!sdlStarted_ || !SDL_PollEvent(&event)) return false;
    if (input_) input_->Track(event);
    return true;
}

bool CSdlPlatform::PeekMessage(PlatformMessage& message) {
    if (!posted_.empty()) {
        message = posted_.front();
        posted_.pop_front();
        return true;
    }
    if (!pending_.empty()) {
        current_ = pending_.front();
        pending_.pop_front();
    } else if (!Pull(current_)) {
        return false;
    }
    message = Translate(current_);
    return true;
}

void CSdlPlatform::WaitMessage(DWORD timeoutMs) {
    if (!sdlStarted_ || !posted_.empty() || !pending_.empty()) return;
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, static_cast<int>(timeoutMs))) {
        if (input_) input_->Track(event);
        pending_.push_back(event);  // handed out by the next PeekMessage
    }
}

PlatformMessage CSdlPlatform::Translate(const SDL_Event& event) {
    PlatformMessage message;
    message.native = &event;
    switch (event.type) {
        case SDL_QUIT:  // the last window closed, or the process was asked to end
            message.kind = PlatformMessage::Kind::Close;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) message.kind = PlatformMessage::Kind::Close;
            break;
        case SDL_KEYDOWN:
            message.kind = PlatformMessage::Kind::KeyDown;
            message.key = DikFromScancode(event.key.keysym.scancode);
            break;
        default:
            break;
    }
    return message;
}

void CSdlPlatform::PostQuitMessage(int exitCode) {
    PlatformMessage quit;
    quit.kind = PlatformMessage::Kind::Quit;
    quit.exitCode = exitCode;
    posted_.push_back(quit);
}

int CSdlPlatform::MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    const char* body = text ? text : "";
    const char* title = caption ? caption : "";
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONWARNING) flags = SDL_MESSAGEBOX_WARNING;
    if ((type & 0xF0) == MB_ICONERROR) flags = SDL_MESSAGEBOX_ERROR;
    SDL_MessageBoxButtonData ok{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                                IDOK, "OK"};
    SDL_MessageBoxData box{flags, ToSdlWindow(owner), title, body, 1, &ok, nullptr};
    int pressed = 0;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        // No box could be shown; the message still reaches the user on stderr.
        std::fprintf(stderr, "Vellumar: %s\n%s\n", title, body);
        return 0;
    }
    return IDOK;
}

void CSdlPlatform::ShowCursor(bool show) {
    if (sdlStarted_) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool CSdlPlatform::GetCursorClientPos(LONG& x, LONG& y) {
    if (!window_) return false;
    int cx = 0, cy = 0;
    if (SDL_GetMouseFocus() == window_) {
        SDL_GetMouseState(&cx, &cy);
    } else {
        // Outside the window the system cursor is read directly, as a point relative to the client area.
        int wx = 0, wy = 0;
        SDL_GetGlobalMouseState(&cx, &cy);
        SDL_GetWindowPosition(window_, &wx, &wy);
        cx -= wx;
        cy -= wy;
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    ClientPixelToBackBuffer(w, h, cx, cy);
    x = cx;
    y = cy;
    return true;
}

IDirect3D9* CSdlPlatform::Direct3DCreate9(UINT sdkVersion) {
    if (!sdlStarted_ || sdkVersion != D3D_SDK_VERSION) {
        if (lastError_.empty()) lastError_ = "no graphics system";
        return nullptr;
    }
    return new CGlDirect3D9(&lastError_);
}

HRESULT CSdlPlatform::DirectInput8Create(DWORD, IDirectInput8A** input) {
    if (!input) return E_INVALIDARG;
    *input = nullptr;
    if (!input_) {
        lastError_ = "no window to take keyboard and mouse input from";
        return E_FAIL;
    }
    *input = new CSdlDirectInput(input_.get());
    return S_OK;
}

bool CSdlPlatform::GuiInit(IDirect3DDevice9* device) {
    guiDevice_ = dynamic_cast<CGlDevice*>(device);
    if (!window_ || !guiDevice_) {
        lastError_ = "the GUI needs the OpenGL device of the main window";
        return false;
    }
    guiPlatform_ = ImGui_ImplSDL2_InitForOpenGL(window_, SDL_GL_GetCurrentContext());
    if (!guiPlatform_) return false;
    guiRenderer_ = ImGui_ImplOpenGL3_Init("#version 330 core");
    return guiRenderer_;
}

void CSdlPlatform::GuiNewFrame() {
    if (!guiPlatform_ || !guiRenderer_) return;
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    // The GUI lays itself out on the back buffer, whatever the window's size, and sees the mouse there.
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(static_cast<float>(kBackBufferWidth), static_cast<float>(kBackBufferHeight));
    io.DisplayFramebufferScale = ImVec2(1.0f, 1.0f);
    // The buttons come from the events, one change a frame, and the frame sees a press or release where
    // it happened rather than where the pointer is now. Otherwise the pointer is where the last mouse event
    // put it: the backend asks for the global pointer position, which SDL caches until the device reports
    // raw motion, so a pointer moved otherwise (warped, or by a remote desktop) would leave a drag in the
    // GUI standing still while the button is held.
    float x = 0, y = 0;
    if (mouseButtons_.Apply(guiButtons_, x, y)) io.MousePos = ImVec2(x, y);
    else if (pointerKnown_) io.MousePos = ImVec2(pointerX_, pointerY_);
    for (int button = 0; button < CMouseButtonQueue::kButtons; ++button) io.MouseDown[button] = guiButtons_[button];
    if (io.MousePos.x != -FLT_MAX && io.MousePos.y != -FLT_MAX) {
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        WindowToBackBuffer(w, h, io.MousePos.x, io.MousePos.y);
    }
}

void CSdlPlatform::GuiRenderDrawData(ImDrawData* drawData) {
    if (guiRenderer_ && guiDevice_) guiDevice_->RenderGui(drawData);
}

bool CSdlPlatform::GuiProcessMessage(const PlatformMessage& message) {
    if (!guiPlatform_ || !message.native) return false;
    const auto* event = static_cast<const SDL_Event*>(message.native);
    ImGui_ImplSDL2_ProcessEvent(event);
    if (event->type == SDL_MOUSEMOTION) {
        pointerKnown_ = true;
        pointerX_ = static_cast<float>(event->motion.x);
        pointerY_ = static_cast<float>(event->motion.y);
    } else if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_LEAVE) {
        pointerKnown_ = false;
    }
    if (event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP) {
        pointerKnown_ = true;
        pointerX_ = static_cast<float>(event->button.x);
        pointerY_ = static_cast<float>(event->button.y);
        // SDL numbers left, middle, right, X1, X2 from 1; the GUI left, right, middle, X1, X2 from 0.
        static constexpr int kGuiButton[] = {-1, 0, 2, 1, 3, 4};
        const int sdlButton = event->button.button;
        if (sdlButton >= 1 && sdlButton <= 5)
            mouseButtons_.Push(kGuiButton[sdlButton], event->type == SDL_MOUSEBUTTONDOWN,
                               static_cast<float>(event->button.x), static_cast<float>(event->button.y));
    }
    return message.kind == PlatformMessage::Kind::KeyDown && ImGui::GetIO().WantTextInput;
}

void* CSdlPlatform::GuiTexture(IDirect3DTexture9* texture) {
    // The OpenGL backend draws an image by its texture object's name.
    auto* gl = dynamic_cast<CGlTexture*>(texture);
    return gl ? reinterpret_cast<void*>(static_cast<std::uintptr_t>(gl->Name())) : nullptr;
}

void CSdlPlatform::GuiShutdown() {
    if (guiRenderer_) ImGui_ImplOpenGL3_Shutdown();
    if (guiPlatform_) ImGui_ImplSDL2_Shutdown();
    guiRenderer_ = guiPlatform_ = false;
    guiDevice_ = nullptr;
}
