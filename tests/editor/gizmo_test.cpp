// The gizmo driven with scripted mouse and keys through the whole headless editor: drags edit both
// copies in the same frame, Escape and the right button put the object back, the camera holds still;
// Ctrl+D and grid snapping.
#include <cmath>

#include "app/application.h"
#include "document/edit_history.h"
#include "editor/gizmo.h"
#include "editor_fixture.h"
#include "render/camera.h"

namespace {

class GizmoTest : public EditorTest {
protected:
    // One object at the pointer, which the camera faces, selected.
    void SetUp() override {
        EditorTest::SetUp();
        CreateAt(0, 10, 0);
        Stage().Select(0);
        Gui().Idle(2);
    }
    CGizmo& Gizmo() { return *Editor().GetGizmo(); }
    const ObjectPart& InStage() { return StageGroup("TEST").at(0).part; }
    const ObjectPart& InEditor() { return EditorGroup("TEST").at(0).part; }
    GizmoShape Shape() {
        const CCamera& camera = *app_->Manager().GetCamera();
        return BuildGizmoShape(GizmoView{camera.mtxView, camera.mtxProjection, 1280, 720}, InStage().Pos, Gizmo().Mode());
    }
    void MoveTo(float x, float y) { Platform().SetCursor(std::lround(x), std::lround(y)); }
    // Hovers the x arrow and presses the left button on it.
    void GrabXArrow() {
        const GizmoShape shape = Shape();
        MoveTo((shape.centre.x + shape.axisEnd[0].x) / 2, (shape.centre.y + shape.axisEnd[0].y) / 2);
        app_->Frames(1);
        ASSERT_EQ(Gizmo().Hovered(), GizmoHandle::AxisX);
        Platform().SetMouseButton(0, true);
        app_->Frames(1);
        ASSERT_TRUE(Gizmo().IsDragging());
    }
};

TEST_F(GizmoTest, DraggingTheXArrowMovesBothCopiesInTheSameFrameAndTheCameraHoldsStill) {
    const GizmoShape shape = Shape();
    const float yaw = app_->Manager().GetCamera()->rot.y;
    GrabXArrow();
    for (int step = 1; step <= 4; ++step) {
        MoveTo(shape.centre.x + (shape.axisEnd[0].x - shape.centre.x) * (0.5f + 0.2f * step), shape.centre.y);
        Platform().MoveMouse(10, 0);
        app_->Frames(1);
        EXPECT_GT(InStage().Pos.x, 0.0f);
        EXPECT_TRUE(InStage().Pos == InEditor().Pos);
    }
    EXPECT_EQ(InStage().Pos.y, 10.0f);
    EXPECT_EQ(app_->Manager().GetCamera()->rot.y, yaw);
    const float x = InStage().Pos.x;
    Platform().SetMouseButton(0, false);
    Gui().Idle(3);
    EXPECT_FALSE(Gizmo().IsDragging());
    EXPECT_EQ(InStage().Pos.x, x);
    // The whole drag is one step of the history.
    ASSERT_TRUE(Editor().GetHistory()->Undo());
    EXPECT_TRUE(InStage().Pos.x == 0.0f && InEditor().Pos.x == 0.0f);
}

TEST_F(GizmoTest, EscapeDuringADragPutsTheObjectBackWithoutQuitting) {
    GrabXArrow();
    MoveTo(300, 360);  // the camera looks towards -z: +x is to the left
    app_->Frames(1);
    ASSERT_GT(InStage().Pos.x, 1.0f);
    CFrameLoop loop(Platform());
    const int exitCode = loop.Run([&](std::uint64_t frame) {
        if (frame == 1) {
            Platform().SetKey(DIK_ESCAPE, true);
            Platform().PostKeyDown(DIK_ESCAPE);
        }
        if (frame == 3) Platform().PostQuitMessage(7);
    });
    EXPECT_EQ(exitCode, 7);  // the Escape did not end the editor
    EXPECT_FALSE(Gizmo().IsDragging());
    EXPECT_EQ(InStage().Pos.x, 0.0f);
    EXPECT_EQ(InEditor().Pos.x, 0.0f);
}

TEST_F(GizmoTest, TheRightButtonCancelsAndPicksNothingWhileHeld) {
    CreateAt(40, 10, 0);  // under the far end of the drag
    GrabXArrow();
    const GizmoShape shape = Shape();
    MoveTo(shape.axisEnd[0].x - 20, shape.axisEnd[0].y);
    app_->Frames(1);
    Platform().SetMouseButton(1, true);
    app_->Frames(3);
    EXPECT_EQ(InStage().Pos.x, 0.0f);
    EXPECT_EQ(Stage().GetSelectedIndex(), 0);
    EXPECT_FALSE(Gizmo().IsDragging());
}

TEST_F(GizmoTest, CtrlDDuplicatesAfterTheLastObjectAndSelectsTheCopy) {
    CreateAt(5, 0, 0);
    const D3DXVECTOR3 pointer = Pointer().GetPos();
    Gui().Chord(DIK_LCONTROL, DIK_D);
    ASSERT_EQ(StageGroup("TEST").size(), 3u);
    EXPECT_TRUE(StageGroup("TEST")[2].part.Pos == InStage().Pos);
    EXPECT_EQ(EditorGroup("TEST").size(), 3u);
    EXPECT_EQ(Stage().GetSelectedIndex(), 2);
    EXPECT_TRUE(Pointer().GetPos() == pointer);  // the D of the chord is no pointer move
    ASSERT_TRUE(Editor().GetHistory()->Undo());
    EXPECT_EQ(StageGroup("TEST").size(), 2u);
}

TEST_F(GizmoTest, SnappingPutsThePointerAndNewObjectsOnTheGrid) {
    Editor().GetCreationPanel()->SetSnap(GizmoSnap{true, 10.0f, 0.25f});
    Platform().SetKey(DIK_S, true);  // one unit a frame towards +z
    app_->Frames(3);
    EXPECT_EQ(Pointer().GetPos().z, 0.0f);
    app_->Frames(5);
    EXPECT_EQ(Pointer().GetPos().z, 10.0f);
    Platform().SetKey(DIK_S, false);
    Gui().Key(DIK_RETURN);
    ASSERT_EQ(StageGroup("TEST").size(), 2u);
    EXPECT_TRUE(StageGroup("TEST")[1].part.Pos == D3DXVECTOR3(0, 10, 10));
}

TEST_F(GizmoTest, ASelectionMovesAsOneAndOneUndoPutsEveryObjectBack) {
    CreateAt(-60, 10, 0);
    Editor().AddTag("B");
    Editor().tagIndex = 1;
    Gui().Idle(1);
    CreateAt(-30, 40, 0);
    Pointer().SetPos(D3DXVECTOR3(0, 10, 0));
    Gui().Idle(1);
    CStageDocument& document = Editor().Document();
    document.SelectObject("TEST", 0, CStageDocument::Pick::Replace);
    document.SelectObject("TEST", 1, CStageDocument::Pick::Add);
    document.SelectObject("B", 0, CStageDocument::Pick::Add);
    Gui().Idle(1);
    const std::vector<D3DXVECTOR3> before = {StageGroup("TEST")[0].part.Pos, StageGroup("TEST")[1].part.Pos,
                                             StageGroup("B")[0].part.Pos};
    // The gizmo stands at the centre of the three origins: (-30, 25, 0).
    const CCamera& camera = *app_->Manager().GetCamera();
    const GizmoShape shape = BuildGizmoShape(GizmoView{camera.mtxView, camera.mtxProjection, 1280, 720},
                                             CentreOf(before), GizmoMode::Move);
    MoveTo((shape.centre.x + shape.axisEnd[0].x) / 2, (shape.centre.y + shape.axisEnd[0].y) / 2);
    app_->Frames(1);
    ASSERT_EQ(Gizmo().Hovered(), GizmoHandle::AxisX);
    Platform().SetMouseButton(0, true);
    app_->Frames(1);
    MoveTo(shape.axisEnd[0].x, shape.axisEnd[0].y);
    app_->Frames(2);
    Platform().SetMouseButton(0, false);
    Gui().Idle(2);
    const std::vector<D3DXVECTOR3> after = {StageGroup("TEST")[0].part.Pos, StageGroup("TEST")[1].part.Pos,
                                            StageGroup("B")[0].part.Pos};
    const float moved = after[0].x - before[0].x;
    EXPECT_GT(moved, 1.0f);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(after[i].x - before[i].x, moved) << i;
        EXPECT_EQ(after[i].y, before[i].y) << i;
    }
    EXPECT_TRUE(EditorGroup("B")[0].part.Pos == after[2]);
    EXPECT_EQ(Editor().GetHistory()->UndoName(), "Move objects");
    ASSERT_TRUE(Editor().GetHistory()->Undo());
    EXPECT_TRUE(StageGroup("TEST")[0].part.Pos == before[0] && StageGroup("TEST")[1].part.Pos == before[1] &&
                StageGroup("B")[0].part.Pos == before[2] && EditorGroup("B")[0].part.Pos == before[2]);
}

}  // namespace
