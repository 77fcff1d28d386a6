// "Open..." over unsaved changes in the real window: the "Unsaved changes" popup asks before the other file
// replaces the stage, and "Save" writes the changes to their own file first.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "x_tools.h"

namespace {

namespace fs = std::filesystem;

TEST(OpenUnsavedWindow, OpenAsksFirstAndSaveKeepsTheChanges) {
    TempDir folder;
    fs::copy(SourceDir() / "Data", folder.Path() / "Data", fs::copy_options::recursive);
    const fs::path a = folder.Path() / "Data/FILE/a.txt", b = folder.Path() / "Data/FILE/b.txt";
    fs::copy_file(folder.Path() / "Data/FILE/stage.txt", a);
    folder.Write("Data/FILE/b.txt", "Tag : TEST\n");
    const std::string before = TempDir::Read(a);

    pid_t editor = StartEditorIn(folder.Path(), {"Data/FILE/a.txt"});
    ASSERT_GT(editor, 0);
    const std::string window = WaitForEditorWindow();
    ASSERT_FALSE(window.empty()) << TempDir::Read(folder.Path() / "editor.log");
    CWindowShots shots(window, folder.Path() / "shots");
    const std::string status = "150x14+5+83", dialog = "600x380+330+165", popup = "460x80+410+318";
    ASSERT_TRUE(shots.Settle("start", status));
    // Enter creates an object at the pointer: the "*" shows on the status line.
    ASSERT_TRUE(shots.Hold("Return", "created", "start", status, 20));
    ASSERT_TRUE(shots.Settle("created", dialog));
    ASSERT_TRUE(shots.Hold("ctrl+o", "dialog", "created", dialog, 1000));
    // b.txt in the dialog's list of Data/FILE, then "Open".
    shots.Click(363, 248);
    ASSERT_TRUE(shots.AwaitChange("picked", "dialog", "400x14+338+483", 20)) << "b.txt is not in the name field";
    shots.Click(355, 538);
    ASSERT_TRUE(shots.AwaitChange("asking", "created", popup, 1000)) << "no \"Unsaved changes\" popup";
    EXPECT_EQ(TempDir::Read(a), before);
    shots.Click(435, 385);  // "Save"
    // b.txt is open and unchanged: Escape ends the editor at once.
    ASSERT_TRUE(shots.AwaitChange("opened", "asking", popup, 1000));
    Shell("xdotool key Escape");
    EXPECT_EQ(WaitForExit(editor, 60), 0) << TempDir::Read(folder.Path() / "editor.log");
    // The sample's twelve objects and the new one at the pointer.
    EXPECT_NE(TempDir::Read(a).find("Index : 12\nPos : 0 , 10 , 0\n"), std::string::npos) << TempDir::Read(a);
    EXPECT_EQ(TempDir::Read(b), "Tag : TEST\n");
}

}  // namespace
