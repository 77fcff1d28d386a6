// The "Models" window in the headless editor: a click on a square chooses the model, a drag into the
// view creates an object of it on the ground.
#include <cmath>

#include "editor/model_palette.h"
#include "editor_fixture.h"
#include "resource/model_manager.h"
#include "scene/pointer.h"

TEST_F(EditorTest, ModelPaletteChoosesByClickAndPlacesByDraggingIntoTheView) {
    CModelPalette& palette = *Editor().GetModelPalette();
    ASSERT_TRUE(Gui().Click(CModelPalette::kWindow, {"cone", "tile"}));
    EXPECT_EQ(Editor().GetCreationPanel()->ModelLabels().at(static_cast<std::size_t>(Editor().modelIndex)), "cone");
    // Typing in the search field narrows the pictures, and Enter chooses the first one left.
    ASSERT_TRUE(Gui().Click(CModelPalette::kWindow, {"##ModelSearch"}));
    Gui().Type("CR");
    EXPECT_EQ(palette.Shown(), std::vector<std::string>{"crate"});
    Gui().Key(DIK_RETURN);
    EXPECT_EQ(Editor().GetCreationPanel()->ModelLabels().at(static_cast<std::size_t>(Editor().modelIndex)), "crate");
    palette.SetSearch("");

    // From the "box" square down to the ground below the middle of the view.
    std::optional<ImVec2> from = Gui().Locate(CModelPalette::kWindow, {"box", "tile"});
    ASSERT_TRUE(from);
    const D3DXVECTOR3 pointer = Editor().Parts().pointer->GetPos();
    CHeadlessPlatform& platform = Platform();
    platform.SetCursor(static_cast<LONG>(from->x), static_cast<LONG>(from->y));
    app_->Frames(1);
    platform.SetMouseButton(0, true);
    app_->Frames(1);
    for (int step = 1; step <= 10; ++step) {
        platform.SetCursor(static_cast<LONG>(from->x + (800.0f - from->x) * step / 10.0f),
                           static_cast<LONG>(from->y + (470.0f - from->y) * step / 10.0f));
        app_->Frames(1);
    }
    // Over the view, before letting go: the object that would be placed, which the view outlines.
    const std::optional<ObjectPart> preview = palette.DropPreview();
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->ModelLabel, "box");
    platform.SetMouseButton(0, false);
    app_->Frames(2);
    const std::vector<StageObject>& group = StageGroup(Editor().SelectedTag());
    ASSERT_EQ(group.size(), 1u);
    EXPECT_EQ(group[0].part.ModelLabel, "box");
    EXPECT_TRUE(Editor().Document().IsSelected(Editor().SelectedTag(), 0));
    EXPECT_EQ(Editor().Parts().pointer->GetPos(), pointer) << "the pointer, and the camera, stay";
    EXPECT_EQ(group[0].part.Pos, preview->Pos);
    EXPECT_FALSE(palette.DropPreview());

    // With snapping on, a dropped object stands on a grid point across the ground.
    GizmoSnap snap;
    snap.enabled = true;
    snap.step = 5.0f;
    Editor().GetCreationPanel()->SetSnap(snap);
    ASSERT_TRUE(palette.DropInView("box", 700.0f, 500.0f));
    const D3DXVECTOR3 snapped = StageGroup(Editor().SelectedTag()).back().part.Pos;
    EXPECT_FLOAT_EQ(snapped.x, 5.0f * std::round(snapped.x / 5.0f));
    EXPECT_FLOAT_EQ(snapped.z, 5.0f * std::round(snapped.z / 5.0f));
    EXPECT_NEAR(snapped.y, group[0].part.Pos.y, 1e-3f) << "on the ground, as the first";
    // Its bottom on the ground (the stage holds nothing else).
    EXPECT_NEAR(group[0].part.Pos.y, -Editor().Parts().models->GetMin("box").y * group[0].part.Scale.y, 1e-3f);
}
