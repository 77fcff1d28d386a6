// The maths of mouse picking on plain values: the line through the cursor and the box test against it.
#pragma once

#include "platform/d3dx9.h"

// The line under the cursor: the points origin + t * dir. origin lies at view depth 1, dir points away
// from the eye, and tEye is the parameter of the eye itself.
struct PickRay {
    D3DXVECTOR3 origin;
    D3DXVECTOR3 dir;
    float tEye = 0.0f;
};

// The world point on the near plane (depth 0) under the client pixel (x, y), with an identity world.
D3DXVECTOR3 UnprojectNearPlane(float x, float y, const D3DVIEWPORT9& viewport, const D3DXMATRIX& projection,
                               const D3DXMATRIX& view);

// Builds the line through the client pixel `cursor` from the projection, the view and `nearPoint` (the
// pixel's world point on the near plane). False, with *ray untouched, when the viewport has no area or
// the projection or view is degenerate, so no line can be drawn.
bool MakePickRay(const D3DXVECTOR3& cursor, const D3DVIEWPORT9& viewport, const D3DXMATRIX& projection,
                 const D3DXMATRIX& view, const D3DXVECTOR3& nearPoint, PickRay* ray);

// Slab test of the whole line against an axis-aligned box. A box the line meets only behind the eye is
// missed: it cannot be seen.
bool PickRayHitsBox(const PickRay& ray, const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax);
