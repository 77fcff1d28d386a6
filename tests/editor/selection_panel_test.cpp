// The inspector of the selection: a shared value, "mixed", and a typed value set on every selected object
// as one step.
#include "document/edit_history.h"
#include "editor/selection_panel.h"
#include "editor_fixture.h"

TEST_F(EditorTest, TheInspectorSetsATypedValueOnEverySelectedObjectAndShowsWhatDiffersAsMixed) {
    for (int i = 0; i < 3; ++i) {
        ObjectPart part{};
        part.Pos = D3DXVECTOR3(1.0f, 2.0f, static_cast<float>(i));
        part.Rot = D3DXVECTOR3(0.0f, 0.5f * static_cast<float>(i), 0.0f);
        part.Scale = D3DXVECTOR3(1, 1, 1);
        part.ObjectLabel = i == 0 ? "gate" : "";
        Stage().CreateObject(part, "TEST", "box");
    }
    Editor().RefreshGroup("TEST");
    CStageDocument& document = Editor().Document();
    for (int i = 0; i < 3; ++i) document.SelectObject("TEST", i, CStageDocument::Pick::Add);
    app_->Frames(2);
    CSelectionPanel& inspector = *Editor().GetInspector();
    EXPECT_EQ(inspector.Common(1), std::optional<float>(2.0f));  // pos y: shared
    EXPECT_FALSE(inspector.Common(4));                          // rot y: mixed
    EXPECT_FALSE(inspector.CommonLabel());

    // One click in the "Pos x" field, a number and Enter.
    ASSERT_TRUE(Gui().Click(CSelectionPanel::kWindow, {"Pos", 0, "##v"}));
    Gui().Type("7.5");
    Gui().Key(DIK_RETURN);
    for (const StageObject& object : StageGroup("TEST")) EXPECT_FLOAT_EQ(object.part.Pos.x, 7.5f);
    EXPECT_EQ(document.History().UndoName(), "Set Pos x");
    ASSERT_TRUE(document.History().Undo());
    for (const StageObject& object : StageGroup("TEST")) EXPECT_FLOAT_EQ(object.part.Pos.x, 1.0f);
    // Degrees in the field, radians in the stage.
    ASSERT_TRUE(inspector.SetField(4, 90.0f));
    EXPECT_NEAR(StageGroup("TEST")[2].part.Rot.y, 1.5707964f, 1e-5f);
    EXPECT_FALSE(inspector.SetField(0, NAN));
}
