// The creation panel driven through its widgets and keys: creating at the pointer, the model choice,
// delete, copy and paste, the group scale, and keys typed into text fields.
#include "editor_fixture.h"

namespace {

class CreationPanelTest : public EditorTest {};

TEST_F(CreationPanelTest, EnterCreatesAtThePointerWithTheHeaderClosed) {
    Pointer().SetPos(D3DXVECTOR3(1, 2, 3));
    Pointer().Rot() = D3DXVECTOR3(0, 1.5f, 0);
    Pointer().Scale() = D3DXVECTOR3(2, 2, 2);
    Gui().Key(DIK_RETURN);
    ASSERT_EQ(StageGroup("TEST").size(), 1u);
    const ObjectPart& part = StageGroup("TEST")[0].part;
    EXPECT_FLOAT_EQ(part.Pos.z, 3.0f);
    EXPECT_FLOAT_EQ(part.Rot.y, 1.5f);
    EXPECT_FLOAT_EQ(part.Scale.x, 2.0f);
    EXPECT_EQ(part.ModelLabel, "SPHERE");  // the first label of the catalog
    EXPECT_NE(StageGroup("TEST")[0].model, kNoModel);
    EXPECT_EQ(EditorGroup("TEST").size(), 1u);
    EXPECT_EQ(Stage().GetCurrentTag(), "TEST");
    // The main Enter only: the keypad Enter creates nothing.
    Gui().Key(DIK_NUMPADENTER);
    EXPECT_EQ(StageGroup("TEST").size(), 1u);
}

TEST_F(CreationPanelTest, ChoosingAModelShowsItOnThePointerAndCreatesIt) {
    const std::vector<std::string>& labels = Editor().GetCreationPanel()->ModelLabels();
    ASSERT_GE(labels.size(), 3u);
    std::size_t models = Pointer().Models().size();
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"Model"}));
    ASSERT_TRUE(Gui().Click(GuiDriver::kCombo, {2, labels[2]}));
    EXPECT_EQ(Editor().modelIndex, 2);
    EXPECT_EQ(Pointer().Models().size(), models + 1);
    Gui().Key(DIK_RETURN);
    ASSERT_EQ(StageGroup("TEST").size(), 1u);
    EXPECT_EQ(StageGroup("TEST")[0].part.ModelLabel, labels[2]);
}

TEST_F(CreationPanelTest, TheCreateObjectDragsMoveThePointer) {
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"CreateObject"}));
    float before = Pointer().GetPos().x;
    ASSERT_TRUE(Gui().Drag(GuiDriver::kMain, {"Pos", 0}, 30));
    EXPECT_GT(Pointer().GetPos().x, before + 1.0f);
    EXPECT_FLOAT_EQ(Editor().GetCreationPanel()->Prototype().Pos.x, Pointer().GetPos().x);
}

TEST_F(CreationPanelTest, DeleteNeedsAValidSelection) {
    for (float x : {1.0f, 2.0f, 3.0f}) CreateAt(x, 0, 0);
    Gui().Key(DIK_DELETE);
    EXPECT_EQ(StageGroup("TEST").size(), 3u);

    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 2"}));
    Gui().Key(DIK_DELETE);
    ASSERT_EQ(StageGroup("TEST").size(), 2u);
    EXPECT_FLOAT_EQ(StageGroup("TEST")[1].part.Pos.x, 3.0f);
    EXPECT_EQ(EditorGroup("TEST").size(), 2u);
    EXPECT_FALSE(Stage().IsSelectionValid());
    Gui().Key(DIK_DELETE);
    EXPECT_EQ(StageGroup("TEST").size(), 2u);
}

TEST_F(CreationPanelTest, CopyAndPastePlaceTheCopyAtThePointer) {
    Pointer().Rot() = D3DXVECTOR3(0.5f, 0, 0);
    CreateAt(1, 0, 0);
    Pointer().Rot() = D3DXVECTOR3(0, 0, 0);
    CreateAt(2, 0, 0);
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1"}));
    Gui().Chord(DIK_LCONTROL, DIK_C);
    EXPECT_FLOAT_EQ(Stage().GetClipboard().Rot.x, 0.5f);

    Pointer().SetPos(D3DXVECTOR3(7, 8, 9));
    Gui().Chord(DIK_LCONTROL, DIK_V);
    ASSERT_EQ(StageGroup("TEST").size(), 3u);
    const ObjectPart& pasted = StageGroup("TEST")[2].part;
    EXPECT_FLOAT_EQ(pasted.Pos.y, 8.0f);
    EXPECT_FLOAT_EQ(pasted.Rot.x, 0.5f);
    EXPECT_EQ(pasted.ModelLabel, "SPHERE");
    EXPECT_EQ(EditorGroup("TEST").size(), 3u);
    // The right Ctrl does not count.
    Gui().Chord(DIK_RCONTROL, DIK_V);
    EXPECT_EQ(StageGroup("TEST").size(), 3u);
}

TEST_F(CreationPanelTest, CopyWithASelectionOutsideTheGroupCopiesNothing) {
    CreateAt(1, 0, 0);
    Stage().Select(5);
    Gui().Chord(DIK_LCONTROL, DIK_C);
    EXPECT_EQ(Stage().GetClipboard().ModelLabel, "");
    // With nothing copied, paste creates nothing.
    Gui().Chord(DIK_LCONTROL, DIK_V);
    EXPECT_EQ(StageGroup("TEST").size(), 1u);
}

// An object without a model pastes like any other, up to the most objects a stage file can hold.
TEST_F(CreationPanelTest, PastingAndCreatingStopAtTheLargestStageAFileCanHold) {
    Stage().CreateObject(ObjectPart{}, "TEST", "");
    Editor().RefreshGroup("TEST");
    StageGroup("OTHER").resize(999'999);  // 1,000,001 in all with the paste below
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1"}));
    Gui().Chord(DIK_LCONTROL, DIK_C);
    Gui().Chord(DIK_LCONTROL, DIK_V);  // the last that fits
    Gui().Chord(DIK_LCONTROL, DIK_V);
    CreateAt(3, 0, 0);
    EXPECT_EQ(StageGroup("TEST").size(), 2u);
    EXPECT_EQ(Editor().GetCreationPanel()->Notice(),
              "Not created: the stage holds 1000001 objects, the most a stage file can hold.");
}

TEST_F(CreationPanelTest, AddValueTwiceAddsTwiceToTheSelectedGroupOnly) {
    CreateAt(1, 0, 0);
    Stage().CreateObject(EditorGroup("TEST")[0].part, "OTHER", "SPHERE");
    // Ctrl+click types a value into the drag; its Enter belongs to the field.
    Platform().SetKey(DIK_LCONTROL, true);
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"AddAllObjectScale", 0}));
    Platform().SetKey(DIK_LCONTROL, false);
    Gui().Type("0.1");
    Gui().Key(DIK_RETURN);
    Gui().Idle();
    EXPECT_EQ(StageGroup("TEST").size(), 1u);
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"AddValue"}));
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"AddValue"}));
    EXPECT_NEAR(StageGroup("TEST")[0].part.Scale.x, 1.2f, 1e-5f);
    EXPECT_FLOAT_EQ(StageGroup("TEST")[0].part.Scale.y, 1.0f);
    EXPECT_NEAR(EditorGroup("TEST")[0].part.Scale.x, 1.2f, 1e-5f);
    EXPECT_FLOAT_EQ(StageGroup("OTHER")[0].part.Scale.x, 1.0f);

    // A sum past the float range would make the stage unsavable: refused, nothing changes.
    StageGroup("TEST")[0].part.Scale.x = EditorGroup("TEST")[0].part.Scale.x = 3e38f;
    Platform().SetKey(DIK_LCONTROL, true);
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"AddAllObjectScale", 0}));
    Platform().SetKey(DIK_LCONTROL, false);
    Gui().Type("1e38");
    Gui().Key(DIK_RETURN);
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"AddValue"}));
    EXPECT_EQ(StageGroup("TEST")[0].part.Scale.x, 3e38f);
    EXPECT_EQ(EditorGroup("TEST")[0].part.Scale.x, 3e38f);
    EXPECT_NE(Editor().GetCreationPanel()->Notice().find("Not scaled"), std::string::npos);
}

TEST_F(CreationPanelTest, KeysTypedIntoATextFieldActOnTheFieldOnly) {
    CreateAt(1, 0, 0);
    ASSERT_TRUE(Gui().Click(GuiDriver::kObjectList, {"Item 1"}));  // a valid selection to delete
    ASSERT_TRUE(Gui().Click(GuiDriver::kMain, {"##StageLabel"}));
    ASSERT_TRUE(Editor().IsTypingText());
    D3DXVECTOR3 pointer = Pointer().GetPos();
    bool wireframe = app_->Manager().wireframe;

    Gui().Type("ab");
    Gui().Key(DIK_DELETE);
    Gui().Chord(DIK_LCONTROL, DIK_C);
    Gui().Chord(DIK_LCONTROL, DIK_V);
    Gui().Key(DIK_W);
    Gui().Key(DIK_F2);
    EXPECT_EQ(StageGroup("TEST").size(), 1u);
    EXPECT_TRUE(Stage().IsSelectionValid());
    EXPECT_EQ(Stage().GetClipboard().ModelLabel, "");
    EXPECT_FLOAT_EQ(Pointer().GetPos().z, pointer.z);
    EXPECT_FLOAT_EQ(Pointer().GetPos().x, pointer.x);
    EXPECT_EQ(app_->Manager().wireframe, wireframe);
    Gui().Key(DIK_RETURN);  // confirms the field
    Gui().Idle();
    EXPECT_EQ(StageGroup("TEST").size(), 1u);

    // Out of the field, the same keys act again.
    EXPECT_FALSE(Editor().IsTypingText());
    Gui().Key(DIK_RETURN);
    EXPECT_EQ(StageGroup("TEST").size(), 2u);
}

}  // namespace
