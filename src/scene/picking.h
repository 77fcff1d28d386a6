// The maths of mouse picking on plain values: the line through the cursor, the box and triangle tests
// against it, and the choice of the nearest object of a group.
#pragma once

#include <vector>

#include "d3d/d3dx9.h"
#include "resource/model_manager.h"
#include "stagefile/stage_types.h"

class CGroupIndex;
class CViewFrustum;

// The camera's matrices as of its last SetCamera, which the picture on screen was drawn with. The camera
// keeps them; picking reads them through these.
struct CameraMatrices {
    const D3DXMATRIX* view = nullptr;
    const D3DXMATRIX* projection = nullptr;
};

// The line under the cursor: the points origin + t * dir. origin lies at view depth 1, dir points away
// from the eye, and tEye is the parameter of the eye itself.
struct PickRay {
    D3DXVECTOR3 origin{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 dir{0.0f, 0.0f, 0.0f};
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
// The same, giving where the line enters the box in front of the eye (tEye when the eye is inside).
bool PickRayBoxEntry(const PickRay& ray, const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax, float* t);

// The world-space axis-aligned box that holds the model bounds [min, max] under an affine `world`.
void WorldBox(const D3DXMATRIX& world, const D3DXVECTOR3& min, const D3DXVECTOR3& max, D3DXVECTOR3* boxMin,
              D3DXVECTOR3* boxMax);

// The nearest point, in front of the eye, where the line meets a triangle of `mesh` under `world` (both
// faces count). *tested is false when the mesh has no triangles that can be read; the caller then falls
// back to the box.
// `normal`, when given, receives the unit normal of the triangle met, in world space, facing the eye.
bool PickRayHitsMesh(const PickRay& ray, const D3DXMATRIX& world, ID3DXMesh* mesh, float* t, bool* tested,
                     D3DXVECTOR3* normal = nullptr);

// The index of the object of `group` that the line meets nearest in front of the eye, or -1. Each object
// is tested against its model's mesh (from `models`, by its handle) under its world transform, or against
// its turned box when it has no mesh; at equal distances the lower index wins. Objects whose placement or bounds are not finite are
// missed, and so are the objects listed in `skip` (ascending indices: hidden ones).
int PickNearestObject(const PickRay& ray, const std::vector<StageObject>& group, const CModelManager& models,
                      const std::vector<int>* skip = nullptr);
// The same answer from the group's spatial index: only the objects whose boxes lie along the line are
// looked at, nearest first, until no box left begins before the best hit.
int PickNearestObject(const PickRay& ray, const std::vector<StageObject>& group, const CModelManager& models,
                      const CGroupIndex& index, const std::vector<int>* skip = nullptr);

// The objects of `group` whose box (as picking sees it: the turned bounds' world box) meets `frustum`
// (CViewFrustum::BoxMeets), in index order; objects whose placement or bounds are not finite are left out.
// With `index` (up to date with the group) only its candidates are looked at.
// Objects listed in `skip` (ascending) are left out too.
std::vector<int> ObjectsMeetingFrustum(const CViewFrustum& frustum, const std::vector<StageObject>& group,
                                       const CModelManager& models, const CGroupIndex* index = nullptr,
                                       const std::vector<int>* skip = nullptr);
