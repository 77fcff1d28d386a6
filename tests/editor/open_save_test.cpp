// Working on any stage file: "Open..." and "Save As..." through the file dialog, "Recent" kept across
// runs, the design's commands on the chosen file with the JSON beside it, and the file named on the
// command line.
#include "editor_fixture.h"

#include "document/edit_history.h"
#include "editor/gui_file_dialog.h"
#include "editor/tag_panel.h"

namespace {

using Tags = std::vector<std::string>;

class OpenSaveTest : public EditorTest {
protected:
    void Command(const std::string& item) {
        ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"##menubar", "File"}));
        ASSERT_TRUE(Gui().Click(GuiDriver::kMenu, {item}));
    }
    CFileMenu& Menu() { return *Editor().GetFileMenu(); }
    CGuiFileDialog& Dialog() { return static_cast<CGuiFileDialog&>(Menu().Dialog()); }
    // Types `name` over the dialog's file name field and presses Enter.
    void Choose(const std::string& name) {
        ASSERT_TRUE(Dialog().IsOpen());
        ASSERT_TRUE(Gui().Click(Dialog().WindowName(), {CGuiFileDialog::kNameField}));
        Gui().Chord(DIK_LCONTROL, DIK_A);
        Gui().Type(name);
        Gui().Key(DIK_RETURN);
    }
    std::string Level(const std::string& name) { return (dir_.Path() / "levels" / name).string(); }

    static constexpr const char* kForest =
        "Tag : trees\nIndex : 0\nPos : 1 , 0 , 0\nRot : 0 , 0 , 0\nScale : 1 , 1 , 1\nModelLabel : SPHERE\n"
        "ObjectLabel : \nIndex : 1\nPos : 2 , 0 , 0\nRot : 0 , 0 , 0\nScale : 1 , 1 , 1\nModelLabel : SPHERE\n"
        "ObjectLabel : \nTag : rocks\n";
};

TEST_F(OpenSaveTest, OpenThroughTheDialogReplacesTheStageAndBecomesTheCurrentFile) {
    dir_.Write("levels/forest.txt", kForest);
    dir_.Write("levels/notes.md", "not a stage");
    std::filesystem::create_directories(dir_.Path() / "levels/old");
    CreateAt(5, 0, 0);  // in TEST, gone after the open, once "Discard" has been chosen
    Command("Open...");
    ASSERT_TRUE(Dialog().IsOpen());
    Choose(Level(""));  // a folder opens in the dialog
    ASSERT_EQ(Dialog().Folder(), dir_.Path() / "levels");
    ASSERT_EQ(Dialog().Entries().size(), 2u);  // the folder, then the stage file; notes.md is filtered out
    EXPECT_TRUE(Dialog().Entries()[0].folder);
    EXPECT_EQ(Dialog().Entries()[1].name, "forest.txt");
    Choose("forest.txt");
    ASSERT_TRUE(Gui().Click("Unsaved changes", {"Discard"}));
    EXPECT_EQ(Editor().CurrentFile().TextPath(), Level("forest.txt"));
    EXPECT_EQ(Stage().Groups().count("TEST"), 0u);
    EXPECT_EQ(StageGroup("trees").size(), 2u);
    EXPECT_EQ(Editor().tags, (Tags{"rocks", "trees"}));
    EXPECT_NE(Menu().Status().find("Opened 2 objects in 2 groups"), std::string::npos) << Menu().Status();
    EXPECT_EQ(Editor().CurrentFile().DisplayName(), "forest.txt");

    // The design's commands now act on that file, and the JSON goes beside it.
    Editor().tagIndex = 1;
    Gui().Idle();
    CreateAt(3, 0, 0);
    Command("SaveText");
    EXPECT_NE(TempDir::Read(Level("forest.txt")).find("Pos : 3 , 0 , 0"), std::string::npos);
    Command("SaveJson");
    EXPECT_NE(TempDir::Read(Level("forest.json")).find("\"Level\":\"trees\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(FilePath("stage.json")));
    EXPECT_FALSE(std::filesystem::exists(FilePath("stage.txt")));

    // Undoing the open (after undoing the creation) brings back the earlier stage and its file.
    ASSERT_TRUE(Editor().GetHistory()->Undo());
    ASSERT_TRUE(Editor().GetHistory()->Undo());
    Gui().Idle();
    EXPECT_EQ(StageGroup("TEST").size(), 1u);
    EXPECT_FALSE(Editor().CurrentFile().IsChosen());
    ASSERT_TRUE(Editor().GetHistory()->Redo());
    EXPECT_EQ(Editor().CurrentFile().TextPath(), Level("forest.txt"));
}

TEST_F(OpenSaveTest, AFileThatFailsToOpenChangesNothing) {
    CreateAt(5, 0, 0);
    dir_.Write("levels/broken.txt", "Tag : A\nIndex : 0\nPos : 1 , x\n");
    for (const std::string& name : {Level("broken.txt"), Level("missing.txt"), Level("")}) {
        EXPECT_FALSE(Menu().OpenFile(name).ok);
        Gui().Idle();
        EXPECT_TRUE(Menu().HasError());
        EXPECT_EQ(Menu().Error().path, name);
        EXPECT_FALSE(Editor().CurrentFile().IsChosen());
        EXPECT_EQ(Editor().tags, (Tags{"TEST"}));
        EXPECT_EQ(StageGroup("TEST").size(), 1u);
        EXPECT_TRUE(Menu().Recent().Files().empty());
        ASSERT_TRUE(Gui().Click(CFileMenu::kErrorPopup, {"Close"}));
    }
    EXPECT_EQ(Menu().OpenFile(Level("broken.txt")).line, 3);
}

TEST_F(OpenSaveTest, SaveAsAsksBeforeReplacingAndRecentFilesOutliveTheRun) {
    CreateAt(1, 2, 3);
    std::filesystem::create_directories(dir_.Path() / "levels");
    Command("Save As...");
    Choose(Level("desert"));  // the extension is added
    EXPECT_EQ(Editor().CurrentFile().TextPath(), Level("desert.txt"));
    EXPECT_NE(TempDir::Read(Level("desert.txt")).find("Pos : 1 , 2 , 3"), std::string::npos);

    // Saving over a file asks first; a second "Save" replaces it.
    dir_.Write("levels/keep.txt", "Tag : KEEP\n");
    Command("Save As...");
    Choose("keep.txt");
    EXPECT_TRUE(Dialog().IsOpen());
    EXPECT_EQ(TempDir::Read(Level("keep.txt")), "Tag : KEEP\n");
    ASSERT_TRUE(Gui().Click(Dialog().WindowName(), {"Save"}));
    EXPECT_FALSE(Dialog().IsOpen());
    EXPECT_NE(TempDir::Read(Level("keep.txt")).find("Pos : 1 , 2 , 3"), std::string::npos);

    // "Export JSON As..." leaves the current file alone. Ctrl+O asks for a file to open.
    Command("Export JSON As...");
    Choose(Level("game"));
    EXPECT_TRUE(std::filesystem::exists(Level("game.json")));
    EXPECT_EQ(Editor().CurrentFile().TextPath(), Level("keep.txt"));
    Gui().Chord(DIK_LCONTROL, DIK_O);
    EXPECT_EQ(Dialog().WindowName(), "Open Stage");
    EXPECT_TRUE(Menu().CancelDialog());  // what Escape does while the dialog is open
    Gui().Idle(2);
    EXPECT_FALSE(Dialog().IsOpen());
    EXPECT_EQ(ImGui::GetTopMostPopupModal(), nullptr);

    // Nine more files: the list keeps the last eight, newest first, without repeats.
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(Menu().SaveAs(Level("v" + std::to_string(i) + ".txt")).ok);
    ASSERT_TRUE(Menu().SaveAs(Level("v3.txt")).ok);
    const std::vector<std::string> recent = Menu().Recent().Files();
    ASSERT_EQ(recent.size(), 8u);
    EXPECT_EQ(recent[0], Level("v3.txt"));
    EXPECT_EQ(recent[1], Level("v8.txt"));
    EXPECT_EQ(recent[7], Level("v1.txt"));

    // The next run offers them again, and choosing one opens it.
    app_.reset();
    app_ = std::make_unique<HeadlessEditor>();
    gui_ = std::make_unique<GuiDriver>(*app_);
    Gui().Idle(2);
    EXPECT_EQ(Menu().Recent().Files(), recent);
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"##menubar", "File"}));
    ASSERT_TRUE(Gui().Click(GuiDriver::kMenu, {"Recent"}));
    ASSERT_TRUE(Gui().Click("##Menu_01", {1, Level("v8.txt")}));
    ASSERT_FALSE(Menu().HasError()) << Menu().Error().Describe();
    EXPECT_EQ(Editor().CurrentFile().TextPath(), Level("v8.txt"));
    EXPECT_EQ(StageGroup("TEST").size(), 1u);
    EXPECT_EQ(Menu().Recent().Files()[0], Level("v8.txt"));
}

TEST_F(OpenSaveTest, AMalformedSettingsFileIsReportedAndLeftAlone) {
    app_.reset();
    dir_.Write("config/vellumar/settings.json", R"({"Recent": ["a.txt", 7]})");
    app_ = std::make_unique<HeadlessEditor>();
    EXPECT_TRUE(Editor().GetFileMenu()->Recent().Files().empty());
    const std::string& status = Editor().GetFileMenu()->Status();
    EXPECT_NE(status.find("settings.json: entry 2"), std::string::npos) << status;
    EXPECT_EQ(TempDir::Read(dir_.Path() / "config/vellumar/settings.json"), R"({"Recent": ["a.txt", 7]})");
}

TEST_F(OpenSaveTest, TheFileOnTheCommandLineIsOpenedOrTheEditorEndsWithCode2) {
    dir_.Write("levels/forest.txt", kForest);
    dir_.Write("levels/broken.txt", "Index : x\n");
    gui_.reset();
    app_.reset();  // RunEditor starts an editor of its own
    for (const char* name : {"forest.txt", "broken.txt", "missing.txt"}) {
        CHeadlessPlatform platform;
        platform.PostAt(platform.TimeGetTime() + 5 * CFrameLoop::kFrameInterval,
                        PlatformMessage{PlatformMessage::Kind::Close});
        testing::internal::CaptureStderr();
        const int code = RunEditor(platform, Level(name));
        const std::string printed = testing::internal::GetCapturedStderr();
        const bool readable = std::string(name) == "forest.txt";
        EXPECT_EQ(code, readable ? 0 : 2) << printed;
        // A failure names the file and the reason.
        const bool named = printed.find(Level(name)) != std::string::npos && printed.find("error: ") != std::string::npos;
        EXPECT_EQ(named, !readable) << printed;
    }
}

TEST_F(OpenSaveTest, TheTagPanelShowsCountsHidesAndLocksGroups) {
    dir_.Write("levels/forest.txt", kForest);
    ASSERT_TRUE(Menu().OpenFile(Level("forest.txt")).ok);
    Gui().Idle();
    const std::vector<CTagPanel::Row> rows = Editor().GetTagPanel()->Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].tag, "trees");
    EXPECT_EQ(rows[1].objects, 2u);

    ASSERT_TRUE(Gui().Click(CTagPanel::kWindow, {"trees", "##Visible"}));
    EXPECT_FALSE(Stage().IsTagVisible("trees"));
    ASSERT_TRUE(Gui().Click(CTagPanel::kWindow, {"rocks", "##Lock"}));
    EXPECT_TRUE(Stage().IsTagLocked("rocks"));
    ASSERT_TRUE(Gui().Click(CTagPanel::kWindow, {"trees", "###Tag"}));
    EXPECT_EQ(Editor().SelectedTag(), "trees");
    // View state is not saved.
    ASSERT_TRUE(Menu().SaveText().ok);
    EXPECT_EQ(TempDir::Read(Level("forest.txt")).find("Visible"), std::string::npos);

    // Home moves the pointer to the selected object.
    Stage().Select(1);
    Gui().Key(DIK_HOME);
    EXPECT_EQ(Pointer().GetPos(), D3DXVECTOR3(2, 0, 0));
}

}  // namespace
