// The view aids: the grid's layout, the line meshes they are drawn with, and a frame that draws them on
// the recording device and leaves its states as it found them.
#include <gtest/gtest.h>

#include <cmath>

#include "render/ground_grid.h"
#include "editor/editor.h"
#include "render/view_aids.h"
#include "resource/model_manager.h"
#include "scene/stage.h"
#include "support/headless_editor.h"
#include "support/temp_dir.h"

TEST(GroundGrid, SpacingFollowsTheStepAndGrowsByTensWhenTheEyeIsFar) {
    EXPECT_FLOAT_EQ(ground_grid::Spacing(2.0f, 100.0f), 2.0f);
    EXPECT_FLOAT_EQ(ground_grid::Spacing(0.5f, 100.0f), 5.0f);    // 0.5 would be under a 150th of 100
    EXPECT_FLOAT_EQ(ground_grid::Spacing(1.0f, 3000.0f), 100.0f);
    EXPECT_FLOAT_EQ(ground_grid::Spacing(0.0f, 10.0f), 1.0f);     // no usable step: 1
    EXPECT_FLOAT_EQ(ground_grid::Spacing(1.0f, INFINITY), 1.0f);
    // The centre follows the focus by whole major cells, on the ground.
    const D3DXVECTOR3 centre = ground_grid::Centre({26.0f, 7.0f, -14.0f}, 2.0f);
    EXPECT_FLOAT_EQ(centre.x, 20.0f);
    EXPECT_FLOAT_EQ(centre.y, 0.0f);
    EXPECT_FLOAT_EQ(centre.z, -20.0f);
    // Every tenth line is a major one, and the rings fade outwards.
    for (const LineSegment& s : ground_grid::TileSegments()) {
        const float line = s.a.x == s.b.x ? s.a.x : s.a.z;
        const bool major = static_cast<int>(line) % ground_grid::kMajorEvery == 0;
        ASSERT_EQ(s.subset >= static_cast<DWORD>(ground_grid::kBands), major) << line;
    }
    EXPECT_GT(ground_grid::BandAlpha(0, 1.0f), ground_grid::BandAlpha(ground_grid::kBands - 1, 1.0f));
}

class ViewAidsTest : public ::testing::Test {
protected:
    TempDir dir;
    ScopedWorkingDir cwd{dir.Path()};
    HeadlessEditor editor;
};

TEST_F(ViewAidsTest, AFrameDrawsGridAndIndicatorAsLinesAndPutsTheStatesBack) {
    CViewAids* aids = editor.Manager().GetViewAids();
    ASSERT_NE(aids, nullptr);
    aids->SetShown(true);
    // A selected object (of a model without size: a box of no size at its place) is outlined.
    CStage* stage = editor.Manager().GetStage();
    editor.Manager().GetModelManager()->AddModelData("POINT", ModelData{});
    ObjectPart part{};
    part.Pos = {4, 5, 6};
    part.Scale = {1, 1, 1};
    part.ModelLabel = "POINT";
    stage->CreateObject(part, "TEST", "POINT");
    editor.Manager().GetEditor()->RefreshGroup("TEST");
    stage->Select(0);
    editor.Device().ClearLog();
    editor.Frames(1);
    int lines = 0, outlines = 0;
    for (const auto& draw : editor.Device().Draws()) {
        lines += draw.fillMode == D3DFILL_WIREFRAME;
        outlines += draw.world._41 == 4.0f && draw.world._42 == 5.0f && draw.world._43 == 6.0f;
    }
    // 10 grid subsets, 2 x 5 axis bands, 1 outline, 3 indicator axes.
    EXPECT_EQ(lines, 24);
    EXPECT_EQ(outlines, 1);
    DWORD fill = 0, zwrite = 0, zenable = 0;
    editor.Device().GetRenderState(D3DRS_FILLMODE, &fill);
    editor.Device().GetRenderState(D3DRS_ZWRITEENABLE, &zwrite);
    editor.Device().GetRenderState(D3DRS_ZENABLE, &zenable);
    EXPECT_EQ(fill, static_cast<DWORD>(D3DFILL_SOLID));
    EXPECT_EQ(zwrite, static_cast<DWORD>(TRUE));
    EXPECT_NE(zenable, static_cast<DWORD>(D3DZB_FALSE));

    aids->SetGridShown(false);
    editor.Device().ClearLog();
    editor.Frames(1);
    EXPECT_EQ(editor.Device().Draws().size(), 4u);  // the outline and the indicator

    // An object whose model the catalog lacks adds its placeholder's edges, a unit box on its position.
    part.Pos = {-8, 0, 2};
    part.Scale = {2, 2, 2};
    part.ModelLabel = "MISSING";
    stage->CreateObject(part, "TEST", "MISSING");
    editor.Manager().GetEditor()->RefreshGroup("TEST");
    editor.Device().ClearLog();
    editor.Frames(1);
    int placeholders = 0;
    for (const auto& draw : editor.Device().Draws())
        placeholders += draw.fillMode == D3DFILL_WIREFRAME && draw.world._41 == -9.0f && draw.world._11 == 2.0f;
    EXPECT_EQ(placeholders, 1);
}
