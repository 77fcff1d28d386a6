// Unsaved work is never lost without asking: the "Unsaved changes" popup on Escape, the close box, "Open...",
// "Recent" and "LoadText" with its three buttons, the autosave on the editor's clock, the recovery popup of
// a new editor, and a stage file that another program changed on disk.
#include <charconv>
#include <chrono>

#include "app/application.h"
#include "document/edit_history.h"
#include "editor/autosave.h"
#include "editor/file_change_guard.h"
#include "editor/recovery_prompt.h"
#include "editor/unsaved_guard.h"
#include "editor_fixture.h"

namespace {

namespace fs = std::filesystem;

class UnsavedWorkTest : public EditorTest {
protected:
    CUnsavedGuard& Guard() { return *Editor().GetUnsavedGuard(); }
    // Runs the frame loop with `message` posted and a Quit(7) posted half a second later; the exit code
    // tells whether the message ended the program itself.
    int RunWith(PlatformMessage message) {
        CFrameLoop loop(Platform());
        Platform().Post(message);
        Platform().PostAt(Platform().TimeGetTime() + 500, PlatformMessage{PlatformMessage::Kind::Quit, 7});
        return loop.Run();
    }
    // True when the editor has asked the platform to end the program with code 0.
    bool QuitPosted() {
        PlatformMessage message;
        bool quit = false;
        while (Platform().PeekMessage(message)) quit = quit || (message.kind == PlatformMessage::Kind::Quit && message.exitCode == 0);
        return quit;
    }
    void Ask() {
        ASSERT_FALSE(Guard().RequestQuit(CUnsavedGuard::Request::Close));
        Gui().Idle();
        ASSERT_TRUE(GuiDriver::FindWindow(CUnsavedGuard::kPopup));
    }
    fs::path Recovery() { return FilePath("stage.txt.autosave"); }
    CFileMenu& Menu() { return *Editor().GetFileMenu(); }
    // True when the popup is open after the frames that notice a change and open it.
    bool Asking(const char* popup) {
        Gui().Idle(2);
        return ImGui::GetTopMostPopupModal() && ImGui::GetTopMostPopupModal()->Name == std::string(popup);
    }
    static std::string Stage(int objects) {
        std::string text = "Tag : HALL\n";
        for (int i = 0; i < objects; ++i)
            text += "Index : " + std::to_string(i) + "\nPos : " + std::to_string(i) +
                    " , 0 , 0\nRot : 0 , 0 , 0\nScale : 1 , 1 , 1\nModelLabel : SPHERE\nObjectLabel : \n";
        return text;
    }
};

TEST_F(UnsavedWorkTest, OpenRecentAndLoadTextAskBeforeDroppingUnsavedChanges) {
    WriteFile("a.txt", Stage(1));
    WriteFile("b.txt", Stage(2));
    ASSERT_TRUE(Menu().OpenFile(FilePath("b.txt").string()).ok);
    ASSERT_TRUE(Menu().OpenFile(FilePath("a.txt").string()).ok);
    CreateAt(5, 0, 0);

    // "Recent" > b.txt asks; "Cancel" keeps the stage, its file and the "*"; "Save" writes a.txt first.
    for (const char* answer : {"Cancel", "Save"}) {
        ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"##menubar", "File"}));
        ASSERT_TRUE(Gui().Click(GuiDriver::kMenu, {"Recent"}));
        ASSERT_TRUE(Gui().Click("##Menu_01", {1, FilePath("b.txt").string()}));
        ASSERT_TRUE(Asking(CUnsavedGuard::kPopup));
        EXPECT_EQ(Guard().What(), "Opening b.txt replaces them.");
        EXPECT_EQ(Editor().CurrentFile().DisplayName(), "a.txt");
        EXPECT_TRUE(Editor().GetHistory()->IsModified());
        ASSERT_TRUE(Gui().Click(CUnsavedGuard::kPopup, {answer}));
    }
    EXPECT_NE(TempDir::Read(FilePath("a.txt")).find("Pos : 5 , 0 , 0"), std::string::npos);
    EXPECT_EQ(Editor().CurrentFile().DisplayName(), "b.txt");
    EXPECT_FALSE(Editor().GetHistory()->IsModified());

    // "LoadText" asks; "Discard" leaves the stage as the file holds it (not its objects added again).
    CreateAt(6, 0, 0);
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"##menubar", "File"}));
    ASSERT_TRUE(Gui().Click(GuiDriver::kMenu, {"LoadText"}));
    ASSERT_TRUE(Asking(CUnsavedGuard::kPopup));
    ASSERT_TRUE(Gui().Click(CUnsavedGuard::kPopup, {"Discard"}));
    EXPECT_EQ(StageGroup("HALL").size(), 2u);
    EXPECT_FALSE(Editor().GetHistory()->IsModified());
    ASSERT_TRUE(Editor().GetHistory()->Undo());  // undoable, like "Open..."
    EXPECT_EQ(StageGroup("HALL").size(), 3u);
}

TEST_F(UnsavedWorkTest, AFileChangedOnDiskIsOfferedForReloadOrAskedAboutAtTheNextSave) {
    WriteFile("a.txt", Stage(1));
    ASSERT_TRUE(Menu().OpenFile(FilePath("a.txt").string()).ok);
    CFileChangeGuard& changes = *Editor().GetFileChangeGuard();
    // Only touched: the same bytes are no change.
    fs::last_write_time(FilePath("a.txt"), fs::file_time_type::clock::now() + std::chrono::hours(1));
    Platform().Advance(1000);
    EXPECT_FALSE(Asking(CFileChangeGuard::kPopup));

    // Another program writes it: seen at the next look, at most a second later, and offered for reload.
    WriteFile("a.txt", Stage(3));
    EXPECT_FALSE(Asking(CFileChangeGuard::kPopup));
    Platform().Advance(1000);
    ASSERT_TRUE(Asking(CFileChangeGuard::kPopup));
    ASSERT_TRUE(Gui().Click(CFileChangeGuard::kPopup, {"Reload"}));
    EXPECT_EQ(StageGroup("HALL").size(), 3u);

    // With unsaved changes the main window says so, and the save asks instead of writing.
    CreateAt(5, 0, 0);
    WriteFile("a.txt", Stage(2));
    Platform().Advance(1000);
    EXPECT_FALSE(Asking(CFileChangeGuard::kPopup));
    EXPECT_NE(changes.Notice().find("a.txt changed on disk"), std::string::npos);
    Gui().Chord(DIK_LCONTROL, DIK_S);
    ASSERT_TRUE(Asking(CFileChangeGuard::kPopup));
    EXPECT_EQ(TempDir::Read(FilePath("a.txt")), Stage(2));
    ASSERT_TRUE(Gui().Click(CFileChangeGuard::kPopup, {"Overwrite"}));
    EXPECT_NE(TempDir::Read(FilePath("a.txt")).find("Pos : 5 , 0 , 0"), std::string::npos);
    EXPECT_FALSE(Editor().GetHistory()->IsModified());
    EXPECT_EQ(changes.Notice(), "");
}

TEST_F(UnsavedWorkTest, EscapeAsksFirstAndEachButtonDoesWhatItSays) {
    CreateAt(1, 0, 0);
    // Escape with unsaved changes opens the popup instead of ending the program; Escape again cancels it.
    EXPECT_EQ(RunWith(PlatformMessage{PlatformMessage::Kind::KeyDown, 0, DIK_ESCAPE}), 7);
    EXPECT_TRUE(Guard().IsAsking());
    EXPECT_EQ(RunWith(PlatformMessage{PlatformMessage::Kind::KeyDown, 0, DIK_ESCAPE}), 7);
    EXPECT_FALSE(Guard().IsAsking());
    EXPECT_EQ(RunWith(PlatformMessage{PlatformMessage::Kind::Close}), 7);
    EXPECT_TRUE(Guard().IsAsking());
    ASSERT_TRUE(Gui().Click(CUnsavedGuard::kPopup, {"Cancel"}));
    EXPECT_FALSE(Guard().IsAsking());
    EXPECT_FALSE(QuitPosted());

    // A failing save keeps the editor open and shows why.
    Editor().CurrentFile().Choose((dir_.Path() / "no such folder/stage.txt").string());
    Ask();
    ASSERT_TRUE(Gui().Click(CUnsavedGuard::kPopup, {"Save"}));
    EXPECT_FALSE(QuitPosted());
    EXPECT_TRUE(Editor().GetFileMenu()->HasError());
    Gui().Idle();
    EXPECT_TRUE(Editor().GetHistory()->IsModified());
    ASSERT_TRUE(Gui().Click(CFileMenu::kErrorPopup, {"Close"}));

    Editor().CurrentFile().Choose(FilePath("stage.txt").string());
    Ask();
    ASSERT_TRUE(Gui().Click(CUnsavedGuard::kPopup, {"Save"}));
    EXPECT_TRUE(QuitPosted());
    EXPECT_NE(TempDir::Read(FilePath("stage.txt")).find("Pos : 1 , 0 , 0"), std::string::npos);
    EXPECT_FALSE(Editor().GetHistory()->IsModified());
    EXPECT_TRUE(Guard().RequestQuit(CUnsavedGuard::Request::Escape));  // nothing unsaved: ends at once

    CreateAt(2, 0, 0);
    ASSERT_TRUE(Editor().GetAutosave()->Write(Platform().TimeGetTime()));
    Ask();
    ASSERT_TRUE(Gui().Click(CUnsavedGuard::kPopup, {"Discard"}));
    EXPECT_TRUE(QuitPosted());
    EXPECT_FALSE(fs::exists(Recovery()));
}

TEST_F(UnsavedWorkTest, AutosaveWritesOnceThirtySecondsHavePassedAndNotDuringADrag) {
    CAutosave& autosave = *Editor().GetAutosave();
    CreateAt(1, 0, 0);
    Platform().Advance(25000);
    Gui().Idle();
    EXPECT_EQ(autosave.Writes(), 0);

    // Thirty seconds pass while a drag is held: nothing is written until it ends.
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1"}));
    std::optional<ImVec2> pos = Gui().Locate(GuiDriver::kObjectList, {"Item 1", "Pos", 0});
    ASSERT_TRUE(pos);
    Platform().SetCursor(static_cast<LONG>(pos->x), static_cast<LONG>(pos->y));
    Platform().SetMouseButton(0, true);
    app_->Frames(2);
    Platform().Advance(10000);
    Platform().SetCursor(static_cast<LONG>(pos->x) + 30, static_cast<LONG>(pos->y));
    app_->Frames(3);
    EXPECT_EQ(autosave.Writes(), 0);
    Platform().SetMouseButton(0, false);
    app_->Frames(2);
    ASSERT_EQ(autosave.Writes(), 1);
    autosave.Wait();
    ASSERT_TRUE(autosave.LastResult().ok) << autosave.LastResult().Describe();
    float x = StageGroup("TEST")[0].part.Pos.x;
    EXPECT_GT(x, 1.0f);
    char digits[32];
    std::string written(digits, std::to_chars(digits, digits + sizeof(digits), x).ptr);
    EXPECT_NE(TempDir::Read(Recovery()).find("Pos : " + written + " , 0 , 0"), std::string::npos) << TempDir::Read(Recovery());

    // No second write within thirty seconds, nor without a change; a save removes the file.
    CreateAt(2, 0, 0);
    Platform().Advance(20000);
    Gui().Idle();
    EXPECT_EQ(autosave.Writes(), 1);
    Gui().Chord(DIK_LCONTROL, DIK_S);
    EXPECT_FALSE(fs::exists(Recovery()));
}

TEST_F(UnsavedWorkTest, AnAutosaveCopiedOverSeveralFramesStartsAgainWhenTheStageChanges) {
    CAutosave& autosave = *Editor().GetAutosave();
    autosave.SetSliceObjects(1);
    for (int x = 1; x <= 3; ++x) CreateAt(static_cast<float>(x), 0, 0);
    ASSERT_TRUE(autosave.Write(Platform().TimeGetTime()));
    EXPECT_TRUE(autosave.IsCopying());
    CreateAt(4, 0, 0);  // while the copy is under way
    Gui().Idle(6);
    ASSERT_EQ(autosave.Writes(), 1);
    EXPECT_GE(autosave.Restarts(), 1);
    autosave.Wait();
    ASSERT_TRUE(autosave.LastResult().ok) << autosave.LastResult().Describe();
    const std::string text = TempDir::Read(Recovery());
    EXPECT_NE(text.find("Pos : 4 , 0 , 0"), std::string::npos) << text;
    std::size_t objects = 0;
    for (std::size_t at = text.find("Index :"); at != std::string::npos; at = text.find("Index :", at + 1)) ++objects;
    EXPECT_EQ(objects, 4u) << text;
}

TEST_F(UnsavedWorkTest, TheRecoveryFileOfAPrivateStageFileIsPrivate) {
    WriteFile("stage.txt", "Tag : TEST\n");
    fs::permissions(FilePath("stage.txt"), fs::perms::owner_read | fs::perms::owner_write);
    CreateAt(1, 0, 0);
    CAutosave& autosave = *Editor().GetAutosave();
    ASSERT_TRUE(autosave.Write(Platform().TimeGetTime()));
    autosave.Wait();
    ASSERT_TRUE(autosave.LastResult().ok) << autosave.LastResult().Describe();
    EXPECT_EQ(fs::status(Recovery()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(UnsavedWorkTest, EscapeClosesAnotherPopupBeforeTheGuardAsks) {
    CreateAt(1, 0, 0);
    WriteFile("stage.txt", "Tag : A\nIndex : -1\n");
    EXPECT_FALSE(Editor().GetFileMenu()->LoadText().ok);
    Gui().Idle();
    ASSERT_NE(ImGui::GetTopMostPopupModal(), nullptr);
    EXPECT_EQ(RunWith(PlatformMessage{PlatformMessage::Kind::KeyDown, 0, DIK_ESCAPE}), 7);
    EXPECT_FALSE(Guard().IsAsking());
    EXPECT_FALSE(Editor().GetFileMenu()->HasError());
    EXPECT_EQ(ImGui::GetTopMostPopupModal(), nullptr);
    EXPECT_EQ(RunWith(PlatformMessage{PlatformMessage::Kind::KeyDown, 0, DIK_ESCAPE}), 7);
    EXPECT_TRUE(Guard().IsAsking());
}

// A new editor started over the recovery file that an editor ended without saving left behind.
class RecoveryTest : public UnsavedWorkTest {
protected:
    void PrepareData() override {
        WriteFile("stage.txt", "Tag : TEST\n");
        WriteFile("stage.txt.autosave",
                  "Tag : HALL\nIndex : 0\nPos : 4 , 5 , 6\nRot : 0 , 0 , 0\nScale : 1 , 1 , 1\nModelLabel : SPHERE\n"
                  "ObjectLabel : door\n");
        fs::last_write_time(FilePath("stage.txt"), fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    CRecoveryPrompt& Prompt() { return *Editor().GetRecoveryPrompt(); }
};

TEST_F(RecoveryTest, RecoverRestoresTheEditsAsUnsaved) {
    ASSERT_TRUE(Prompt().IsOffered());
    EXPECT_NE(Prompt().Message().find("stage.txt.autosave"), std::string::npos) << Prompt().Message();
    EXPECT_NE(Prompt().Message().find("Data/FILE/stage.txt ("), std::string::npos) << Prompt().Message();
    ASSERT_TRUE(Gui().Click(CRecoveryPrompt::kPopup, {"Recover"}));
    ASSERT_EQ(StageGroup("HALL").size(), 1u);
    EXPECT_EQ(EditorGroup("HALL")[0].part.ObjectLabel, "door");
    EXPECT_EQ(Editor().SelectedTag(), "HALL");
    EXPECT_TRUE(Editor().GetHistory()->IsModified());
    EXPECT_TRUE(fs::exists(Recovery()));  // kept until the stage is saved
}

TEST_F(RecoveryTest, EscapeLeavesTheChoiceForLaterAndKeepsTheEditorOpen) {
    EXPECT_EQ(RunWith(PlatformMessage{PlatformMessage::Kind::KeyDown, 0, DIK_ESCAPE}), 7);
    EXPECT_FALSE(Prompt().IsOffered());
    EXPECT_EQ(ImGui::GetTopMostPopupModal(), nullptr);
    EXPECT_TRUE(fs::exists(Recovery()));
    EXPECT_TRUE(StageGroup("HALL").empty());
}

TEST_F(RecoveryTest, DiscardDeletesTheRecoveryFile) {
    ASSERT_TRUE(Gui().Click(CRecoveryPrompt::kPopup, {"Discard"}));
    EXPECT_FALSE(fs::exists(Recovery()));
    EXPECT_TRUE(StageGroup("HALL").empty());
    EXPECT_FALSE(Editor().GetHistory()->IsModified());
}

class OldRecoveryTest : public RecoveryTest {
protected:
    void PrepareData() override {
        RecoveryTest::PrepareData();
        fs::last_write_time(FilePath("stage.txt"), fs::file_time_type::clock::now() + std::chrono::hours(1));
    }
};

TEST_F(OldRecoveryTest, ARecoveryFileOlderThanTheStageFileIsNotOffered) { EXPECT_FALSE(Prompt().IsOffered()); }

// Started on the stage file, as from the command line: the recovery file replaces what it gave.
class RecoveryOfFileTest : public RecoveryTest {
protected:
    void PrepareData() override {
        WriteFile("stage.txt", Stage(1));
        WriteFile("stage.txt.autosave", Stage(2));
        fs::last_write_time(FilePath("stage.txt"), fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    std::string StartFile() const override { return "Data/FILE/stage.txt"; }
};

TEST_F(RecoveryOfFileTest, RecoverReplacesTheStageAndKeepsItsFile) {
    ASSERT_TRUE(Gui().Click(CRecoveryPrompt::kPopup, {"Recover"}));
    EXPECT_EQ(StageGroup("HALL").size(), 2u);
    EXPECT_EQ(Editor().tags, std::vector<std::string>{"HALL"});
    EXPECT_EQ(Editor().CurrentFile().TextPath(), "Data/FILE/stage.txt");
    EXPECT_TRUE(Editor().GetHistory()->IsModified());
    EXPECT_NE(
        Menu().Status().find("Recovered 2 objects in 1 group from Data/FILE/stage.txt.autosave, in place of"),
        std::string::npos)
        << Menu().Status();
    Gui().Chord(DIK_LCONTROL, DIK_S);
    EXPECT_EQ(TempDir::Read(FilePath("stage.txt")), Stage(2));
}

}  // namespace
