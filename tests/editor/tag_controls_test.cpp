// The tag controls driven through their widgets: adding tags, the context menu, renaming and copying.
#include "editor/tag_panel.h"
#include "editor_fixture.h"

namespace {

using Tags = std::vector<std::string>;

class TagControlsTest : public EditorTest {
protected:
    // Types a name into "##StageLabel" and presses "SetTag".
    void SetTag(const std::string& name) {
        ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"##StageLabel"}));
        Gui().Type(name);
        ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"SetTag"}));
    }
    // Right-clicks the tag combo and picks an entry of its context menu.
    void ContextEntry(const std::string& entry) {
        ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"StageTagList"}, 1));
        ImGuiID combo = GuiDriver::WidgetId(GuiDriver::FindWindow(GuiDriver::kMain), {"StageTagList"});
        char popup[32];
        std::snprintf(popup, sizeof(popup), "##Popup_%08x", combo);
        ASSERT_TRUE(Gui().Click(popup, {entry}));
    }
    // Opens a combo and picks the entry at a list position.
    void Choose(const std::string& combo, int index, const std::string& label) {
        ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {combo}));
        ASSERT_TRUE(Gui().Click(GuiDriver::kCombo, {index, label}));
    }
    bool PopupOpen() { return ImGui::GetCurrentContext()->OpenPopupStack.Size > 0; }
};

TEST_F(TagControlsTest, SetTagAppendsTheTextEveryTimeAndAnEmptyName) {
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"SetTag"}));
    EXPECT_EQ(Editor().tags, (Tags{"TEST", ""}));
    SetTag("A");
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"SetTag"}));
    EXPECT_EQ(Editor().tags, (Tags{"TEST", "", "A", "A"}));
    EXPECT_EQ(Editor().tagIndex, 0);
    // Both equal entries are offered and can be chosen one by one.
    Choose("StageTagList", 3, "A");
    EXPECT_EQ(Editor().tagIndex, 3);
}

TEST_F(TagControlsTest, ContextMenuNeedsARightPressOnTheCombo) {
    std::optional<ImVec2> combo = Gui().Locate(GuiDriver::kMain, {"StageTagList"});
    ASSERT_TRUE(combo);
    // A right press that began elsewhere and ends over the combo opens nothing.
    Platform().SetCursor(1000, 600);
    Platform().SetMouseButton(1, true);
    app_->Frames(1);
    Platform().SetCursor(static_cast<LONG>(combo->x), static_cast<LONG>(combo->y));
    app_->Frames(1);
    Platform().SetMouseButton(1, false);
    app_->Frames(2);
    EXPECT_FALSE(PopupOpen());

    Gui().ClickAt(*combo, 1);
    EXPECT_TRUE(PopupOpen());
    EXPECT_FALSE(Editor().GetTagControls()->IsChangeMode());
}

TEST_F(TagControlsTest, RenameWithEnterMovesTheGroupAndCreatesNothing) {
    CreateAt(1, 2, 3);
    ASSERT_EQ(EditorGroup("TEST").size(), 1u);
    ContextEntry("Change");
    ASSERT_TRUE(Editor().GetTagControls()->IsChangeMode());
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"ChangeTag"}));
    Gui().Type("Level1");
    Gui().Key(DIK_RETURN);
    Gui().Idle(2);

    EXPECT_EQ(Editor().tags, (Tags{"Level1"}));
    EXPECT_FALSE(Editor().GetTagControls()->IsChangeMode());
    EXPECT_EQ(Editor().groups.count("TEST"), 0u);
    EXPECT_EQ(EditorGroup("Level1").size(), 1u);  // the Enter confirmed the name and created nothing
    // The stage's group moves too: nothing is left under the old name to be drawn or saved twice.
    EXPECT_EQ(Stage().Groups().count("TEST"), 0u);
    EXPECT_EQ(StageGroup("Level1").size(), 1u);
}

TEST_F(TagControlsTest, RenameWithKeypadEnterOfATagWithoutAGroup) {
    SetTag("B");
    Choose("StageTagList", 1, "B");
    Editor().groups.erase("B");  // the selected tag has no group in the working copy
    ContextEntry("Change");
    // An empty field keeps the rename open.
    Gui().Key(DIK_NUMPADENTER);
    EXPECT_TRUE(Editor().GetTagControls()->IsChangeMode());
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"ChangeTag"}));
    Gui().Type("C");
    Gui().Key(DIK_NUMPADENTER);
    EXPECT_EQ(Editor().tags, (Tags{"TEST", "C"}));
    EXPECT_FALSE(Editor().GetTagControls()->IsChangeMode());
}

TEST_F(TagControlsTest, CopyOkCopiesTheSelectedGroupAndNoOnlyCloses) {
    CreateAt(1, 0, 0);
    CreateAt(2, 0, 0);
    SetTag("T2");
    ContextEntry("Copy");
    ASSERT_TRUE(Editor().GetTagControls()->IsCopyMode());
    Choose("CopyTarget", 1, "T2");
    EXPECT_EQ(Editor().GetTagControls()->CopyTargetIndex(), 1);
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"OK"}));
    EXPECT_FALSE(Editor().GetTagControls()->IsCopyMode());
    EXPECT_EQ(Editor().GetTagControls()->CopyTargetIndex(), 0);
    ASSERT_EQ(EditorGroup("T2").size(), 2u);
    EXPECT_FLOAT_EQ(EditorGroup("T2")[1].part.Pos.x, 2.0f);
    // The stage takes the copy over once the target is the selected tag.
    Choose("StageTagList", 1, "T2");
    Gui().Idle();
    EXPECT_EQ(StageGroup("T2").size(), 2u);

    // "NO" closes the controls, resets the target and copies nothing.
    ContextEntry("Copy");
    Choose("CopyTarget", 0, "TEST");
    Choose("CopySource", 1, "T2");
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"NO"}));
    EXPECT_FALSE(Editor().GetTagControls()->IsCopyMode());
    EXPECT_EQ(Editor().GetTagControls()->CopyTargetIndex(), 0);
    EXPECT_EQ(EditorGroup("TEST").size(), 2u);
}

TEST_F(TagControlsTest, RenamingATagToItsOwnNameKeepsItsObjects) {
    CreateAt(0, 0, 0);
    EXPECT_FALSE(Editor().RenameSelectedTag("TEST"));
    Gui().Idle();
    EXPECT_EQ(EditorGroup("TEST").size(), 1u);
    EXPECT_EQ(StageGroup("TEST").size(), 1u);
}

TEST_F(TagControlsTest, MirroringPairsTheSelectedTagWithItself) {
    SetTag("Z");
    Choose("StageTagList", 1, "Z");
    CreateAt(5, 0, 0);
    ASSERT_EQ(StageGroup("Z").size(), 1u);
    // Whatever the working copy's group of the selected tag holds reaches the stage's group of that tag,
    // and the first tag's group is left alone.
    EditorGroup("Z").push_back(EditorGroup("Z")[0]);
    Gui().Idle();
    EXPECT_EQ(StageGroup("Z").size(), 2u);
    EXPECT_TRUE(StageGroup("TEST").empty());
}

}  // namespace

TEST_F(TagControlsTest, ManyTagsBuildOnlyTheRowsInViewAndFollowANameChangedInPlace) {
    for (int i = 0; i < 5000; ++i) Editor().tags.push_back("T" + std::to_string(i));
    Gui().Idle();
    const int drawn = Editor().GetTagPanel()->DrawnRows();
    EXPECT_TRUE(drawn > 3 && drawn < 40) << drawn;
    Editor().tags[1] = "RENAMED";  // same count, no step of the history
    ASSERT_TRUE(Gui().Click(CTagPanel::kWindow, {"RENAMED", "###Tag"}));
    EXPECT_EQ(Editor().tagIndex, 1);
    Choose("StageTagList", 4, "T3");
    EXPECT_EQ(Editor().tagIndex, 4);
}
