#include "scene/gizmo_math.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.28318531f;
constexpr float kMinAxisPixels = 10.0f;  // shorter on screen, an axis points nearly at the eye
constexpr float kMinPlaneArea = 40.0f;   // square pixels
constexpr float kEdgeOn = 0.1f;          // |cos| between the cursor's line and a ring's axis

float& Component(D3DXVECTOR3& v, int k) { return k == 0 ? v.x : (k == 1 ? v.y : v.z); }

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

bool Finite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

float Distance(ScreenPoint a, ScreenPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

float DistanceToSegment(ScreenPoint p, ScreenPoint a, ScreenPoint b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0.0f ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return Distance(p, ScreenPoint{a.x + t * dx, a.y + t * dy});
}

// Twice the signed area of a polygon (shoelace).
float Area2(const std::array<ScreenPoint, 4>& q) {
    float sum = 0.0f;
    for (std::size_t i = 0; i < q.size(); ++i) {
        const ScreenPoint& a = q[i];
        const ScreenPoint& b = q[(i + 1) % q.size()];
        sum += a.x * b.y - b.x * a.y;
    }
    return sum;
}

// Inside a convex quad: on the same side of every edge.
bool InsideQuad(const std::array<ScreenPoint, 4>& q, ScreenPoint p) {
    bool negative = false, positive = false;
    for (std::size_t i = 0; i < q.size(); ++i) {
        const ScreenPoint& a = q[i];
        const ScreenPoint& b = q[(i + 1) % q.size()];
        const float side = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        negative = negative || side < 0.0f;
        positive = positive || side > 0.0f;
    }
    return !(negative && positive);
}

bool EyeOf(const GizmoView& view, D3DXVECTOR3* eye) {
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &view.view)) return false;
    *eye = D3DXVECTOR3(inverse._41, inverse._42, inverse._43);
    return Finite(*eye);
}

// The parameter along the line centre + s * axis of its point nearest the cursor's line.
bool NearestAlong(const GizmoRay& ray, const D3DXVECTOR3& centre, const D3DXVECTOR3& axis, float* s) {
    const D3DXVECTOR3 w0 = centre - ray.origin;
    const float b = Dot(axis, ray.dir);
    const float denominator = 1.0f - b * b;
    if (denominator < 1e-6f) return false;  // the axis runs along the line of sight
    *s = (b * Dot(ray.dir, w0) - Dot(axis, w0)) / denominator;
    return std::isfinite(*s);
}

// Where the cursor's line meets the plane through `point` with normal `normal`, in front of the eye.
bool HitPlane(const GizmoRay& ray, const D3DXVECTOR3& point, const D3DXVECTOR3& normal, D3DXVECTOR3* hit) {
    const float facing = Dot(normal, ray.dir);
    if (std::fabs(facing) < 1e-4f) return false;
    const float t = Dot(normal, point - ray.origin) / facing;
    if (!(t >= 0.0f) || !std::isfinite(t)) return false;
    *hit = ray.origin + ray.dir * t;
    return true;
}

int HandleAxis(GizmoHandle handle) {
    switch (handle) {
    case GizmoHandle::AxisX: case GizmoHandle::PlaneYZ: case GizmoHandle::RingX: return 0;
    case GizmoHandle::AxisY: case GizmoHandle::PlaneXZ: case GizmoHandle::RingY: return 1;
    case GizmoHandle::AxisZ: case GizmoHandle::PlaneXY: case GizmoHandle::RingZ: return 2;
    default: return -1;
    }
}

bool IsAxis(GizmoHandle h) { return h == GizmoHandle::AxisX || h == GizmoHandle::AxisY || h == GizmoHandle::AxisZ; }
bool IsPlane(GizmoHandle h) {
    return h == GizmoHandle::PlaneYZ || h == GizmoHandle::PlaneXZ || h == GizmoHandle::PlaneXY;
}
bool IsRing(GizmoHandle h) { return h == GizmoHandle::RingX || h == GizmoHandle::RingY || h == GizmoHandle::RingZ; }

float WrapAngle(float a) {
    while (a > kPi) a -= kTwoPi;
    while (a <= -kPi) a += kTwoPi;
    return a;
}

bool IsWorld(const GizmoAxes& axes) {
    const GizmoAxes world = WorldAxes();
    return axes[0] == world[0] && axes[1] == world[1] && axes[2] == world[2];
}

// The turn of `angle` about the unit vector `axis`, for row vectors as the other matrices here.
D3DXMATRIX TurnMatrix(const D3DXVECTOR3& a, float angle) {
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m._11 = c + a.x * a.x * t, m._12 = a.x * a.y * t + a.z * s, m._13 = a.x * a.z * t - a.y * s;
    m._21 = a.x * a.y * t - a.z * s, m._22 = c + a.y * a.y * t, m._23 = a.y * a.z * t + a.x * s;
    m._31 = a.x * a.z * t + a.y * s, m._32 = a.y * a.z * t - a.x * s, m._33 = c + a.z * a.z * t;
    return m;
}

// The ring's angle of the cursor: in the ring's own plane, or on screen for a ring seen edge-on, signed so
// that a growing angle is a positive turn about the ring's axis.
bool RingAngle(const GizmoDrag& drag, const GizmoView& view, ScreenPoint cursor, float* angle) {
    const int k = HandleAxis(drag.handle);
    const D3DXVECTOR3 centre = drag.start.Pos;
    if (drag.screenAngle) {
        ScreenPoint c;
        D3DXVECTOR3 eye;
        if (!ProjectPoint(view, centre, &c) || !EyeOf(view, &eye)) return false;
        if (Distance(cursor, c) < 1.0f) return false;
        // Seen from the eye, a positive turn about an axis pointing away runs anticlockwise.
        const float sign = Dot(drag.axes[k], centre - eye) > 0.0f ? 1.0f : -1.0f;
        *angle = sign * std::atan2(c.y - cursor.y, cursor.x - c.x);
        return true;
    }
    GizmoRay ray;
    D3DXVECTOR3 hit;
    if (!CursorRay(view, cursor, &ray) || !HitPlane(ray, centre, drag.axes[k], &hit)) return false;
    const D3DXVECTOR3 w = hit - centre;
    // (u, v, axis) is right-handed in the algebra's sense: u x v = axis.
    const D3DXVECTOR3 u = drag.axes[(k + 1) % 3], v = drag.axes[(k + 2) % 3];
    if (Dot(w, w) <= 0.0f) return false;
    *angle = std::atan2(Dot(w, v), Dot(w, u));
    return true;
}

// Yaw, pitch and roll of a rotation matrix built as D3DXMatrixRotationYawPitchRoll builds it.
void Decompose(const D3DXMATRIX& m, D3DXVECTOR3* rot) {
    const float sp = std::clamp(-m._32, -1.0f, 1.0f);
    const float pitch = std::asin(sp);
    if (std::fabs(std::cos(pitch)) > 1e-6f) {
        *rot = D3DXVECTOR3(pitch, std::atan2(m._31, m._33), std::atan2(m._12, m._22));
    } else {
        *rot = D3DXVECTOR3(pitch, std::atan2(-m._13, m._11), 0.0f);
    }
}

float Nearest(float angle, float to) { return to + WrapAngle(angle - to); }

// The start's rotation followed by a turn of `angle` about the world direction `axis` (unit length).
D3DXVECTOR3 TurnAbout(const D3DXVECTOR3& start, const D3DXVECTOR3& axis, float angle) {
    // Yaw is applied last, so a turn about y is a change of yaw alone.
    if (axis == D3DXVECTOR3(0.0f, 1.0f, 0.0f)) return D3DXVECTOR3(start.x, start.y + angle, start.z);
    D3DXMATRIX base, turn, turned;
    D3DXMatrixRotationYawPitchRoll(&base, start.y, start.x, start.z);
    if (axis == D3DXVECTOR3(1.0f, 0.0f, 0.0f))
        D3DXMatrixRotationX(&turn, angle);
    else if (axis == D3DXVECTOR3(0.0f, 0.0f, 1.0f))
        D3DXMatrixRotationZ(&turn, angle);
    else
        turn = TurnMatrix(axis, angle);
    D3DXMatrixMultiply(&turned, &base, &turn);
    D3DXVECTOR3 a;
    Decompose(turned, &a);
    // The same rotation has a second set of angles; take whichever lies nearer the start.
    D3DXVECTOR3 b(kPi - a.x, a.y + kPi, a.z + kPi);
    for (D3DXVECTOR3* r : {&a, &b}) *r = D3DXVECTOR3(Nearest(r->x, start.x), Nearest(r->y, start.y), Nearest(r->z, start.z));
    auto away = [&](const D3DXVECTOR3& r) {
        return std::fabs(r.x - start.x) + std::fabs(r.y - start.y) + std::fabs(r.z - start.z);
    };
    return away(a) <= away(b) ? a : b;
}

}  // namespace

bool ProjectPoint(const GizmoView& view, const D3DXVECTOR3& world, ScreenPoint* out) {
    D3DXVECTOR3 v;
    D3DXVec3TransformCoord(&v, &world, &view.view);
    const D3DXMATRIX& p = view.projection;
    const float w = v.x * p._14 + v.y * p._24 + v.z * p._34 + p._44;
    if (!(w > 1e-6f)) return false;
    const float x = (v.x * p._11 + v.y * p._21 + v.z * p._31 + p._41) / w;
    const float y = (v.x * p._12 + v.y * p._22 + v.z * p._32 + p._42) / w;
    out->x = (x + 1.0f) * 0.5f * view.width;
    out->y = (1.0f - y) * 0.5f * view.height;
    return std::isfinite(out->x) && std::isfinite(out->y);
}

bool CursorRay(const GizmoView& view, ScreenPoint cursor, GizmoRay* ray) {
    if (!(view.width > 0.0f) || !(view.height > 0.0f)) return false;
    D3DVIEWPORT9 viewport{0, 0, static_cast<DWORD>(view.width), static_cast<DWORD>(view.height), 0.0f, 1.0f};
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    D3DXVECTOR3 screen(cursor.x, cursor.y, 0.0f), nearPoint, eye;
    D3DXVec3Unproject(&nearPoint, &screen, &viewport, &view.projection, &view.view, &world);
    if (!EyeOf(view, &eye) || !Finite(nearPoint)) return false;
    // Every line of a perspective view starts at the eye.
    D3DXVECTOR3 dir = nearPoint - eye;
    const float length = std::sqrt(Dot(dir, dir));
    if (!(length > 0.0f) || !std::isfinite(length)) return false;
    ray->origin = nearPoint;
    ray->dir = dir * (1.0f / length);
    return true;
}

float WorldPerPixel(const GizmoView& view, const D3DXVECTOR3& point) {
    D3DXVECTOR3 v;
    D3DXVec3TransformCoord(&v, &point, &view.view);
    if (!(v.z > 0.0f) || !(view.height > 0.0f) || view.projection._22 == 0.0f) return 0.0f;
    return 2.0f * v.z / (view.projection._22 * view.height);
}

GizmoAxes WorldAxes() {
    return {D3DXVECTOR3(1.0f, 0.0f, 0.0f), D3DXVECTOR3(0.0f, 1.0f, 0.0f), D3DXVECTOR3(0.0f, 0.0f, 1.0f)};
}

GizmoAxes ObjectAxes(const D3DXVECTOR3& rot) {
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, rot.y, rot.x, rot.z);
    // The rows are where the object's own x, y and z point.
    return {D3DXVECTOR3(m._11, m._12, m._13), D3DXVECTOR3(m._21, m._22, m._23), D3DXVECTOR3(m._31, m._32, m._33)};
}

GizmoShape BuildGizmoShape(const GizmoView& view, const D3DXVECTOR3& centre, GizmoMode mode, const GizmoAxes& axes) {
    auto Axis = [&](int k) { return axes[static_cast<std::size_t>(k)]; };
    GizmoShape shape;
    shape.mode = mode;
    const float unit = WorldPerPixel(view, centre);
    if (!(unit > 0.0f) || !ProjectPoint(view, centre, &shape.centre)) return shape;
    shape.visible = true;

    for (int k = 0; k < 3; ++k) {
        shape.axisShown[k] = ProjectPoint(view, centre + Axis(k) * (GizmoSizes::kAxis * unit), &shape.axisEnd[k]) &&
                             Distance(shape.centre, shape.axisEnd[k]) >= kMinAxisPixels;
    }
    if (mode == GizmoMode::Move) {
        const float a = GizmoSizes::kPlaneNear * unit, b = GizmoSizes::kPlaneFar * unit;
        for (int k = 0; k < 3; ++k) {
            const D3DXVECTOR3 u = Axis((k + 1) % 3), v = Axis((k + 2) % 3);
            const D3DXVECTOR3 corners[4] = {u * a + v * a, u * b + v * a, u * b + v * b, u * a + v * b};
            bool ok = true;
            for (int i = 0; i < 4; ++i) ok = ok && ProjectPoint(view, centre + corners[i], &shape.plane[k][i]);
            shape.planeShown[k] = ok && std::fabs(Area2(shape.plane[k])) * 0.5f >= kMinPlaneArea;
        }
    } else if (mode == GizmoMode::Rotate) {
        const float radius = GizmoSizes::kRing * unit;
        for (int k = 0; k < 3; ++k) {
            const D3DXVECTOR3 u = Axis((k + 1) % 3), v = Axis((k + 2) % 3);
            std::vector<ScreenPoint>& ring = shape.ring[k];
            for (int i = 0; i < GizmoSizes::kRingSegments; ++i) {
                const float angle = kTwoPi * static_cast<float>(i) / GizmoSizes::kRingSegments;
                ScreenPoint p;
                if (!ProjectPoint(view, centre + (u * std::cos(angle) + v * std::sin(angle)) * radius, &p)) {
                    ring.clear();
                    break;
                }
                ring.push_back(p);
            }
        }
    } else {
        shape.uniformRadius = GizmoSizes::kUniform;
    }
    return shape;
}

GizmoHandle HitGizmo(const GizmoShape& shape, ScreenPoint cursor) {
    if (!shape.visible) return GizmoHandle::None;
    GizmoHandle best = GizmoHandle::None;
    float bestDistance = GizmoSizes::kPickDistance;
    auto consider = [&](GizmoHandle handle, float distance) {
        if (distance < bestDistance) {
            bestDistance = distance;
            best = handle;
        }
    };
    static constexpr GizmoHandle kAxes[3] = {GizmoHandle::AxisX, GizmoHandle::AxisY, GizmoHandle::AxisZ};
    static constexpr GizmoHandle kPlanes[3] = {GizmoHandle::PlaneYZ, GizmoHandle::PlaneXZ, GizmoHandle::PlaneXY};
    static constexpr GizmoHandle kRings[3] = {GizmoHandle::RingX, GizmoHandle::RingY, GizmoHandle::RingZ};
    switch (shape.mode) {
    case GizmoMode::Move:
        for (int k = 0; k < 3; ++k)
            if (shape.axisShown[k]) consider(kAxes[k], DistanceToSegment(cursor, shape.centre, shape.axisEnd[k]));
        if (best != GizmoHandle::None) return best;
        for (int k = 0; k < 3; ++k)
            if (shape.planeShown[k] && InsideQuad(shape.plane[k], cursor)) return kPlanes[k];
        return GizmoHandle::None;
    case GizmoMode::Rotate:
        for (int k = 0; k < 3; ++k) {
            const std::vector<ScreenPoint>& ring = shape.ring[k];
            for (std::size_t i = 0; i < ring.size(); ++i)
                consider(kRings[k], DistanceToSegment(cursor, ring[i], ring[(i + 1) % ring.size()]));
        }
        return best;
    case GizmoMode::Scale:
        consider(GizmoHandle::Uniform, std::fabs(Distance(cursor, shape.centre) - shape.uniformRadius));
        return best;
    }
    return GizmoHandle::None;
}

bool BeginGizmoDrag(const GizmoView& view, GizmoHandle handle, const GizmoTransform& start, ScreenPoint cursor,
                    GizmoDrag* drag, const GizmoAxes& axes) {
    GizmoDrag d;
    d.handle = handle;
    d.start = start;
    d.axes = axes;
    auto Axis = [&](int k) { return axes[static_cast<std::size_t>(k)]; };
    const int k = HandleAxis(handle);
    GizmoRay ray;
    if (!CursorRay(view, cursor, &ray)) return false;
    if (IsAxis(handle)) {
        if (!NearestAlong(ray, start.Pos, Axis(k), &d.grabAlong)) return false;
        d.grab = start.Pos + Axis(k) * d.grabAlong;
    } else if (IsPlane(handle)) {
        if (!HitPlane(ray, start.Pos, Axis(k), &d.grab)) return false;
    } else if (IsRing(handle)) {
        d.screenAngle = std::fabs(Dot(ray.dir, Axis(k))) < kEdgeOn;
        if (!RingAngle(d, view, cursor, &d.lastAngle)) return false;
    } else if (handle == GizmoHandle::Uniform) {
        ScreenPoint c;
        if (!ProjectPoint(view, start.Pos, &c)) return false;
        d.grabRadius = Distance(cursor, c);
        if (d.grabRadius < 1.0f) return false;
    } else {
        return false;
    }
    *drag = d;
    return true;
}

bool DragGizmo(GizmoDrag& drag, const GizmoView& view, ScreenPoint cursor, const GizmoSnap& snap,
               GizmoTransform* out) {
    GizmoTransform t = drag.start;
    const int k = HandleAxis(drag.handle);
    auto Axis = [&](int j) { return drag.axes[static_cast<std::size_t>(j)]; };
    // Along the world's axes the position lands on the grid; along an object's own, the distance moved
    // is a number of steps.
    const bool world = IsWorld(drag.axes);
    if (IsAxis(drag.handle) || IsPlane(drag.handle)) {
        GizmoRay ray;
        if (!CursorRay(view, cursor, &ray)) return false;
        if (IsAxis(drag.handle) && world) {
            float along;
            if (!NearestAlong(ray, drag.start.Pos, Axis(k), &along)) return false;
            Component(t.Pos, k) += along - drag.grabAlong;
            if (snap.enabled) Component(t.Pos, k) = SnapToStep(Component(t.Pos, k), snap.step);
        } else if (IsAxis(drag.handle)) {
            float along;
            if (!NearestAlong(ray, drag.start.Pos, Axis(k), &along)) return false;
            const float moved = along - drag.grabAlong;
            t.Pos += Axis(k) * (snap.enabled ? SnapToStep(moved, snap.step) : moved);
        } else if (world) {
            D3DXVECTOR3 hit;
            if (!HitPlane(ray, drag.start.Pos, Axis(k), &hit)) return false;
            t.Pos += hit - drag.grab;
            Component(t.Pos, k) = Component(drag.start.Pos, k);  // exactly in the plane
            for (int j : {(k + 1) % 3, (k + 2) % 3})
                if (snap.enabled) Component(t.Pos, j) = SnapToStep(Component(t.Pos, j), snap.step);
        } else {
            D3DXVECTOR3 hit;
            if (!HitPlane(ray, drag.start.Pos, Axis(k), &hit)) return false;
            const D3DXVECTOR3 moved = hit - drag.grab;
            for (int j : {(k + 1) % 3, (k + 2) % 3}) {
                const float along = Dot(moved, Axis(j));
                t.Pos += Axis(j) * (snap.enabled ? SnapToStep(along, snap.step) : along);
            }
        }
        if (!Finite(t.Pos)) return false;
    } else if (IsRing(drag.handle)) {
        float angle;
        if (!RingAngle(drag, view, cursor, &angle)) return false;
        // Unwrapped, so a drag round the ring more than half a turn keeps turning the same way.
        drag.turned += WrapAngle(angle - drag.lastAngle);
        drag.lastAngle = angle;
        const float turn = snap.enabled ? SnapToStep(drag.turned, snap.angleStep) : drag.turned;
        drag.applied = turn;
        t.Rot = TurnAbout(drag.start.Rot, Axis(k), turn);
    } else if (drag.handle == GizmoHandle::Uniform) {
        ScreenPoint c;
        if (!ProjectPoint(view, drag.start.Pos, &c)) return false;
        const float factor = Distance(cursor, c) / drag.grabRadius;
        drag.factor = factor;
        t.Scale = drag.start.Scale * factor;
    } else {
        return false;
    }
    *out = t;
    return true;
}

float SnapToStep(float value, float step) {
    if (!(step > 0.0f) || !std::isfinite(step)) return value;
    return std::round(value / step) * step;
}

D3DXVECTOR3 SnapToGrid(const D3DXVECTOR3& point, float step) {
    return D3DXVECTOR3(SnapToStep(point.x, step), SnapToStep(point.y, step), SnapToStep(point.z, step));
}

GizmoTransform FollowGizmo(const GizmoDrag& drag, const GizmoTransform& now, const GizmoTransform& object,
                           bool ownOrigin) {
    GizmoTransform t = object;
    const D3DXVECTOR3& pivot = drag.start.Pos;
    if (IsAxis(drag.handle) || IsPlane(drag.handle)) {
        t.Pos = object.Pos + (now.Pos - drag.start.Pos);
    } else if (IsRing(drag.handle)) {
        const D3DXVECTOR3& axis = drag.axes[static_cast<std::size_t>(HandleAxis(drag.handle))];
        t.Rot = TurnAbout(object.Rot, axis, drag.applied);
        if (!ownOrigin) {
            const D3DXMATRIX turn = TurnMatrix(axis, drag.applied);
            const D3DXVECTOR3 offset = object.Pos - pivot;
            D3DXVECTOR3 turned;
            D3DXVec3TransformCoord(&turned, &offset, &turn);
            t.Pos = pivot + turned;
        }
    } else if (drag.handle == GizmoHandle::Uniform) {
        t.Scale = object.Scale * drag.factor;
        if (!ownOrigin) t.Pos = pivot + (object.Pos - pivot) * drag.factor;
    }
    return t;
}

D3DXVECTOR3 CentreOf(const std::vector<D3DXVECTOR3>& points) {
    if (points.empty()) return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 lo = points.front(), hi = points.front();
    for (const D3DXVECTOR3& p : points) {
        lo = D3DXVECTOR3(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
        hi = D3DXVECTOR3(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
    }
    return (lo + hi) * 0.5f;
}
