// The Win32 platform under test in its hidden mode: the window, the message queue and the key codes.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/win32_platform.h"
#include "base/win32/win_text.h"

namespace {

LPARAM KeyParam(UINT scan, bool extended) {
    return static_cast<LPARAM>(1 | (scan << 16) | (extended ? 1u << 24 : 0u));
}

// What an earlier platform left in the thread's queue (its WM_DESTROY posts a quit) is not this test's.
void DrainThreadQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

std::vector<PlatformMessage> PeekAll(CWin32Platform& platform) {
    std::vector<PlatformMessage> messages;
    PlatformMessage message;
    while (platform.PeekMessage(message)) messages.push_back(message);
    return messages;
}

class Win32Platform : public ::testing::Test {
protected:
    Win32Platform() { DrainThreadQueue(); }
    CWin32Platform platform_{GetModuleHandleA(nullptr), SW_HIDE, CWin32Platform::Mode::Hidden};
};

}  // namespace

TEST(DikFromKeyMessage, TakesTheScanCodeAndTheExtendedBitOrMapsTheVirtualKey) {
    EXPECT_EQ(DikFromKeyMessage('A', KeyParam(0x1E, false)), 0x1E);
    EXPECT_EQ(DikFromKeyMessage(VK_RETURN, KeyParam(0x1C, true)), 0x9C);   // keypad Enter
    EXPECT_EQ(DikFromKeyMessage(VK_CONTROL, KeyParam(0x1D, true)), 0x9D);  // right Ctrl
    EXPECT_EQ(DikFromKeyMessage(VK_UP, KeyParam(0x48, true)), 0xC8);
    // Repeat count, previous state and transition bits say nothing about the key.
    EXPECT_EQ(DikFromKeyMessage(VK_ESCAPE, static_cast<LPARAM>(0xC0010005u)), 0x01);
    // Posted by a program, without a scan code.
    EXPECT_EQ(DikFromKeyMessage('A', 0), 0x1E);
    EXPECT_EQ(DikFromKeyMessage(VK_ESCAPE, 0), 0x01);
    EXPECT_EQ(DikFromKeyMessage(VK_F2, 0), 0x3C);
    EXPECT_EQ(DikFromKeyMessage(VK_RIGHT, 0), 0xCD);
    EXPECT_EQ(DikFromKeyMessage(VK_DELETE, 0), 0xD3);
    EXPECT_EQ(DikFromKeyMessage(VK_RCONTROL, 0), 0x9D);
    // Num Lock comes with the extended bit and Pause without; DirectInput has it the other way round.
    EXPECT_EQ(DikFromKeyMessage(VK_NUMLOCK, KeyParam(0x45, true)), 0x45);
    EXPECT_EQ(DikFromKeyMessage(VK_PAUSE, KeyParam(0x45, false)), 0xC5);
}

TEST(SystemErrorText, GivesWindowsTextOnOneLineWithTheCode) {
    std::string text = SystemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_NE(text.find(" (error 0x00000002)"), std::string::npos) << text;
    EXPECT_GT(text.size(), std::string(" (error 0x00000002)").size()) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_EQ(SystemErrorText(0xDEADBEEF), "error 0xDEADBEEF");
}

TEST(WindowsText, ConvertsUtf8BothWaysAndTakesOtherBytesOneByOne) {
    const std::string warning = "\xE8\xAD\xA6\xE5\x91\x8A\xEF\xBC\x81";
    EXPECT_EQ(Utf8ToWide(warning), L"\u8B66\u544A\uFF01");
    EXPECT_EQ(WideToUtf8(L"\u8B66\u544A\uFF01"), warning);
    EXPECT_EQ(WideToUtf8(Utf8ToWide("Data\\a.x \xF0\x9F\x8E\xB2")), "Data\\a.x \xF0\x9F\x8E\xB2");
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(Utf8ToWide("caf\xE9 \xE0 la carte"), L"caf\u00E9 \u00E0 la carte");
}

TEST_F(Win32Platform, MakesTheAppClassWindowWithAClientAreaOfTheBackBuffer) {
    HWND window = platform_.GetWindow();
    ASSERT_NE(window, nullptr) << platform_.GetLastError();
    char text[64] = {};
    GetClassNameA(window, text, sizeof text);
    EXPECT_STREQ(text, "AppClass");
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "Vellumar");
    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right - client.left, 1280);
    EXPECT_EQ(client.bottom - client.top, 720);
    platform_.ShowWindow();
    EXPECT_FALSE(IsWindowVisible(window));  // hidden mode shows nothing
    EXPECT_EQ(platform_.MessageBox(window, "text", "caption", MB_OK), IDOK);
}

TEST_F(Win32Platform, HandsOutTheCloseBoxKeysAndTheQuitCode) {
    HWND window = platform_.GetWindow();
    ASSERT_NE(window, nullptr);
    // The close box, sent (as DefWindowProc does) and posted: a Close message each, the window stays.
    SendMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, KeyParam(0x01, false));
    PostMessageA(window, WM_SYSKEYDOWN, VK_F10, KeyParam(0x44, false));
    PostMessageA(window, WM_KEYUP, VK_ESCAPE, KeyParam(0x01, false) | static_cast<LPARAM>(0xC0000000u));
    std::vector<PlatformMessage> messages = PeekAll(platform_);
    std::vector<PlatformMessage::Kind> kinds;
    std::vector<BYTE> keys;
    for (const PlatformMessage& message : messages) {
        if (message.kind == PlatformMessage::Kind::Other) continue;
        kinds.push_back(message.kind);
        if (message.kind == PlatformMessage::Kind::KeyDown) keys.push_back(message.key);
    }
    using Kind = PlatformMessage::Kind;
    EXPECT_EQ(kinds, (std::vector<Kind>{Kind::Close, Kind::Close, Kind::KeyDown, Kind::KeyDown}));
    EXPECT_EQ(keys, (std::vector<BYTE>{0x01, 0x44}));
    EXPECT_TRUE(IsWindow(window));

    platform_.PostQuitMessage(3);
    messages = PeekAll(platform_);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, Kind::Quit);
    EXPECT_EQ(messages[0].exitCode, 3);
}

TEST_F(Win32Platform, WaitsForTheTimeoutOrAPendingMessageWithoutSpinning) {
    ASSERT_NE(platform_.GetWindow(), nullptr);
    PeekAll(platform_);
    DWORD start = platform_.TimeGetTime();
    platform_.WaitMessage(100);
    DWORD waited = platform_.TimeGetTime() - start;
    EXPECT_GE(waited, 90u);
    EXPECT_LT(waited, 1000u);

    // A message already in the queue, even one the queue was looked at for, ends the wait at once.
    PostMessageA(platform_.GetWindow(), WM_USER, 0, 0);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    start = platform_.TimeGetTime();
    platform_.WaitMessage(5000);
    EXPECT_LT(platform_.TimeGetTime() - start, 1000u);
    PeekAll(platform_);

    // So does a close box the window procedure was sent and that is not yet handed out.
    SendMessageA(platform_.GetWindow(), WM_CLOSE, 0, 0);
    start = platform_.TimeGetTime();
    platform_.WaitMessage(5000);
    EXPECT_LT(platform_.TimeGetTime() - start, 1000u);
}

TEST_F(Win32Platform, MapsTheCursorOntoTheBackBufferOfAResizedWindow) {
    HWND window = platform_.GetWindow();
    ASSERT_NE(window, nullptr);
    RECT frame{0, 0, 640, 360};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    ASSERT_TRUE(SetWindowPos(window, nullptr, 10, 10, frame.right - frame.left, frame.bottom - frame.top,
                             SWP_NOZORDER | SWP_NOACTIVATE));
    RECT client{};
    GetClientRect(window, &client);
    ASSERT_EQ(client.right, 640);
    ASSERT_EQ(client.bottom, 360);
    struct Case {
        POINT client, backBuffer;
    };
    for (Case c : {Case{{0, 0}, {1, 1}}, Case{{320, 180}, {641, 361}}, Case{{639, 359}, {1279, 719}}}) {
        POINT screen = c.client;
        ClientToScreen(window, &screen);
        ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
        LONG x = -1, y = -1;
        ASSERT_TRUE(platform_.GetCursorClientPos(x, y));
        EXPECT_EQ(x, c.backBuffer.x) << "client " << c.client.x << ", " << c.client.y;
        EXPECT_EQ(y, c.backBuffer.y) << "client " << c.client.x << ", " << c.client.y;
    }
}
