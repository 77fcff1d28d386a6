// Picking and the selection keys through the whole headless editor: the right button picks in any
// visible group and selects its tag, Shift+right button adds and removes, Shift+left drag takes a
// rectangle, Ctrl+Shift+A empties the selection.
#include <cmath>

#include "editor/selection_menu.h"
#include "editor_fixture.h"
#include "render/camera.h"
#include "resource/model_manager.h"
#include "scene/gizmo_math.h"
#include "scene/object_world.h"

namespace {

class SelectionViewTest : public EditorTest {
protected:
    // Two objects in "TEST" and one in "B", side by side, far enough apart for a gizmo on one to leave
    // the others free; "TEST" selected.
    void SetUp() override {
        EditorTest::SetUp();
        CreateAt(-60, 10, 0);
        CreateAt(0, 10, 0);
        Editor().AddTag("B");
        Editor().tagIndex = 1;
        Gui().Idle(1);
        CreateAt(60, 10, 0);
        Pointer().SetPos(D3DXVECTOR3(0, 10, 0));
        Editor().tagIndex = 0;
        Gui().Idle(2);
    }
    // Where the centre of an object's bounds shows in the window.
    ScreenPoint OnScreen(const std::string& tag, int index) {
        const ObjectPart& part = StageGroup(tag).at(static_cast<std::size_t>(index)).part;
        const CModelManager& models = *app_->Manager().GetModelManager();
        D3DXVECTOR3 lo, hi;
        WorldBox(ObjectWorld(part), models.GetMin(part.ModelLabel), models.GetMax(part.ModelLabel), &lo, &hi);
        const CCamera& camera = *app_->Manager().GetCamera();
        ScreenPoint at;
        EXPECT_TRUE(ProjectPoint(GizmoView{camera.mtxView, camera.mtxProjection, 1280, 720}, (lo + hi) * 0.5f, &at));
        return at;
    }
    void RightClick(const std::string& tag, int index, bool shift = false) {
        const ScreenPoint at = OnScreen(tag, index);
        Platform().SetCursor(std::lround(at.x), std::lround(at.y));
        Platform().SetKey(DIK_LSHIFT, shift);
        app_->Frames(1);
        Platform().SetMouseButton(1, true);
        app_->Frames(1);
        Platform().SetMouseButton(1, false);
        Platform().SetKey(DIK_LSHIFT, false);
        app_->Frames(1);
    }
    const CObjectSelection& Selection() { return Editor().Document().Selection(); }
};

TEST_F(SelectionViewTest, RightButtonPicksInAnyGroupShiftAddsAndTheClearKeyEmpties) {
    RightClick("B", 0);
    EXPECT_EQ(Editor().SelectedTag(), "B");
    EXPECT_EQ(Selection().Groups(), (std::map<std::string, std::vector<int>>{{"B", {0}}}));

    RightClick("TEST", 1, true);
    RightClick("TEST", 0, true);
    EXPECT_EQ(Selection().Count(), 3u);
    EXPECT_EQ(Editor().SelectedTag(), "TEST");
    EXPECT_EQ(Editor().Document().GetSelectedIndex(), 0);  // the last one picked is the active one
    // (The group's gizmo now stands on TEST #1, between the others, and keeps it from being picked.)
    RightClick("TEST", 0, true);  // a second Shift pick takes it out
    EXPECT_FALSE(Selection().Contains("TEST", 0));
    EXPECT_EQ(Editor().Document().GetSelectedIndex(), 1);  // the other one of its group is active now

    RightClick("TEST", 0);  // without Shift it is the only one
    EXPECT_EQ(Selection().Count(), 1u);

    Gui().Chord(DIK_LCONTROL, DIK_A);  // everything of the selected tag's group
    EXPECT_EQ(Selection().Of("TEST"), (std::vector<int>{0, 1}));
    Platform().SetKey(DIK_LCONTROL, true);
    Gui().Chord(DIK_LSHIFT, DIK_A);
    Platform().SetKey(DIK_LCONTROL, false);
    EXPECT_TRUE(Selection().Empty());
    EXPECT_FALSE(Editor().Document().IsSelectionValid());
}

TEST_F(SelectionViewTest, ShiftLeftDragSelectsTheObjectsInsideTheRectangle) {
    const ScreenPoint a = OnScreen("TEST", 1), b = OnScreen("B", 0);
    const float yaw = app_->Manager().GetCamera()->rot.y;
    Platform().SetKey(DIK_LSHIFT, true);
    Platform().SetCursor(std::lround(a.x - 5), std::lround(a.y - 40));
    app_->Frames(1);
    Platform().SetMouseButton(0, true);
    app_->Frames(1);
    Platform().SetCursor(std::lround(b.x + 5), std::lround(b.y + 40));
    Platform().MoveMouse(60, 40);
    app_->Frames(1);
    EXPECT_TRUE(Editor().GetSelectionMenu()->IsDrawingRect());
    Platform().SetMouseButton(0, false);
    app_->Frames(1);
    Platform().SetKey(DIK_LSHIFT, false);
    EXPECT_EQ(Selection().Groups(), (std::map<std::string, std::vector<int>>{{"B", {0}}, {"TEST", {1}}}));
    EXPECT_EQ(app_->Manager().GetCamera()->rot.y, yaw);  // the camera held still
}

TEST_F(SelectionViewTest, AHiddenObjectIsNeitherPickedNorTakenByARectangle) {
    RightClick("B", 0);
    Gui().Chord(DIK_LCONTROL, DIK_H);
    EXPECT_TRUE(Editor().Document().HiddenObjects().Contains("B", 0));
    RightClick("B", 0);
    EXPECT_TRUE(Selection().Empty());
    EXPECT_FALSE(Editor().GetSelectionMenu()->SelectInRect(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 0)));
    ASSERT_TRUE(Editor().GetSelectionMenu()->SelectInRect(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1280, 720, 0)));
    EXPECT_EQ(Selection().Groups(), (std::map<std::string, std::vector<int>>{{"TEST", {0, 1}}}));
    Platform().SetKey(DIK_LCONTROL, true);
    Gui().Chord(DIK_LSHIFT, DIK_H);
    Platform().SetKey(DIK_LCONTROL, false);
    RightClick("B", 0);
    EXPECT_TRUE(Selection().Contains("B", 0));
}

TEST_F(SelectionViewTest, APopupOpeningUnderARectangleEndsItWithoutSelecting) {
    const ScreenPoint a = OnScreen("TEST", 1);
    Platform().SetKey(DIK_LSHIFT, true);
    Platform().SetCursor(std::lround(a.x - 150), std::lround(a.y - 60));
    app_->Frames(1);
    Platform().SetMouseButton(0, true);
    app_->Frames(1);
    ASSERT_TRUE(Editor().GetSelectionMenu()->IsDrawingRect());
    Editor().GetFileMenu()->AskSaveAs([] {});  // the file dialog, modal
    Platform().SetCursor(std::lround(a.x + 150), std::lround(a.y + 60));
    app_->Frames(3);
    EXPECT_FALSE(Editor().GetSelectionMenu()->IsDrawingRect());
    Platform().SetMouseButton(0, false);
    Platform().SetKey(DIK_LSHIFT, false);
    app_->Frames(2);
    EXPECT_TRUE(Selection().Empty());
}

}  // namespace
