// The transform gizmo on plain values: its shape on screen, the hit test of its handles and the drag
// maths, all from the camera's matrices and the cursor. No window, device or GUI is needed.
#pragma once

#include <array>
#include <vector>

#include "d3d/d3dx9.h"

enum class GizmoMode { Move, Rotate, Scale };

// Axes and rings are numbered x, y, z; a plane square is named by the two axes it spans.
enum class GizmoHandle { None, AxisX, AxisY, AxisZ, PlaneYZ, PlaneXZ, PlaneXY, RingX, RingY, RingZ, Uniform };

// What the view showed: the camera's matrices and the back buffer's size in pixels.
struct GizmoView {
    D3DXMATRIX view;
    D3DXMATRIX projection;
    float width = 0.0f;
    float height = 0.0f;
};

// A point in client pixels (x right, y down).
struct ScreenPoint {
    float x = 0.0f;
    float y = 0.0f;
};

// The line under a pixel: from its point on the near plane, away from the eye; dir has unit length.
struct GizmoRay {
    D3DXVECTOR3 origin;
    D3DXVECTOR3 dir;
};

// The handles' sizes on screen, in pixels: the gizmo keeps them whatever the distance.
struct GizmoSizes {
    static constexpr float kAxis = 100.0f;         // arrow length
    static constexpr float kPlaneNear = 25.0f;     // plane squares span this to kPlaneFar along both axes
    static constexpr float kPlaneFar = 45.0f;
    static constexpr float kRing = 90.0f;          // rotation ring radius
    static constexpr float kUniform = 70.0f;       // uniform-scale circle radius
    static constexpr float kPickDistance = 7.0f;   // how near the cursor must come to a line
    static constexpr int kRingSegments = 64;
};

// The gizmo as drawn this frame, in client pixels.
struct GizmoShape {
    GizmoMode mode = GizmoMode::Move;
    bool visible = false;  // false when the object's centre is behind the eye
    ScreenPoint centre;
    std::array<ScreenPoint, 3> axisEnd{};
    std::array<bool, 3> axisShown{};             // an axis pointing at the eye has no length to grab
    std::array<std::array<ScreenPoint, 4>, 3> plane{};  // indexed by the axis the square is normal to
    std::array<bool, 3> planeShown{};            // a square seen edge-on has no area to grab
    std::array<std::vector<ScreenPoint>, 3> ring;  // closed outlines; empty when not shown
    float uniformRadius = 0.0f;
};

// Position, rotation (x pitch, y yaw, z roll, radians) and scale of the object being edited.
struct GizmoTransform {
    D3DXVECTOR3 Pos;
    D3DXVECTOR3 Rot;
    D3DXVECTOR3 Scale;
};

// Grid snapping: positions to multiples of step, rotations by multiples of angleStep (radians).
struct GizmoSnap {
    bool enabled = false;
    float step = 1.0f;
    float angleStep = 0.2617994f;  // 15 degrees
};

// The gizmo's three axes in world space, x, y, z: the world's, or an object's own (turned with it).
using GizmoAxes = std::array<D3DXVECTOR3, 3>;
GizmoAxes WorldAxes();
// The axes of an object turned by `rot` (x pitch, y yaw, z roll).
GizmoAxes ObjectAxes(const D3DXVECTOR3& rot);

// A drag under way: what was grabbed and where, and the object as it was when grabbed.
struct GizmoDrag {
    GizmoHandle handle = GizmoHandle::None;
    GizmoTransform start;
    GizmoAxes axes = WorldAxes();
    D3DXVECTOR3 grab;         // the world point grabbed: on the axis, in the plane or in the ring's plane
    float grabAlong = 0.0f;   // axis moves: the grabbed point's distance along the axis from the centre
    float grabRadius = 0.0f;  // uniform scale: the grabbed pixel's distance from the centre on screen
    bool screenAngle = false; // rings seen nearly edge-on turn by the cursor's angle on screen
    float lastAngle = 0.0f;   // rings: the angle reached so far, unwrapped
    float turned = 0.0f;      // rings: the turn since the grab
    float applied = 0.0f;     // rings: the turn last applied (snapped when snapping)
    float factor = 1.0f;      // uniform scale: the factor last applied
};

// Projects a world point to client pixels; false when it lies on or behind the eye's plane.
bool ProjectPoint(const GizmoView& view, const D3DXVECTOR3& world, ScreenPoint* out);
// The line under a pixel; false when the matrices are degenerate.
bool CursorRay(const GizmoView& view, ScreenPoint cursor, GizmoRay* ray);
// World units covered by one pixel at a point's depth; 0 when the point is behind the eye.
float WorldPerPixel(const GizmoView& view, const D3DXVECTOR3& point);

GizmoShape BuildGizmoShape(const GizmoView& view, const D3DXVECTOR3& centre, GizmoMode mode,
                           const GizmoAxes& axes = WorldAxes());
// The handle under the cursor: the nearest line within the pick distance, else a plane square.
GizmoHandle HitGizmo(const GizmoShape& shape, ScreenPoint cursor);

// Starts a drag of a handle at the cursor; false when the handle cannot be dragged from this view.
bool BeginGizmoDrag(const GizmoView& view, GizmoHandle handle, const GizmoTransform& start, ScreenPoint cursor,
                    GizmoDrag* drag, const GizmoAxes& axes = WorldAxes());
// The object's transform with the cursor at `cursor`, into *out. Moves keep the grabbed point under the
// cursor, rings follow the cursor's angle about the centre, the uniform handle scales by the cursor's
// distance from the centre. False, with *out untouched, where the cursor's line misses the handle (a
// plane seen edge-on, a point behind the eye): the object then stays where the last frame put it.
bool DragGizmo(GizmoDrag& drag, const GizmoView& view, ScreenPoint cursor, const GizmoSnap& snap,
               GizmoTransform* out);

// Where the selection's gizmo stands and what its turns and scales act about: the centre of the selected
// objects' origins, each object's own origin (the gizmo stands at the centre), or the active object's origin.
enum class GizmoPivot { Centre, EachOrigin, Active };
// One object of a selection after a drag that took the gizmo from drag.start to `now`: moved by as much,
// turned about the same axis by the same angle and scaled by the same factor, about the gizmo's centre or,
// with `ownOrigin`, about the object's own origin.
GizmoTransform FollowGizmo(const GizmoDrag& drag, const GizmoTransform& now, const GizmoTransform& object,
                           bool ownOrigin);
// The centre of the points' bounds (the origin for none).
D3DXVECTOR3 CentreOf(const std::vector<D3DXVECTOR3>& points);

// The nearest multiple of step (step <= 0 leaves the value).
float SnapToStep(float value, float step);
D3DXVECTOR3 SnapToGrid(const D3DXVECTOR3& point, float step);
