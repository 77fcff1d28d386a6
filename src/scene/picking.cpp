#include "scene/picking.h"

#include <cmath>

namespace {
constexpr float kParallel = 1.1920929e-7f;  // below this a direction component counts as zero
constexpr float kFloatMax = 3.4028235e38f;

bool Finite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

float Component(const D3DXVECTOR3& v, int k) { return k == 0 ? v.x : (k == 1 ? v.y : v.z); }
}  // namespace

D3DXVECTOR3 UnprojectNearPlane(float x, float y, const D3DVIEWPORT9& viewport, const D3DXMATRIX& projection,
                               const D3DXMATRIX& view) {
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    D3DXVECTOR3 screen(x, y, 0.0f);
    D3DXVECTOR3 out;
    D3DXVec3Unproject(&out, &screen, &viewport, &projection, &view, &world);
    return out;
}

bool MakePickRay(const D3DXVECTOR3& cursor, const D3DVIEWPORT9& viewport, const D3DXMATRIX& projection,
                 const D3DXMATRIX& view, const D3DXVECTOR3& nearPoint, PickRay* ray) {
    if (viewport.Width == 0 || viewport.Height == 0) return false;
    if (projection._11 == 0.0f || projection._22 == 0.0f) return false;

    // The cursor's direction in view space, at view depth 1.
    const float width = static_cast<float>(viewport.Width);
    const float height = static_cast<float>(viewport.Height);
    D3DXVECTOR3 v((2.0f * cursor.x / width - 1.0f) / projection._11,
                  -((2.0f * cursor.y / height - 1.0f) / projection._22), 1.0f);

    D3DXMATRIX viewInverse;
    if (!D3DXMatrixInverse(&viewInverse, nullptr, &view)) return false;
    D3DXVECTOR3 origin, eye, zero;
    D3DXVec3TransformCoord(&origin, &v, &viewInverse);
    D3DXVec3TransformCoord(&eye, &zero, &viewInverse);
    const D3DXVECTOR3 dir = nearPoint - origin;

    const float length2 = D3DXVec3Dot(&dir, &dir);
    if (!Finite(origin) || !Finite(eye) || !Finite(dir) || !(length2 > 0.0f) || !std::isfinite(length2))
        return false;
    const D3DXVECTOR3 toEye = eye - origin;
    const float tEye = D3DXVec3Dot(&toEye, &dir) / length2;
    if (!std::isfinite(tEye)) return false;

    ray->origin = origin;
    ray->dir = dir;
    ray->tEye = tEye;
    return true;
}

bool PickRayHitsBox(const PickRay& ray, const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax) {
    float tNear = -kFloatMax;
    float tFar = kFloatMax;
    for (int k = 0; k < 3; ++k) {
        const float d = Component(ray.dir, k);
        const float o = Component(ray.origin, k);
        const float lo = Component(boxMin, k);
        const float hi = Component(boxMax, k);
        if (std::fabs(d) < kParallel) {
            // Parallel to this slab: inside it everywhere or nowhere.
            if (lo > o || o > hi) return false;
            continue;
        }
        const float inverse = 1.0f / d;
        float t1 = (hi - o) * inverse;
        float t2 = (lo - o) * inverse;
        if (t1 > t2) {
            const float swap = t1;
            t1 = t2;
            t2 = swap;
        }
        if (!(tNear > t1)) tNear = t1;
        if (!(t2 > tFar)) tFar = t2;
    }
    if (tNear > tFar) return false;
    return !(tFar < ray.tEye);
}
