// The object list and inspector driven through their widgets: selection, drags, object labels, and a
// long list of which only the visible rows are built.
#include "editor_fixture.h"

namespace {

class ObjectListTest : public EditorTest {
protected:
    // Three objects in "TEST" at x = 1, 2, 3.
    void MakeThree() {
        for (float x : {1.0f, 2.0f, 3.0f}) CreateAt(x, 0, 0);
        ASSERT_EQ(EditorGroup("TEST").size(), 3u);
    }
    // Fills "TEST" with n objects directly through the stage.
    void Fill(int n) {
        ObjectPart part{};
        part.Scale = D3DXVECTOR3(1, 1, 1);
        part.ModelLabel = "SPHERE";
        for (int i = 0; i < n; ++i) {
            part.Pos.x = static_cast<float>(i);
            Stage().CreateObject(part, "TEST", "SPHERE");
        }
        Editor().RefreshGroup("TEST");
        Gui().Idle();
    }
    ImGuiWindow* List() { return GuiDriver::FindWindow(GuiDriver::kObjectList); }
};

TEST_F(ObjectListTest, ClickingANodeSelectsItsObjectAndOpensIt) {
    MakeThree();
    EXPECT_FALSE(Stage().IsSelectionValid());
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 2"}));
    EXPECT_TRUE(Stage().IsSelectionValid());
    EXPECT_EQ(Stage().GetSelectedIndex(), 1);
    // The open node shows its inspector.
    EXPECT_TRUE(Gui().Locate(GuiDriver::kObjectList, {"Item 2", "Pos", 0}));
    // A click that closes the node selects it too.
    Stage().Select(0);
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 2"}));
    EXPECT_EQ(Stage().GetSelectedIndex(), 1);
    EXPECT_FALSE(Gui().Locate(GuiDriver::kObjectList, {"Item 2", "Pos", 0}));
}

TEST_F(ObjectListTest, DraggingPosReachesTheStageInTheSameFrame) {
    CreateAt(0, 0, 0);
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1"}));
    std::optional<ImVec2> x = Gui().Locate(GuiDriver::kObjectList, {"Item 1", "Pos", 0});
    ASSERT_TRUE(x);
    LONG cx = static_cast<LONG>(x->x), cy = static_cast<LONG>(x->y);
    Platform().SetCursor(cx, cy);
    app_->Frames(1);
    Platform().SetMouseButton(0, true);
    app_->Frames(1);
    for (int step = 1; step <= 6; ++step) {
        Platform().SetCursor(cx + 5 * step, cy);
        app_->Device().ClearLog();
        app_->Frames(1);
        // In every frame the stage holds the edited value and draws the object with it.
        float edited = EditorGroup("TEST")[0].part.Pos.x;
        EXPECT_FLOAT_EQ(StageGroup("TEST")[0].part.Pos.x, edited);
        ASSERT_FALSE(app_->Device().Draws().empty());
        EXPECT_FLOAT_EQ(app_->Device().Draws().back().world._41, edited);
    }
    Platform().SetMouseButton(0, false);
    app_->Frames(1);
    EXPECT_GT(EditorGroup("TEST")[0].part.Pos.x, 1.0f);
    EXPECT_FLOAT_EQ(Pointer().GetPos().x, 0.0f);  // the inspector edits the object, not the pointer
}

// Ctrl+click types a number in; one beyond the float range would be an infinity and is not taken.
TEST_F(ObjectListTest, TheInspectorTakesNoNonFiniteNumbers) {
    CreateAt(2, 0, 0);
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1"}));
    Platform().SetKey(DIK_LCONTROL, true);
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1", "Pos", 0}));
    Platform().SetKey(DIK_LCONTROL, false);
    Gui().Type("-1e39");
    Gui().Key(DIK_RETURN);
    EXPECT_FLOAT_EQ(StageGroup("TEST")[0].part.Pos.x, 2.0f);
}

TEST_F(ObjectListTest, UpdateTagSetsAndClearsTheObjectLabel) {
    MakeThree();
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 2"}));
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 2", "ObjectTag"}));
    Gui().Type("door 1");
    Gui().Idle();
    EXPECT_EQ(EditorGroup("TEST")[1].part.ObjectLabel, "");  // nothing until "Update Tag"
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 2", "Update Tag"}));
    EXPECT_EQ(EditorGroup("TEST")[1].part.ObjectLabel, "door 1");
    EXPECT_EQ(StageGroup("TEST")[1].part.ObjectLabel, "door 1");
    // The node now reads the label, and the next one still counts its position.
    EXPECT_TRUE(Gui().Locate(GuiDriver::kObjectList, {"door 1"}));
    EXPECT_TRUE(Gui().Locate(GuiDriver::kObjectList, {"Item 3"}));

    // Emptying the field and updating brings the generated label back.
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"door 1"}));
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"door 1", "ObjectTag"}));
    Gui().Chord(DIK_LCONTROL, DIK_A);
    Gui().Key(DIK_BACK);
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"door 1", "Update Tag"}));
    EXPECT_EQ(EditorGroup("TEST")[1].part.ObjectLabel, "");
    EXPECT_TRUE(Gui().Locate(GuiDriver::kObjectList, {"Item 2"}));
    EXPECT_EQ(EditorGroup("TEST").size(), 3u);  // the keys typed into the field deleted nothing
}

TEST_F(ObjectListTest, ALongListBuildsOnlyItsVisibleRowsAndEveryPositionHasAField) {
    Fill(1500);
    EXPECT_LT(Editor().GetObjectList()->DrawnRows(), 20);
    // Scrolled to the end, the last object can be opened and labelled through its own field.
    ImGui::SetScrollY(List(), 1.0e9f);
    Gui().Idle(2);
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1500"}));
    EXPECT_EQ(Stage().GetSelectedIndex(), 1499);
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1500", "ObjectTag"}));
    Gui().Type("last");
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1500", "Update Tag"}));
    EXPECT_EQ(EditorGroup("TEST")[1499].part.ObjectLabel, "last");
    EXPECT_EQ(Editor().GetObjectList()->ObjectTagText(1499), "last");
    EXPECT_EQ(Editor().GetObjectList()->ObjectTagText(475), "");
    EXPECT_EQ(StageGroup("TEST").size(), 1500u);
    EXPECT_FLOAT_EQ(StageGroup("TEST")[1499].part.Pos.x, 1499.0f);
}

TEST_F(ObjectListTest, AnOpenRowKeepsTheRowsBelowItInPlace) {
    Fill(300);
    std::optional<ImVec2> first = Gui().Locate(GuiDriver::kObjectList, {"Item 1"});
    std::optional<ImVec2> second = Gui().Locate(GuiDriver::kObjectList, {"Item 2"});
    ASSERT_TRUE(first && second);
    const float closed = second->y - first->y;
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 2"}));
    std::optional<ImVec2> third = Gui().Locate(GuiDriver::kObjectList, {"Item 3"});
    ASSERT_TRUE(third);
    const float open = third->y - second->y;
    EXPECT_GT(open, 3 * closed);
    // The content height counts every row, the open one included, so the end of the list is reachable.
    EXPECT_FLOAT_EQ(List()->ContentSize.y, 299 * closed + open - ImGui::GetStyle().ItemSpacing.y);

    // Scrolled so that the open row is no longer built, the rows below it keep their places.
    ImGui::SetScrollY(List(), 170.0f);
    Gui().Idle(2);
    std::optional<ImVec2> after = Gui().Locate(GuiDriver::kObjectList, {"Item 4"});
    ASSERT_TRUE(after);
    EXPECT_FLOAT_EQ(after->y, third->y + closed - 170.0f);
    EXPECT_FLOAT_EQ(List()->ContentSize.y, 299 * closed + open - ImGui::GetStyle().ItemSpacing.y);
}

}  // namespace
