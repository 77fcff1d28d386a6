#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "editor/shortcuts.h"
#include "input/input.h"
#include "platform/headless/headless_platform.h"

namespace {

class ShortcutTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(keyboard.Init(&platform, platform.GetWindow()), S_OK); }
    // Presses `key` (its first frame) with the modifiers held; true when the command is triggered.
    bool Pressed(EditorCommand command, std::initializer_list<BYTE> held, BYTE key) {
        for (int k = 0; k < 256; ++k) platform.SetKey(static_cast<BYTE>(k), false);
        keyboard.Update();
        for (BYTE modifier : held) platform.SetKey(modifier, true);
        platform.SetKey(key, true);
        keyboard.Update();
        return ShortcutPressed(command, keyboard);
    }
    CHeadlessPlatform platform;
    CInputKeyboard keyboard;
};

}  // namespace

TEST_F(ShortcutTest, ModifiersAreMatchedAsTheKeyTableSays) {
    using C = EditorCommand;
    EXPECT_TRUE(Pressed(C::Save, {DIK_RCONTROL}, DIK_S));
    EXPECT_FALSE(Pressed(C::Save, {DIK_LCONTROL, DIK_LSHIFT}, DIK_S));
    EXPECT_TRUE(Pressed(C::SaveAs, {DIK_LCONTROL, DIK_RSHIFT}, DIK_S));
    EXPECT_FALSE(Pressed(C::Save, {}, DIK_S));
    EXPECT_TRUE(Pressed(C::Undo, {DIK_LCONTROL}, DIK_Z));
    EXPECT_FALSE(Pressed(C::Undo, {DIK_LCONTROL, DIK_LSHIFT}, DIK_Z));
    EXPECT_TRUE(Pressed(C::Redo, {DIK_LCONTROL, DIK_LSHIFT}, DIK_Z));
    EXPECT_TRUE(Pressed(C::Redo, {DIK_RCONTROL, DIK_LSHIFT}, DIK_Y));
    EXPECT_TRUE(Pressed(C::Copy, {DIK_LCONTROL}, DIK_C));
    EXPECT_FALSE(Pressed(C::Copy, {DIK_RCONTROL}, DIK_C));  // only the left Ctrl copies
    EXPECT_TRUE(Pressed(C::Create, {DIK_LSHIFT}, DIK_RETURN));
    EXPECT_EQ(std::string(ShortcutKeys(C::SaveAs)), "Ctrl+Shift+S");
    EXPECT_EQ(ShortcutKeys(static_cast<EditorCommand>(-1)), nullptr);
}

TEST(ShortcutTable, TheReadmeKeyTableNamesEveryShortcut) {
    std::ifstream file("README.md");
    ASSERT_TRUE(file) << "the tests run in the source tree";
    std::stringstream text;
    text << file.rdbuf();
    const std::string readme = text.str();
    const std::size_t begin = readme.find("| what | how |");
    ASSERT_NE(begin, std::string::npos);
    const std::string table = readme.substr(begin, readme.find("\n\n", begin) - begin);
    for (const Shortcut& shortcut : Shortcuts()) {
        EXPECT_NE(table.find(shortcut.keys), std::string::npos) << shortcut.keys << " is missing from the README";
        if (shortcut.menu) {
            EXPECT_NE(table.find(shortcut.menu), std::string::npos) << shortcut.menu;
        }
    }
}
