// Undo and redo driven through the real keys, widgets and the "Edit" menu: every kind of edit comes back
// in both copies of the groups, with the tag list and the selection; a drag is one step; the modified
// marker follows edits, saves and undo.
#include "editor_fixture.h"

#include "document/edit_history.h"

namespace {

// What an undo must bring back: both copies of every group, the tags and the selection.
struct State {
    std::map<std::string, std::vector<std::string>> editor, stage;
    std::vector<std::string> tags;
    int tagIndex;
    int selected;
    bool selectionValid;
    bool operator==(const State&) const = default;
};

std::vector<std::string> Describe(const std::vector<StageObject>& group) {
    std::vector<std::string> out;
    for (const StageObject& o : group)
        out.push_back(std::to_string(o.part.Pos.x) + "," + std::to_string(o.part.Scale.x) + "," + o.part.ObjectLabel);
    return out;
}

class EditHistoryTest : public EditorTest {
protected:
    State Now() {
        State state{{}, {}, Editor().tags, Editor().tagIndex, Stage().GetSelectedIndex(), Stage().IsSelectionValid()};
        // Empty groups come and go with every look-up; they are not part of what the user sees.
        for (const auto& [tag, group] : Editor().groups)
            if (!group.empty()) state.editor[tag] = Describe(group);
        for (const auto& [tag, group] : Stage().Groups())
            if (!group.empty()) state.stage[tag] = Describe(group);
        return state;
    }
    CEditHistory& History() { return *Editor().GetHistory(); }
    void Undo() { Gui().Chord(DIK_LCONTROL, DIK_Z); }
    void Redo() { Gui().Chord(DIK_RCONTROL, DIK_Y); }
    void Menu(const std::string& menu, const std::string& item) {
        ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"##menubar", menu}));
        ASSERT_TRUE(Gui().Click(GuiDriver::kMenu, {item}));
    }
    // Runs an edit and checks that undo gives the state before it and redo the state after it.
    template <typename Edit>
    void ExpectUndoable(const char* name, Edit edit) {
        SCOPED_TRACE(name);
        State before = Now();
        edit();
        Gui().Idle();
        State after = Now();
        ASSERT_NE(before, after);
        EXPECT_EQ(History().UndoName(), name);
        Undo();
        EXPECT_EQ(Now(), before);
        Redo();
        EXPECT_EQ(Now(), after);
    }
    bool Modified() { return History().IsModified(); }
};

TEST_F(EditHistoryTest, EveryObjectEditComesBackInBothCopies) {
    ExpectUndoable("Create object", [&] { CreateAt(1, 0, 0); });
    CreateAt(2, 0, 0);
    Stage().Select(0);
    ExpectUndoable("Delete object", [&] { Gui().Key(DIK_DELETE); });
    Stage().Select(0);
    Gui().Chord(DIK_LCONTROL, DIK_C);
    Pointer().SetPos(D3DXVECTOR3(7, 0, 0));
    ExpectUndoable("Paste object", [&] { Gui().Chord(DIK_LCONTROL, DIK_V); });
    ASSERT_TRUE(Gui().Drag(GuiDriver::kMain, {"AddAllObjectScale", 0}, 30));
    ExpectUndoable("Add scale to group", [&] { ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"AddValue"})); });
    // Ctrl+Shift+Z redoes as Ctrl+Y does.
    Undo();
    State undone = Now();
    Platform().SetKey(DIK_RSHIFT, true);
    Gui().Chord(DIK_RCONTROL, DIK_Z);
    Platform().SetKey(DIK_RSHIFT, false);
    EXPECT_NE(Now(), undone);
    EXPECT_EQ(History().RedoCount(), 0u);
}

TEST_F(EditHistoryTest, ADragIsOneStepAndTheInspectorEditsAreUndone) {
    CreateAt(0, 0, 0);
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1"}));
    std::size_t steps = History().UndoCount();
    State before = Now();
    ASSERT_TRUE(Gui().Drag(GuiDriver::kObjectList, {"Item 1", "Pos", 0}, 40));
    Gui().Idle();
    EXPECT_GT(EditorGroup("TEST")[0].part.Pos.x, 1.0f);
    EXPECT_EQ(History().UndoCount(), steps + 1);
    EXPECT_EQ(History().UndoName(), "Edit Pos");
    Undo();
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(StageGroup("TEST")[0].part.Pos.x, 0.0f);

    ExpectUndoable("Update Tag", [&] {
        ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1", "ObjectTag"}));
        Gui().Type("door");
        ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1", "Update Tag"}));
    });
}

TEST_F(EditHistoryTest, TagEditsAndLoadsComeBackWithTheTagList) {
    CreateAt(1, 0, 0);
    ExpectUndoable("Add tag", [&] { ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"SetTag"})); });
    ExpectUndoable("Rename tag", [&] { ASSERT_TRUE(Editor().RenameSelectedTag("HALL")); });
    ExpectUndoable("Copy group", [&] { Editor().CopyTagGroup(0, 1); });
    WriteFile("stage.txt", "Tag : A\nIndex : 0\nPos : 5 , 0 , 0\nScale : 1 , 1 , 1\nModelLabel : SPHERE\n");
    History().MarkSaved();  // nothing unsaved: the load does not ask first
    ExpectUndoable("LoadText", [&] { Menu("File", "LoadText"); });
    // Undoing everything gives the stage as it started.
    while (History().CanUndo()) Undo();
    EXPECT_TRUE(Editor().groups["TEST"].empty());
    EXPECT_TRUE(StageGroup("TEST").empty());
    EXPECT_EQ(Editor().tags, std::vector<std::string>{"TEST"});
}

TEST_F(EditHistoryTest, AGroupCopyComesBackInBothCopiesWhicheverTagIsSelected) {
    CreateAt(1, 0, 0);
    Editor().AddTag("HALL");
    Gui().Idle();
    const State before = Now();
    ASSERT_EQ(Editor().CopyTagGroup(0, 1), "");
    Gui().Idle();
    const State after = Now();
    ASSERT_EQ(after.stage.count("HALL"), 1u);  // the stage holds the copy at once: drawn and saved
    EXPECT_EQ(after.stage, after.editor);
    for (int selected : {1, 0}) {
        SCOPED_TRACE(selected);
        Editor().tagIndex = selected;
        Gui().Idle();
        Undo();
        EXPECT_EQ(Now().editor, before.editor);
        EXPECT_EQ(Now().stage, before.stage);
        Redo();
        EXPECT_EQ(Now().editor, after.editor);
        EXPECT_EQ(Now().stage, after.stage);
    }
}

TEST_F(EditHistoryTest, TheEditMenuNamesTheStepsAndIsGreyedWhenEmpty) {
    CreateAt(1, 0, 0);
    Menu("Edit", "###Undo");
    EXPECT_TRUE(EditorGroup("TEST").empty());
    EXPECT_EQ(History().RedoName(), "Create object");
    Menu("Edit", "###Redo");
    EXPECT_EQ(EditorGroup("TEST").size(), 1u);
    Undo();
    // Nothing is left to undo: the item is greyed and a click on it does nothing.
    Menu("Edit", "###Undo");
    EXPECT_EQ(History().RedoCount(), 1u);
    EXPECT_TRUE(EditorGroup("TEST").empty());
}

TEST_F(EditHistoryTest, TheModifiedMarkerFollowsEditsSavesAndUndo) {
    EXPECT_FALSE(Modified());
    CreateAt(1, 0, 0);
    EXPECT_TRUE(Modified());
    Gui().Chord(DIK_LCONTROL, DIK_S);
    EXPECT_FALSE(Modified());
    EXPECT_TRUE(std::filesystem::exists(FilePath("stage.txt")));
    CreateAt(2, 0, 0);
    EXPECT_TRUE(Modified());
    Undo();
    EXPECT_FALSE(Modified());  // back at the saved point
    Undo();
    EXPECT_TRUE(Modified());
    Redo();
    EXPECT_FALSE(Modified());
    // Either Ctrl makes S a save, never a move of the pointer.
    CreateAt(3, 0, 0);
    const D3DXVECTOR3 at = Pointer().GetPos();
    Gui().Chord(DIK_RCONTROL, DIK_S);
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Pointer().GetPos().x, at.x);
    EXPECT_EQ(Pointer().GetPos().z, at.z);
}

TEST_F(EditHistoryTest, TheHistoryIsBoundedAndStoresOnlyWhatChanged) {
    for (int i = 0; i < 200; ++i) CreateAt(static_cast<float>(i), 0, 0);
    std::size_t bytes = History().Bytes();
    // A step of one object keeps about the object twice (both copies), not the group.
    EXPECT_LT(bytes / 200, 4 * sizeof(StageObject) + 512);
    for (std::size_t i = 0; i < CEditHistory::kMaxSteps; ++i) {
        History().Begin("Edit Pos");
        History().TouchObject("TEST", 0);
        EditorGroup("TEST")[0].part.Pos.y += 1.0f;
        History().End();
    }
    EXPECT_EQ(History().UndoCount(), CEditHistory::kMaxSteps);
    EXPECT_EQ(History().UndoName(), "Edit Pos");
}

}  // namespace
