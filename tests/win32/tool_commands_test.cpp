// vellumar-tool's commands make no window (and so no device): a stage whose models are all in the catalog
// is checked while a hook sees every window this thread creates.
#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/commands.h"

namespace {

std::vector<std::string> created;

LRESULT CALLBACK SeeWindows(int code, WPARAM window, LPARAM data) {
    if (code == HCBT_CREATEWND) {
        char name[256] = {};
        GetClassNameA(reinterpret_cast<HWND>(window), name, sizeof name);
        created.push_back(name);
    }
    return CallNextHookEx(nullptr, code, window, data);
}

}  // namespace

TEST(ToolCommands, CheckMakesNoWindow) {
    created.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, SeeWindows, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    std::ostringstream out, err;
    const int code = RunCheck({"Data/FILE/stage.txt"}, out, err);
    const bool editorWindow = FindWindowA("AppClass", nullptr) != nullptr;
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out.str(), "ok: 1 groups, 12 objects\n");
    EXPECT_EQ(err.str(), "");  // every model is in the catalog
    EXPECT_FALSE(editorWindow);
    EXPECT_EQ(created, std::vector<std::string>{});
}

TEST(ToolCommands, CheckAssetsReadsEveryAssetWithoutAWindow) {
    created.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, SeeWindows, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    std::ostringstream out, err;
    const int code = RunCheckAssets({}, out, err);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_EQ(out.str(), "ok: 8 models, 4 textures, 2 effects\n");
    EXPECT_EQ(created, std::vector<std::string>{});
}
