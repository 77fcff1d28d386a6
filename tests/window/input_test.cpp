// Keyboard and mouse in a real window: X test-extension events (xdotool) reach the key bytes, the mouse
// state, the window messages and, after a resize, the GUI and the cursor in back-buffer pixels.
#include <gtest/gtest.h>
#include <imgui.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "input/input.h"
#include "platform/sdl/gl_device.h"
#include "platform/sdl/sdl_platform.h"
#include "x_tools.h"

namespace {

class WindowInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(platform_.GetWindow(), nullptr) << platform_.GetLastError();
        platform_.ShowWindow();
        window_ = XWindowId(platform_.SdlWindow());
        ASSERT_FALSE(window_.empty());
        Focus(window_);
    }

    void Focus(const std::string& window) {
        Shell("xdotool windowfocus --sync " + window);
        Pump();
    }

    // Hands every waiting message out for a while, as the frame loop does between frames.
    void Pump(int milliseconds = 150) {
        const DWORD until = platform_.TimeGetTime() + milliseconds;
        while (static_cast<std::int32_t>(until - platform_.TimeGetTime()) > 0) {
            PlatformMessage message;
            while (platform_.PeekMessage(message)) {
                messages_.push_back(message);
                if (platform_.GuiProcessMessage(message) && message.kind == PlatformMessage::Kind::KeyDown)
                    claimedKeys_.push_back(message.key);
            }
            platform_.WaitMessage(10);
        }
    }

    // The OpenGL device and the GUI on it.
    void StartGui() {
        d3d_ = platform_.Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = 1280;
        parameters.BackBufferHeight = 720;
        parameters.Windowed = TRUE;
        ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, platform_.GetWindow(),
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device_),
                  S_OK);
        ImGui::CreateContext();
        ImGui::GetIO().IniFilename = nullptr;
        ASSERT_TRUE(platform_.GuiInit(device_));
    }

    // One frame: messages, then the widgets drawn over a cleared back buffer and presented.
    template <class Widgets>
    void GuiFrame(Widgets widgets) {
        Pump(40);
        platform_.GuiNewFrame();
        ImGui::NewFrame();
        widgets();
        ImGui::Render();
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device_->BeginScene();
        platform_.GuiRenderDrawData(ImGui::GetDrawData());
        device_->EndScene();
        device_->Present(nullptr, nullptr, nullptr, nullptr);
    }

    void TearDown() override {
        if (ImGui::GetCurrentContext()) {
            platform_.GuiShutdown();
            ImGui::DestroyContext();
        }
        SafeRelease(device_);
        SafeRelease(d3d_);
    }

    void Xdotool(const std::string& arguments) {
        Shell("xdotool " + arguments);
        Pump();
    }

    bool SawKeyDown(BYTE key) const {
        for (const PlatformMessage& m : messages_)
            if (m.kind == PlatformMessage::Kind::KeyDown && m.key == key) return true;
        return false;
    }

    CSdlPlatform platform_;
    std::string window_;
    std::vector<PlatformMessage> messages_;
    std::vector<BYTE> claimedKeys_;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
};

TEST_F(WindowInputTest, KeysSetPressAndTriggerBitsByTheirDirectInputCodes) {
    CInputKeyboard keyboard;
    ASSERT_EQ(keyboard.Init(&platform_, platform_.GetWindow()), S_OK);

    Xdotool("keydown w");
    keyboard.Update();
    EXPECT_TRUE(keyboard.GetPress(DIK_W));
    EXPECT_TRUE(keyboard.GetTrigger(DIK_W));
    keyboard.Update();
    EXPECT_TRUE(keyboard.GetPress(DIK_W));
    EXPECT_FALSE(keyboard.GetTrigger(DIK_W)) << "held over two frames: trigger on the first only";
    Xdotool("keyup w");
    keyboard.Update();
    EXPECT_FALSE(keyboard.GetPress(DIK_W));
    EXPECT_TRUE(SawKeyDown(DIK_W));

    // Keypad Enter and right Ctrl have codes of their own.
    Xdotool("keydown KP_Enter keydown Control_R");
    keyboard.Update();
    EXPECT_TRUE(keyboard.GetTrigger(DIK_NUMPADENTER));
    EXPECT_TRUE(keyboard.GetTrigger(DIK_RCONTROL));
    EXPECT_FALSE(keyboard.GetPress(DIK_RETURN));
    // (xdotool holds left Ctrl as the Control modifier of a right Ctrl press, so left Ctrl is not checked.)
    Xdotool("keyup KP_Enter keyup Control_R keydown F2 keyup F2 key Escape");
    EXPECT_TRUE(SawKeyDown(DIK_F2));
    EXPECT_TRUE(SawKeyDown(DIK_ESCAPE));
    keyboard.Uninit();
}

TEST_F(WindowInputTest, MouseGivesMovementButtonsAndWheelInDirectInputUnits) {
    CInputMouse mouse;
    ASSERT_EQ(mouse.Init(&platform_, platform_.GetWindow()), S_OK);
    Xdotool("mousemove --window " + window_ + " 200 200");
    mouse.Update();  // whatever came before

    Xdotool("mousemove --window " + window_ + " 230 190");
    mouse.Update();
    EXPECT_EQ(mouse.GetMove().lX, 30);
    EXPECT_EQ(mouse.GetMove().lY, -10);
    mouse.Update();
    EXPECT_EQ(mouse.GetMove().lX, 0) << "movement is relative to the last read";

    Xdotool("mousedown 1 mousedown 3");
    mouse.Update();
    EXPECT_TRUE(mouse.GetTrigger(0));
    EXPECT_TRUE(mouse.GetPress(0));
    EXPECT_TRUE(mouse.GetTrigger(1)) << "the right button is button 1";
    Xdotool("mouseup 1");
    mouse.Update();
    EXPECT_TRUE(mouse.GetRelease(0));
    EXPECT_FALSE(mouse.GetTrigger(1));
    EXPECT_TRUE(mouse.GetPress(1));
    Xdotool("mouseup 3 mousedown 2");
    mouse.Update();
    EXPECT_TRUE(mouse.GetRelease(1));
    EXPECT_TRUE(mouse.GetTrigger(2)) << "the middle button is button 2";
    Xdotool("mouseup 2");
    mouse.Update();

    Xdotool("click 4");
    mouse.Update();
    EXPECT_EQ(mouse.GetMove().lZ, 120);
    Xdotool("click --repeat 2 --delay 20 5");
    mouse.Update();
    EXPECT_EQ(mouse.GetMove().lZ, -240);
    mouse.Uninit();
}

TEST_F(WindowInputTest, ReadsFailInTheBackgroundAndAcquireWorksAgainInFront) {
    IDirectInput8A* input = nullptr;
    ASSERT_EQ(platform_.DirectInput8Create(DIRECTINPUT_VERSION, &input), S_OK);
    IDirectInputDevice8A* keyboard = nullptr;
    ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), S_OK);
    keyboard->SetDataFormat(&c_dfDIKeyboard);
    keyboard->SetCooperativeLevel(platform_.GetWindow(), DISCL_FOREGROUND | DISCL_NONEXCLUSIVE);
    BYTE keys[256];
    EXPECT_EQ(keyboard->Acquire(), S_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), S_OK);

    SDL_Window* other = SDL_CreateWindow("Other", 0, 0, 200, 200, SDL_WINDOW_SHOWN);
    ASSERT_NE(other, nullptr);
    Focus(XWindowId(other));
    EXPECT_LT(keyboard->GetDeviceState(sizeof(keys), keys), 0);
    EXPECT_LT(keyboard->Acquire(), 0);

    Focus(window_);
    EXPECT_LT(keyboard->GetDeviceState(sizeof(keys), keys), 0) << "lost until acquired again";
    EXPECT_EQ(keyboard->Acquire(), S_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), S_OK);

    SDL_DestroyWindow(other);
    keyboard->Unacquire();
    keyboard->Release();
    input->Release();
}

TEST_F(WindowInputTest, AFocusChangeRightAfterAKeyOrNotchDoesNotRepeatItEveryFrame) {
    CInputKeyboard keyboard;
    CInputMouse mouse;
    ASSERT_EQ(keyboard.Init(&platform_, platform_.GetWindow()), S_OK);
    ASSERT_EQ(mouse.Init(&platform_, platform_.GetWindow()), S_OK);
    Xdotool("mousemove --window " + window_ + " 200 200");
    mouse.Update();
    Xdotool("keydown Return click 4");
    keyboard.Update();
    mouse.Update();
    ASSERT_TRUE(keyboard.GetTrigger(DIK_RETURN));
    ASSERT_EQ(mouse.GetMove().lZ, 120);

    SDL_Window* other = SDL_CreateWindow("Other", 0, 0, 200, 200, SDL_WINDOW_SHOWN);
    ASSERT_NE(other, nullptr);
    Focus(XWindowId(other));
    for (int frame = 0; frame < 3; ++frame) {
        keyboard.Update();
        mouse.Update();
        EXPECT_FALSE(keyboard.GetTrigger(DIK_RETURN)) << "Enter would create an object every frame";
        EXPECT_TRUE(keyboard.GetPress(DIK_RETURN)) << "held as last seen";
        EXPECT_EQ(mouse.GetMove().lZ, 0) << "the camera would zoom without end";
    }
    Xdotool("keyup Return");
    SDL_DestroyWindow(other);
    keyboard.Uninit();
    mouse.Uninit();
}

TEST_F(WindowInputTest, AfterAResizeTheCursorAndGuiClicksUseBackBufferPixels) {
    StartGui();
    Shell("xdotool windowsize --sync " + window_ + " 640 360");
    Pump();
    int w = 0, h = 0;
    SDL_GetWindowSize(platform_.SdlWindow(), &w, &h);
    ASSERT_EQ(w, 640);
    ASSERT_EQ(h, 360);

    // Half the window's size: every window pixel covers two back-buffer pixels each way.
    Xdotool("mousemove --window " + window_ + " 320 90");
    LONG x = 0, y = 0;
    ASSERT_TRUE(platform_.GetCursorClientPos(x, y));
    EXPECT_EQ(x, 641);
    EXPECT_EQ(y, 181);

    // A button at (600, 300)-(800, 400) of the back buffer shows at (300, 150)-(400, 200) of the window.
    int clicks = 0;
    auto button = [&] {
        ImGui::SetNextWindowPos(ImVec2(600, 300));
        ImGui::Begin("Buttons", nullptr, ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoBackground);
        ImGui::SetCursorScreenPos(ImVec2(600, 300));
        if (ImGui::Button("Press", ImVec2(200, 100))) ++clicks;
        ImGui::End();
    };
    Shell("xdotool mousemove --window " + window_ + " 350 175");
    GuiFrame(button);
    GuiFrame(button);
    EXPECT_NEAR(ImGui::GetIO().MousePos.x, 700, 1);
    EXPECT_NEAR(ImGui::GetIO().MousePos.y, 350, 1);
    Shell("xdotool mousedown 1");
    GuiFrame(button);
    GuiFrame(button);
    Shell("xdotool mouseup 1");
    GuiFrame(button);
    GuiFrame(button);
    EXPECT_EQ(clicks, 1);
}

TEST_F(WindowInputTest, GuiClaimsKeysWhileItsTextFieldIsBeingTypedIn) {
    StartGui();
    char text[32] = "";
    auto field = [&] {
        ImGui::SetNextWindowPos(ImVec2(100, 100));
        ImGui::Begin("Field", nullptr, ImGuiWindowFlags_NoDecoration);
        ImGui::SetCursorScreenPos(ImVec2(100, 100));
        ImGui::SetNextItemWidth(300);
        ImGui::InputText("##name", text, sizeof(text));
        ImGui::End();
    };
    Shell("xdotool mousemove --window " + window_ + " 150 108");
    GuiFrame(field);
    GuiFrame(field);
    Shell("xdotool click 1");
    for (int i = 0; i < 3; ++i) GuiFrame(field);
    ASSERT_TRUE(ImGui::GetIO().WantTextInput) << "the click puts the field into typing";

    // Escape leaves the field instead of closing the editor; the next one is the editor's again.
    // (Keys are held over a frame: the GUI samples held keys once per frame.)
    Shell("xdotool key a keydown Escape");
    GuiFrame(field);
    Shell("xdotool keyup Escape");
    for (int i = 0; i < 2; ++i) GuiFrame(field);
    EXPECT_EQ(std::string(text), "");
    EXPECT_EQ(claimedKeys_, (std::vector<BYTE>{DIK_A, DIK_ESCAPE}));
    EXPECT_FALSE(ImGui::GetIO().WantTextInput);
    claimedKeys_.clear();
    messages_.clear();
    Shell("xdotool key Escape");
    GuiFrame(field);
    EXPECT_TRUE(claimedKeys_.empty());
    EXPECT_TRUE(SawKeyDown(DIK_ESCAPE));
}

TEST_F(WindowInputTest, WarningBoxIsOwnedByTheMainWindowAndWaitsForTheUser) {
    std::atomic<bool> found{false};
    std::string owner;
    std::thread user([&] {
        std::string box;
        for (int i = 0; i < 100 && box.empty(); ++i) {
            box = Shell("xwininfo -root -tree | grep '\"警告！\"' | awk '{print $1}' | head -n1");
            if (box.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (box.empty()) return;
        found = true;
        owner = Shell("xprop -id " + box + " WM_TRANSIENT_FOR | sed 's/.*# //'");
        Shell("xdotool windowfocus --sync " + box + " key Return");
    });
    int pressed = platform_.MessageBox(platform_.GetWindow(), "effect.fx(3,5): syntax error", "警告！",
                                       MB_OK | MB_ICONWARNING);
    user.join();
    ASSERT_TRUE(found);
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(std::stoul(owner, nullptr, 16), std::stoul(window_)) << owner;
}

}  // namespace
