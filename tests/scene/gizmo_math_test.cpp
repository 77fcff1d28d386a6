// The gizmo's hit test and drag maths on the editor's camera matrices, without a window.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/gizmo_math.h"
#include "scene/object_world.h"

namespace {

// The editor's projection, looking at `at` from `eye`, on the 1280 x 720 back buffer.
GizmoView ViewFrom(D3DXVECTOR3 eye, D3DXVECTOR3 at) {
    GizmoView view;
    D3DXVECTOR3 up(0, 1, 0);
    D3DXMatrixLookAtLH(&view.view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&view.projection, 0.7853982f, 16.0f / 9.0f, 5.0f, 10000.0f);
    view.width = 1280.0f;
    view.height = 720.0f;
    return view;
}

ScreenPoint Along(ScreenPoint a, ScreenPoint b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// Pixels between the cursor and where a world point now shows.
float Off(const GizmoView& view, const D3DXVECTOR3& p, ScreenPoint cursor) {
    ScreenPoint s;
    return ProjectPoint(view, p, &s) ? std::hypot(s.x - cursor.x, s.y - cursor.y) : 1e9f;
}

const D3DXVECTOR3 kCentre(10, 10, 0);
const GizmoTransform kStart{kCentre, D3DXVECTOR3(0.3f, 0.5f, 0.1f), D3DXVECTOR3(1, 2, 1)};

TEST(GizmoMath, AnAxisMoveKeepsTheGrabbedPointUnderTheCursor) {
    for (const D3DXVECTOR3& eye : {D3DXVECTOR3(0, 110, 300), D3DXVECTOR3(-150, 90, 220)}) {
        const GizmoView view = ViewFrom(eye, D3DXVECTOR3(0, 10, 0));
        const GizmoShape shape = BuildGizmoShape(view, kCentre, GizmoMode::Move);
        for (int k = 0; k < 3; ++k) {
            ASSERT_TRUE(shape.axisShown[k]);
            const ScreenPoint grab = Along(shape.centre, shape.axisEnd[k], 0.6f);
            ASSERT_EQ(HitGizmo(shape, grab), static_cast<GizmoHandle>(static_cast<int>(GizmoHandle::AxisX) + k));
            GizmoDrag drag;
            ASSERT_TRUE(BeginGizmoDrag(view, HitGizmo(shape, grab), kStart, grab, &drag));
            const ScreenPoint cursor = Along(shape.centre, shape.axisEnd[k], 1.3f);
            GizmoTransform moved;
            ASSERT_TRUE(DragGizmo(drag, view, cursor, GizmoSnap{}, &moved));
            // Only the axis's coordinate changes, and the grabbed point sits under the cursor.
            EXPECT_LT(Off(view, moved.Pos + (drag.grab - kStart.Pos), cursor), 1.0f) << "axis " << k;
            EXPECT_EQ((moved.Pos - kStart.Pos).x != 0.0f, k == 0);
            EXPECT_EQ((moved.Pos - kStart.Pos).z != 0.0f, k == 2);
            EXPECT_TRUE(moved.Rot == kStart.Rot && moved.Scale == kStart.Scale);
        }
    }
}

TEST(GizmoMath, APlaneMoveStaysInThePlaneUnderTheCursor) {
    const GizmoView view = ViewFrom(D3DXVECTOR3(-150, 190, 220), D3DXVECTOR3(0, 10, 0));
    const GizmoShape shape = BuildGizmoShape(view, kCentre, GizmoMode::Move);
    const auto& square = shape.plane[1];  // the x-z square, normal to y
    const ScreenPoint grab = Along(Along(square[0], square[1], 0.5f), Along(square[3], square[2], 0.5f), 0.5f);
    ASSERT_EQ(HitGizmo(shape, grab), GizmoHandle::PlaneXZ);
    GizmoDrag drag;
    ASSERT_TRUE(BeginGizmoDrag(view, GizmoHandle::PlaneXZ, kStart, grab, &drag));
    const ScreenPoint cursor{grab.x + 70.0f, grab.y + 35.0f};
    GizmoTransform moved;
    ASSERT_TRUE(DragGizmo(drag, view, cursor, GizmoSnap{}, &moved));
    EXPECT_EQ(moved.Pos.y, kStart.Pos.y);
    EXPECT_LT(Off(view, moved.Pos + (drag.grab - kStart.Pos), cursor), 1.0f);
    EXPECT_GT(std::fabs(moved.Pos.x - kStart.Pos.x), 1.0f);
}

TEST(GizmoMath, RingsTurnByTheCursorsAngleAboutTheCentre) {
    const GizmoView view = ViewFrom(D3DXVECTOR3(160, 260, 200), D3DXVECTOR3(0, 10, 0));
    const GizmoShape shape = BuildGizmoShape(view, kCentre, GizmoMode::Rotate);
    // Ring point i lies at the angle 2 pi i / segments, counted in the sense of a positive turn.
    const float eighth = 3.14159265f / 4.0f;
    for (int k : {1, 0}) {
        const std::vector<ScreenPoint>& ring = shape.ring[k];
        ASSERT_EQ(ring.size(), static_cast<std::size_t>(GizmoSizes::kRingSegments));
        const GizmoHandle handle = k == 1 ? GizmoHandle::RingY : GizmoHandle::RingX;
        ASSERT_EQ(HitGizmo(shape, ring[2]), handle);
        GizmoDrag drag;
        ASSERT_TRUE(BeginGizmoDrag(view, handle, kStart, ring[2], &drag));
        GizmoTransform turned;
        ASSERT_TRUE(DragGizmo(drag, view, ring[10], GizmoSnap{}, &turned));
        D3DXMATRIX start, expected, axis, actual;  // the start's rotation, then the turn about the axis
        D3DXMatrixRotationYawPitchRoll(&start, kStart.Rot.y, kStart.Rot.x, kStart.Rot.z);
        k == 1 ? D3DXMatrixRotationY(&axis, eighth) : D3DXMatrixRotationX(&axis, eighth);
        D3DXMatrixMultiply(&expected, &start, &axis);
        D3DXMatrixRotationYawPitchRoll(&actual, turned.Rot.y, turned.Rot.x, turned.Rot.z);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(actual(r, c), expected(r, c), 1e-4f) << "ring " << k;
        if (k == 1) {
            EXPECT_NEAR(turned.Rot.y, kStart.Rot.y + eighth, 1e-4f);
        }
    }
}

TEST(GizmoMath, SnappingLandsOnTheGridAndTheUniformHandleScales) {
    const GizmoView view = ViewFrom(D3DXVECTOR3(0, 110, 300), D3DXVECTOR3(0, 10, 0));
    GizmoShape shape = BuildGizmoShape(view, kCentre, GizmoMode::Move);
    GizmoSnap snap{true, 5.0f, 0.2617994f};
    GizmoDrag drag;
    ASSERT_TRUE(BeginGizmoDrag(view, GizmoHandle::AxisX, kStart, Along(shape.centre, shape.axisEnd[0], 0.5f), &drag));
    GizmoTransform moved;
    ASSERT_TRUE(DragGizmo(drag, view, Along(shape.centre, shape.axisEnd[0], 1.37f), snap, &moved));
    EXPECT_FLOAT_EQ(std::fmod(moved.Pos.x, 5.0f), 0.0f);
    EXPECT_GT(moved.Pos.x, kStart.Pos.x);
    EXPECT_EQ(moved.Pos.y, kStart.Pos.y);

    shape = BuildGizmoShape(view, kCentre, GizmoMode::Rotate);
    ASSERT_TRUE(BeginGizmoDrag(view, GizmoHandle::RingY, kStart, shape.ring[1][0], &drag));
    ASSERT_TRUE(DragGizmo(drag, view, shape.ring[1][6], snap, &moved));  // 34 degrees: two steps
    EXPECT_NEAR(moved.Rot.y - kStart.Rot.y, 2 * snap.angleStep, 1e-5f);

    shape = BuildGizmoShape(view, kCentre, GizmoMode::Scale);
    const ScreenPoint onCircle{shape.centre.x + shape.uniformRadius, shape.centre.y};
    ASSERT_EQ(HitGizmo(shape, onCircle), GizmoHandle::Uniform);
    EXPECT_EQ(HitGizmo(shape, shape.centre), GizmoHandle::None);
    ASSERT_TRUE(BeginGizmoDrag(view, GizmoHandle::Uniform, kStart, onCircle, &drag));
    ASSERT_TRUE(DragGizmo(drag, view, ScreenPoint{shape.centre.x, shape.centre.y - 1.5f * shape.uniformRadius},
                          snap, &moved));
    EXPECT_NEAR(moved.Scale.y, 3.0f, 1e-4f);
    EXPECT_EQ(SnapToGrid(D3DXVECTOR3(2.4f, -2.6f, 7.5f), 5.0f), D3DXVECTOR3(0.0f, -5.0f, 10.0f));
}

TEST(GizmoMath, ASelectionFollowsTheGizmoAboutItsPivotOrEachOrigin) {
    const float quarter = 1.5707964f;
    struct Case {
        const char* what;
        GizmoHandle handle;
        GizmoAxes axes;
        bool ownOrigin;
        GizmoTransform object;
        D3DXVECTOR3 pos, localY;  // where the object's origin and its local point (0, 1, 0) end up
    };
    const GizmoTransform plain{D3DXVECTOR3(3, 0, 0), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1)};
    const GizmoTransform yawed{D3DXVECTOR3(3, 0, 0), D3DXVECTOR3(0, quarter, 0), D3DXVECTOR3(1, 1, 1)};
    // The pivot is (1, 0, 0); moves go by (0, 0, 5), turns a quarter, scales double.
    const Case cases[] = {
        {"move", GizmoHandle::PlaneXZ, WorldAxes(), false, plain, {3, 0, 5}, {3, 1, 5}},
        {"turn about the pivot", GizmoHandle::RingY, WorldAxes(), false, plain, {1, 0, -2}, {1, 1, -2}},
        {"turn in place", GizmoHandle::RingY, WorldAxes(), true, plain, {3, 0, 0}, {3, 1, 0}},
        // Its own x points along -z: a quarter about it takes its local y to +x.
        {"turn about its own x", GizmoHandle::RingX, ObjectAxes(yawed.Rot), true, yawed, {3, 0, 0}, {4, 0, 0}},
        {"turn about the pivot on z", GizmoHandle::RingZ, WorldAxes(), false, plain, {1, 2, 0}, {0, 2, 0}},
        {"scale about the pivot", GizmoHandle::Uniform, WorldAxes(), false, plain, {5, 0, 0}, {5, 2, 0}},
        {"scale in place", GizmoHandle::Uniform, WorldAxes(), true, plain, {3, 0, 0}, {3, 2, 0}},
    };
    for (const Case& c : cases) {
        GizmoDrag drag;
        drag.handle = c.handle;
        drag.axes = c.axes;
        drag.start = GizmoTransform{D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1)};
        drag.applied = quarter;
        drag.factor = 2.0f;
        GizmoTransform now = drag.start;
        now.Pos += D3DXVECTOR3(0, 0, 5);
        const GizmoTransform t = FollowGizmo(drag, now, c.object, c.ownOrigin);
        ObjectPart part{};
        part.Pos = t.Pos, part.Rot = t.Rot, part.Scale = t.Scale;
        const D3DXMATRIX world = ObjectWorld(part);
        D3DXVECTOR3 localY(0, 1, 0), at;
        D3DXVec3TransformCoord(&at, &localY, &world);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR((&t.Pos.x)[k], (&c.pos.x)[k], 1e-4f) << c.what << " axis " << k;
            EXPECT_NEAR((&at.x)[k], (&c.localY.x)[k], 1e-4f) << c.what << " axis " << k;
        }
    }
    const std::vector<D3DXVECTOR3> origins = {{0, 0, 0}, {4, 2, -2}, {1, 6, 0}};
    EXPECT_EQ(CentreOf(origins), D3DXVECTOR3(2, 3, -1));
}

}  // namespace
