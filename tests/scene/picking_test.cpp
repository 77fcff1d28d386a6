// Mouse picking: the cursor's line, the box test, and the stage's selection under the right button.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "editor/editor.h"
#include "input/input.h"
#include "d3d/memory_mesh.h"
#include "resource/model_manager.h"
#include "render/camera.h"
#include "scene/picking.h"
#include "scene/stage.h"
#include "support/headless_editor.h"
#include "support/temp_dir.h"

namespace {

const D3DVIEWPORT9 kViewport{0, 0, 1280, 720, 0.0f, 1.0f};

// A camera at `eye` looking at `at`, as the camera sets it up.
struct ViewSetup {
    D3DXMATRIX view, projection;
    ViewSetup(D3DXVECTOR3 eye, D3DXVECTOR3 at) {
        D3DXVECTOR3 up(0, 1, 0);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 16.0f / 9.0f, 5.0f, 10000.0f);
    }
    bool Ray(float x, float y, PickRay* ray, const D3DVIEWPORT9& viewport = kViewport) const {
        const D3DXVECTOR3 nearPoint = UnprojectNearPlane(x, y, viewport, projection, view);
        return MakePickRay(D3DXVECTOR3(x, y, 0), viewport, projection, view, nearPoint, ray);
    }
};

TEST(PickRayMaths, LineRunsFromDepthOneAwayFromTheEye) {
    ViewSetup setup(D3DXVECTOR3(0, 110, 300), D3DXVECTOR3(0, 10, 0));
    PickRay ray;
    ASSERT_TRUE(setup.Ray(640, 360, &ray));
    // At view depth 1 on the line of sight, pointing at the look-at point; the eye sits at t = -1/4
    // because the near plane is at depth 5.
    D3DXVECTOR3 toAt = D3DXVECTOR3(0, 10, 0) - D3DXVECTOR3(0, 110, 300);
    D3DXVec3Normalize(&toAt, &toAt);
    EXPECT_NEAR(ray.origin.y, 110 + toAt.y, 1e-3f);
    EXPECT_NEAR(ray.origin.z, 300 + toAt.z, 1e-3f);
    EXPECT_GT(D3DXVec3Dot(&ray.dir, &toAt), 0.0f);
    EXPECT_NEAR(D3DXVec3Length(&ray.dir), 4.0f, 1e-3f);
    EXPECT_NEAR(ray.tEye, -0.25f, 1e-4f);
}

TEST(PickRayMaths, DegenerateViewportOrMatricesGiveNoLine) {
    ViewSetup setup(D3DXVECTOR3(0, 110, 300), D3DXVECTOR3(0, 10, 0));
    PickRay ray;
    ray.tEye = 42.0f;
    EXPECT_FALSE(setup.Ray(0, 0, &ray, D3DVIEWPORT9{0, 0, 0, 0, 0, 1}));
    EXPECT_FALSE(setup.Ray(0, 0, &ray, D3DVIEWPORT9{0, 0, 1280, 0, 0, 1}));

    ViewSetup zeroProjection = setup;
    zeroProjection.projection = D3DXMATRIX();  // as before the first SetCamera
    EXPECT_FALSE(zeroProjection.Ray(640, 360, &ray));

    ViewSetup singularView = setup;
    singularView.view = D3DXMATRIX();
    EXPECT_FALSE(singularView.Ray(640, 360, &ray));

    // The eye on its look-at point: the view matrix holds NaNs.
    ViewSetup noDirection(D3DXVECTOR3(0, 10, 0), D3DXVECTOR3(0, 10, 0));
    EXPECT_FALSE(noDirection.Ray(640, 360, &ray));
    EXPECT_EQ(ray.tEye, 42.0f);  // untouched
}

TEST(PickRayMaths, SlabTest) {
    PickRay ray;
    ray.origin = D3DXVECTOR3(0, 10, 0);
    ray.dir = D3DXVECTOR3(0, 0, 4);
    ray.tEye = -0.25f;  // the eye at z = -1

    EXPECT_TRUE(PickRayHitsBox(ray, {-1, 9, 40}, {1, 11, 60}));
    EXPECT_FALSE(PickRayHitsBox(ray, {2, 9, 40}, {3, 11, 60}));  // parallel to x, beside it
    EXPECT_TRUE(PickRayHitsBox(ray, {0, 10, 40}, {0, 10, 60}));  // a flat box edge on

    // One point: hit only when the line passes exactly through it.
    EXPECT_TRUE(PickRayHitsBox(ray, {0, 10, 50}, {0, 10, 50}));
    EXPECT_FALSE(PickRayHitsBox(ray, {0, 10.001f, 50}, {0, 10.001f, 50}));

    // Slanted line: boxes on it and just off it.
    PickRay slanted;
    slanted.origin = D3DXVECTOR3(0, 0, 0);
    slanted.dir = D3DXVECTOR3(1, 1, 1);
    slanted.tEye = -1.0f;
    EXPECT_TRUE(PickRayHitsBox(slanted, {9, 9, 9}, {11, 11, 11}));
    EXPECT_FALSE(PickRayHitsBox(slanted, {9, 12, 9}, {11, 14, 11}));
}

TEST(PickRayMaths, BoxesOnlyBehindTheEyeAreMissed) {
    PickRay ray;
    ray.origin = D3DXVECTOR3(0, 0, 1);
    ray.dir = D3DXVECTOR3(0, 0, 4);
    ray.tEye = -0.25f;  // the eye at the origin

    EXPECT_FALSE(PickRayHitsBox(ray, {-1, -1, -30}, {1, 1, -20}));
    EXPECT_FALSE(PickRayHitsBox(ray, {-1, -1, -30}, {1, 1, -0.01f}));
    EXPECT_TRUE(PickRayHitsBox(ray, {-1, -1, -30}, {1, 1, 0.5f}));  // around the eye
    EXPECT_TRUE(PickRayHitsBox(ray, {-1, -1, 20}, {1, 1, 30}));
}

// The models of the objects picked below, each under a label of its own.
CModelManager& Catalog() {
    static CModelManager catalog;
    return catalog;
}
ModelHandle AddModel(ID3DXMesh* mesh, D3DXVECTOR3 max, D3DXVECTOR3 min) {
    return Catalog().AddModelData(std::to_string(Catalog().GetModelMap().size()), ModelData{nullptr, 0, mesh, max, min});
}
int PickNearestObject(const PickRay& ray, const std::vector<StageObject>& group) {
    return ::PickNearestObject(ray, group, Catalog());
}

// A box-shaped mesh from `lo` to `hi` (12 triangles), with the catalog's bounds: rounded down.
struct BoxModel {
    CMemoryMesh* mesh;
    ModelHandle model;
    D3DXVECTOR3 lo, hi;
    BoxModel(D3DXVECTOR3 l, D3DXVECTOR3 h) : lo(l), hi(h) {
        MeshData data;
        for (int i = 0; i < 8; ++i)
            data.vertices.push_back(
                MeshVertex{{i & 1 ? h.x : l.x, i & 2 ? h.y : l.y, i & 4 ? h.z : l.z}, {0, 0, 0}, {0, 0}});
        const std::uint32_t faces[12][3] = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
                                            {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
        for (const auto& face : faces) data.indices.insert(data.indices.end(), face, face + 3);
        data.attributes.push_back(D3DXATTRIBUTERANGE{0, 0, 12, 0, 8});
        mesh = new CMemoryMesh(nullptr, std::move(data));
        model = AddModel(mesh, D3DXVECTOR3(std::floor(h.x), std::floor(h.y), std::floor(h.z)),
                         D3DXVECTOR3(std::floor(l.x), std::floor(l.y), std::floor(l.z)));
    }
    ~BoxModel() { mesh->Release(); }
    StageObject Place(D3DXVECTOR3 pos, D3DXVECTOR3 rot = {}, D3DXVECTOR3 scale = {1, 1, 1}) const {
        StageObject object;
        object.model = model;
        object.part.Pos = pos;
        object.part.Rot = rot;
        object.part.Scale = scale;
        return object;
    }
};

// A line straight down onto the ground at (x, z), from y = 100, the eye at y = 101.
PickRay Down(float x, float z) {
    PickRay ray;
    ray.origin = D3DXVECTOR3(x, 100, z);
    ray.dir = D3DXVECTOR3(0, -1, 0);
    ray.tEye = -1.0f;
    return ray;
}

TEST(PickNearest, AGroundCreatedFirstDoesNotHideWhatStandsOnIt) {
    BoxModel ground({-100, -1, -100}, {100, 0, 100});
    BoxModel crate({-2.5f, 0, -2.5f}, {2.5f, 5, 2.5f});
    const std::vector<StageObject> group = {ground.Place({0, 0, 0}), crate.Place({10, 0, 0}), crate.Place({30, 0, 0})};
    EXPECT_EQ(PickNearestObject(Down(10, 0), group), 1);
    EXPECT_EQ(PickNearestObject(Down(31, 2), group), 2);
    EXPECT_EQ(PickNearestObject(Down(20, 0), group), 0);
    EXPECT_EQ(PickNearestObject(Down(150, 0), group), -1);
    // Looking up from below the ground: the ground is nearest; everything behind the eye is missed.
    PickRay up = Down(10, 0);
    up.origin.y = -50;
    up.dir.y = 1;
    EXPECT_EQ(PickNearestObject(up, group), 0);
    up.origin.y = 50;
    EXPECT_EQ(PickNearestObject(up, group), -1);
}

TEST(PickNearest, ALongObjectTurnedIsPickedAtItsEndAndNotBesideIt) {
    BoxModel beam({-20, 0, -0.5f}, {20, 1, 0.5f});
    const std::vector<StageObject> group = {beam.Place({0, 0, 0}, {0, 1.5707964f, 0})};  // along z
    EXPECT_EQ(PickNearestObject(Down(0, 19.5f), group), 0);
    EXPECT_EQ(PickNearestObject(Down(0, -19.5f), group), 0);
    EXPECT_EQ(PickNearestObject(Down(19.5f, 0), group), -1);
    EXPECT_EQ(PickNearestObject(Down(1.0f, 0), group), -1);
    // Halved in length, then raised 45 degrees at one end (roll): it now reaches x = 7.07 only.
    const std::vector<StageObject> tilted = {beam.Place({0, 0, 0}, {0, 0, 0.7853982f}, {0.5f, 1, 1})};
    EXPECT_EQ(PickNearestObject(Down(6.5f, 0), tilted), 0);
    EXPECT_EQ(PickNearestObject(Down(7.5f, 0), tilted), -1);
}

TEST(PickNearest, TrianglesNotTheBoxEqualDistancesAndBadPlacements) {
    // One triangle filling half of its box: the empty half is missed.
    MeshData data;
    data.vertices = {MeshVertex{{0, 0, 0}, {}, {}}, MeshVertex{{0, 0, 4}, {}, {}}, MeshVertex{{4, 0, 0}, {}, {}}};
    data.indices = {0, 1, 2};
    CMemoryMesh* triangle = new CMemoryMesh(nullptr, std::move(data));
    StageObject half;
    half.model = AddModel(triangle, D3DXVECTOR3(4, 0, 4), D3DXVECTOR3(0, 0, 0));
    half.part.Scale = D3DXVECTOR3(1, 1, 1);
    EXPECT_EQ(PickNearestObject(Down(1, 1), {half}), 0);
    EXPECT_EQ(PickNearestObject(Down(3, 3), {half}), -1);
    triangle->Release();

    // Equal distances: the lower index. An object without a mesh is its turned box.
    BoxModel cube({-1, -1, -1}, {1, 1, 1});
    StageObject bare = cube.Place({0, 0, 0});
    bare.model = AddModel(nullptr, D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(-1, -1, -1));
    const std::vector<StageObject> group = {cube.Place({5, 0, 0}), cube.Place({0, 0, 0}), bare, cube.Place({0, 0, 0})};
    EXPECT_EQ(PickNearestObject(Down(0, 0), group), 1);
    bare.part.Rot = D3DXVECTOR3(0, 0.7853982f, 0);  // its corner now reaches x = 1.41
    EXPECT_EQ(PickNearestObject(Down(1.3f, 0), {bare}), 0);
    EXPECT_EQ(PickNearestObject(Down(1.3f, 0.6f), {bare}), -1);

    // A placement or bounds that are not finite are missed, whatever else is in the group.
    const float nan = std::nanf(""), inf = INFINITY;
    std::vector<StageObject> broken = {cube.Place({0, nan, 0}), cube.Place({0, 0, 0}, {inf, 0, 0}),
                                       cube.Place({0, 0, 0}, {}, {1, inf, 1}), cube.Place({0, 0, 0})};
    broken[3].model = AddModel(cube.mesh, D3DXVECTOR3(nan, 1, 1), D3DXVECTOR3(-1, -1, -1));
    EXPECT_EQ(PickNearestObject(Down(0, 0), broken), -1);
    broken.push_back(cube.Place({0, -10, 0}));
    EXPECT_EQ(PickNearestObject(Down(0, 0), broken), 4);
}

// The stage on a running editor: the default camera looks from (0, 110, 300) at the pointer (0, 10, 0),
// so the middle of the view is the pointer's position.
class StagePickingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(editor_->Started());
        Platform().SetCursor(640, 360);
        editor_->Frames(2);  // the camera's transforms are set
    }

    CStage& Stage() { return *editor_->Manager().GetStage(); }
    CHeadlessPlatform& Platform() { return editor_->Platform(); }

    // Places an object of the given half size at `pos` in "TEST", as CreateObject does.
    void Place(D3DXVECTOR3 pos, float half, D3DXVECTOR3 scale = {1, 1, 1}) {
        ObjectPart part{};
        part.Pos = pos;
        part.Scale = scale;
        part.ModelLabel = "BOX" + std::to_string(half);
        editor_->Manager().GetModelManager()->AddModelData(
            part.ModelLabel, ModelData{nullptr, 0, nullptr, {half, half, half}, {-half, -half, -half}});
        Stage().CreateObject(part, "TEST", part.ModelLabel);
        // The editor mirrors its working copy into the stage every frame.
        editor_->Manager().GetEditor()->RefreshGroup("TEST");
    }

    // One picking pass at the cursor with the right button held or not.
    void Pick(LONG x, LONG y, bool rightHeld = true) {
        Platform().SetCursor(x, y);
        Platform().SetMouseButton(1, rightHeld);
        editor_->Manager().GetMouse()->Update();
        Stage().Picking();
    }

    TempDir folder_;
    ScopedWorkingDir inFolder_{folder_.Path()};
    std::unique_ptr<HeadlessEditor> editor_ = std::make_unique<HeadlessEditor>();
};

TEST_F(StagePickingTest, RightButtonOverAnObjectSelectsIt) {
    Place(D3DXVECTOR3(200, 0, 0), 5);  // off to the side
    Place(D3DXVECTOR3(0, 10, 0), 5);
    Pick(640, 360, false);
    EXPECT_FALSE(Stage().IsSelectionValid());
    Pick(640, 360);
    ASSERT_TRUE(Stage().IsSelectionValid());
    EXPECT_EQ(Stage().GetSelectedIndex(), 1);
}

TEST_F(StagePickingTest, OverlappingObjectsGiveTheNearest) {
    Place(D3DXVECTOR3(200, 0, 0), 5);
    Place(D3DXVECTOR3(0, -10, -60), 20);  // behind the look-at point, farther from the eye
    Place(D3DXVECTOR3(0, 10, 0), 20);
    Pick(640, 360);
    ASSERT_TRUE(Stage().IsSelectionValid());
    EXPECT_EQ(Stage().GetSelectedIndex(), 2);
}

TEST_F(StagePickingTest, EmptySpaceKeepsTheSelection) {
    Place(D3DXVECTOR3(0, 10, 0), 5);
    Place(D3DXVECTOR3(0, 10, 0), 5);
    Stage().Select(1);
    Pick(5, 5);
    EXPECT_TRUE(Stage().IsSelectionValid());
    EXPECT_EQ(Stage().GetSelectedIndex(), 1);
}

TEST_F(StagePickingTest, BoxesTurnWithTheirObjects) {
    // A box flattened beside the line; a long box that reaches the line only while not turned.
    Place(D3DXVECTOR3(0.5f, 10, 0), 1, D3DXVECTOR3(0, 1, 1));
    Place(D3DXVECTOR3(-40, 10, 0), 1, D3DXVECTOR3(50, 1, 1));
    Pick(640, 360);
    ASSERT_TRUE(Stage().IsSelectionValid());
    EXPECT_EQ(Stage().GetSelectedIndex(), 1);  // the flat one at index 0 is missed

    Stage().ClearSelection();
    Stage().Groups()["TEST"][1].part.Rot = D3DXVECTOR3(0, 1.5707964f, 0);  // now it lies along z
    Pick(640, 360);
    EXPECT_FALSE(Stage().IsSelectionValid());
}

TEST_F(StagePickingTest, MirroredObjectIsStillPicked) {
    Place(D3DXVECTOR3(0, 10, 0), 5, D3DXVECTOR3(-1, -1, -1));
    Pick(640, 360);
    EXPECT_TRUE(Stage().IsSelectionValid());
}

TEST_F(StagePickingTest, ObjectBehindTheEyeIsNotPicked) {
    // On the cursor's line, beyond the eye (0, 110, 300) seen from the look-at point.
    Place(D3DXVECTOR3(0, 210, 600), 20);
    Pick(640, 360);
    EXPECT_FALSE(Stage().IsSelectionValid());

    // An object in front after it in group order is the one picked.
    Place(D3DXVECTOR3(0, 10, 0), 5);
    Pick(640, 360);
    ASSERT_TRUE(Stage().IsSelectionValid());
    EXPECT_EQ(Stage().GetSelectedIndex(), 1);
}

TEST_F(StagePickingTest, EveryVisibleUnlockedGroupIsPickedAndItsTagSelected) {
    Place(D3DXVECTOR3(0, 10, 0), 50);
    auto picks = [&](const char* current, bool visible, bool locked) {
        Stage().ClearSelection();
        Stage().SetCurrentTag(current);
        Stage().SetTagVisible("TEST", visible);
        Stage().SetTagLocked("TEST", locked);
        Pick(640, 360);
        return Stage().IsSelectionValid();
    };
    // An object drawn is an object picked, whichever tag was current; its tag becomes the current one.
    EXPECT_TRUE(picks("OTHER", true, false));
    EXPECT_EQ(Stage().GetCurrentTag(), "TEST");
    EXPECT_TRUE(Stage().Document().IsSelected("TEST", 0));
    EXPECT_FALSE(picks("TEST", true, true));
    EXPECT_FALSE(picks("TEST", false, false));
    EXPECT_TRUE(picks("TEST", true, false));
}

TEST_F(StagePickingTest, DegenerateViewportOrProjectionSelectsNothing) {
    Place(D3DXVECTOR3(0, 10, 0), 1000);  // everything in view is inside it

    // The device refuses an empty viewport, as the real one does, so picking never sees one.
    const D3DVIEWPORT9 empty{0, 0, 0, 0, 0.0f, 1.0f};
    EXPECT_EQ(editor_->Device().SetViewport(&empty), D3DERR_INVALIDCALL);

    editor_->Manager().GetCamera()->mtxProjection = D3DXMATRIX();
    Pick(640, 360);
    EXPECT_FALSE(Stage().IsSelectionValid());

    editor_->Frames(1);  // SetCamera makes the projection again
    Pick(640, 360);
    EXPECT_TRUE(Stage().IsSelectionValid());
}

TEST_F(StagePickingTest, AnObjectWithoutAModelIsPickedAndDrawnAsItsPlaceholder) {
    ObjectPart part{};
    part.Scale = D3DXVECTOR3(20, 20, 20);  // the unit box from y = 0 to 20 under the look-at point
    part.ModelLabel = "NOT IN THE CATALOG";
    Stage().CreateObject(part, "TEST", part.ModelLabel);
    editor_->Manager().GetEditor()->RefreshGroup("TEST");
    Pick(840, 360);  // beside the box
    EXPECT_FALSE(Stage().IsSelectionValid());
    Pick(640, 360);
    ASSERT_TRUE(Stage().IsSelectionValid());
    const std::optional<StageHit> hit = Stage().HitUnderCursor(D3DXVECTOR3(640, 360, 0), false);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->index, 0);
    EXPECT_NEAR(hit->point.z, 10.0f, 0.5f);  // on the box's face toward the eye

    // The index holds its box; the view draws its edges where it stands.
    const CGroupIndex* index = Stage().Index().Group("TEST");
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->Overlapping(BoundsBox{D3DXVECTOR3(-9, 19, -9), D3DXVECTOR3(9, 19.5f, 9)}), std::vector<int>{0});
    editor_->Frames(1);
    ASSERT_EQ(Stage().Placeholders().size(), 1u);
    EXPECT_NEAR(Stage().Placeholders()[0]._41, -10.0f, 1e-4f);
    EXPECT_NEAR(Stage().Placeholders()[0]._11, 20.0f, 1e-4f);
}

TEST_F(StagePickingTest, FollowsTheCameraWhenItTurns) {
    // Left of the middle as seen from the start (+x is to the left looking down -z); after a half turn it is
    // right of the middle, and the middle of the view is empty.
    Place(D3DXVECTOR3(100, 10, 0), 10);
    editor_->Manager().GetCamera()->rot.y = 3.1415927f;
    editor_->Frames(2);
    Pick(640, 360);
    EXPECT_FALSE(Stage().IsSelectionValid());

    const CCamera& camera = *editor_->Manager().GetCamera();
    // Project the object's centre to find its pixel.
    D3DXVECTOR3 centre(100, 10, 0), viewSpace, clip;
    D3DXVec3TransformCoord(&viewSpace, &centre, &camera.mtxView);
    D3DXVec3TransformCoord(&clip, &viewSpace, &camera.mtxProjection);
    const LONG x = static_cast<LONG>(std::lround((clip.x + 1) * 640));
    const LONG y = static_cast<LONG>(std::lround((1 - clip.y) * 360));
    EXPECT_GT(x, 700);
    Pick(x, y);
    EXPECT_TRUE(Stage().IsSelectionValid());
}

}  // namespace
