#include "scene/picking.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "scene/object_world.h"
#include "scene/placeholder.h"
#include "scene/stage_index.h"

namespace {
constexpr float kParallel = 1.1920929e-7f;  // below this a direction component counts as zero
constexpr float kFloatMax = 3.4028235e38f;

bool Finite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool Finite(const D3DXMATRIX& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m.m[r][c])) return false;
    return true;
}

float Component(const D3DXVECTOR3& v, int k) { return k == 0 ? v.x : (k == 1 ? v.y : v.z); }

// v * m for a point (w = 1) and for a direction (w = 0) of an affine matrix.
D3DXVECTOR3 TransformPoint(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    return {v.x * m._11 + v.y * m._21 + v.z * m._31 + m._41, v.x * m._12 + v.y * m._22 + v.z * m._32 + m._42,
            v.x * m._13 + v.y * m._23 + v.z * m._33 + m._43};
}
D3DXVECTOR3 TransformDirection(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    return {v.x * m._11 + v.y * m._21 + v.z * m._31, v.x * m._12 + v.y * m._22 + v.z * m._32,
            v.x * m._13 + v.y * m._23 + v.z * m._33};
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Where the line meets the triangle (a, b, c), both faces, edges included; false when it does not or
// runs in its plane.
bool HitsTriangle(const D3DXVECTOR3& origin, const D3DXVECTOR3& dir, const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                  const D3DXVECTOR3& c, float* t) {
    const D3DXVECTOR3 e1 = b - a, e2 = c - a;
    const D3DXVECTOR3 p = Cross(dir, e2);
    const float det = Dot(e1, p);
    if (det == 0.0f || !std::isfinite(det)) return false;
    const float inverse = 1.0f / det;
    const D3DXVECTOR3 s = origin - a;
    const float u = Dot(s, p) * inverse;
    if (u < 0.0f || u > 1.0f) return false;
    const D3DXVECTOR3 q = Cross(s, e1);
    const float v = Dot(dir, q) * inverse;
    if (v < 0.0f || u + v > 1.0f) return false;
    *t = Dot(e2, q) * inverse;
    return std::isfinite(*t);
}

// The placement and bounds of an object, all finite.
bool FinitePlacement(const ObjectPart& part, const ModelData& model) {
    return Finite(part.Pos) && Finite(part.Rot) && Finite(part.Scale) && Finite(model.min) && Finite(model.max);
}

// Broad phase before any rotation is made: a sphere round the object's position that holds its bounds
// however they are turned (the farthest corner times the largest scale factor). Computed in double so
// that far objects are not lost to rounding; the sphere is widened a little for the same reason.
bool SphereMayHit(const PickRay& ray, double dirLength2, const ObjectPart& part, const D3DXVECTOR3& lo,
                  const D3DXVECTOR3& hi) {
    const double ax = std::max(std::fabs(lo.x), std::fabs(hi.x));
    const double ay = std::max(std::fabs(lo.y), std::fabs(hi.y));
    const double az = std::max(std::fabs(lo.z), std::fabs(hi.z));
    const double scale =
        std::max({std::fabs(part.Scale.x), std::fabs(part.Scale.y), std::fabs(part.Scale.z)});
    const double wx = double(part.Pos.x) - ray.origin.x, wy = double(part.Pos.y) - ray.origin.y,
                 wz = double(part.Pos.z) - ray.origin.z;
    const double along = (wx * ray.dir.x + wy * ray.dir.y + wz * ray.dir.z) / dirLength2;
    const double cx = wx - along * ray.dir.x, cy = wy - along * ray.dir.y, cz = wz - along * ray.dir.z;
    const double distance = std::sqrt(wx * wx + wy * wy + wz * wz);
    const double radius = std::sqrt(ax * ax + ay * ay + az * az) * scale;
    const double slack = 1e-5 * (distance + radius) + 1e-6;
    const double reach = radius + slack;
    if (cx * cx + cy * cy + cz * cz > reach * reach) return false;
    return along + reach / std::sqrt(dirLength2) >= ray.tEye;  // not wholly behind the eye
}

// The turned box of an object seen in its own model space: the line taken there by the inverse world.
bool HitsTurnedBox(const PickRay& ray, const D3DXMATRIX& world, const ModelData& model, float* t) {
    D3DXMATRIX inverse;
    if (D3DXMatrixInverse(&inverse, nullptr, &world) && Finite(inverse)) {
        PickRay local;
        local.origin = TransformPoint(ray.origin, inverse);
        local.dir = TransformDirection(ray.dir, inverse);
        local.tEye = ray.tEye;
        const D3DXVECTOR3 lo(std::min(model.min.x, model.max.x), std::min(model.min.y, model.max.y),
                             std::min(model.min.z, model.max.z));
        const D3DXVECTOR3 hi(std::max(model.min.x, model.max.x), std::max(model.min.y, model.max.y),
                             std::max(model.min.z, model.max.z));
        if (Finite(local.origin) && Finite(local.dir)) return PickRayBoxEntry(local, lo, hi, t);
    }
    // A flattened object (a zero scale factor) has no model space to go back to: its world box is exact
    // enough, being flat too.
    D3DXVECTOR3 boxMin, boxMax;
    WorldBox(world, model.min, model.max, &boxMin, &boxMax);
    return PickRayBoxEntry(ray, boxMin, boxMax, t);
}

struct Candidate {
    float entry;  // where the line enters the world box
    std::size_t index;
    D3DXMATRIX world;
};
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
    D3DXVECTOR3 origin, eye, zero(0.0f, 0.0f, 0.0f);
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
    float t;
    return PickRayBoxEntry(ray, boxMin, boxMax, &t);
}

bool PickRayBoxEntry(const PickRay& ray, const D3DXVECTOR3& boxMin, const D3DXVECTOR3& boxMax, float* t) {
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
        if (t1 > t2) std::swap(t1, t2);
        if (!(tNear > t1)) tNear = t1;
        if (!(t2 > tFar)) tFar = t2;
    }
    if (tNear > tFar || tFar < ray.tEye) return false;
    *t = std::max(tNear, ray.tEye);
    return true;
}

void WorldBox(const D3DXMATRIX& world, const D3DXVECTOR3& min, const D3DXVECTOR3& max, D3DXVECTOR3* boxMin,
              D3DXVECTOR3* boxMax) {
    const D3DXVECTOR3 centre((min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f, (min.z + max.z) * 0.5f);
    const float ex = std::fabs(max.x - min.x) * 0.5f, ey = std::fabs(max.y - min.y) * 0.5f,
                ez = std::fabs(max.z - min.z) * 0.5f;
    const D3DXVECTOR3 c = TransformPoint(centre, world);
    const D3DXVECTOR3 e(ex * std::fabs(world._11) + ey * std::fabs(world._21) + ez * std::fabs(world._31),
                        ex * std::fabs(world._12) + ey * std::fabs(world._22) + ez * std::fabs(world._32),
                        ex * std::fabs(world._13) + ey * std::fabs(world._23) + ez * std::fabs(world._33));
    *boxMin = c - e;
    *boxMax = c + e;
}

bool PickRayHitsMesh(const PickRay& ray, const D3DXMATRIX& world, ID3DXMesh* mesh, float* t, bool* tested,
                     D3DXVECTOR3* normal) {
    *tested = false;
    if (!mesh) return false;
    const DWORD faces = mesh->GetNumFaces();
    const DWORD vertices = mesh->GetNumVertices();
    const DWORD fvf = mesh->GetFVF();
    const UINT stride = D3DXGetFVFVertexSize(fvf);
    if (faces == 0 || vertices == 0 || !(fvf & D3DFVF_XYZ) || stride < 3 * sizeof(float)) return false;

    void* vertexData = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertexData)) || !vertexData) return false;
    void* indexData = nullptr;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indexData)) || !indexData) {
        mesh->UnlockVertexBuffer();
        return false;
    }
    *tested = true;
    const bool wide = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
    const auto* bytes = static_cast<const unsigned char*>(vertexData);
    auto index = [&](DWORD i) -> DWORD {
        return wide ? static_cast<const std::uint32_t*>(indexData)[i] : static_cast<const std::uint16_t*>(indexData)[i];
    };
    auto position = [&](DWORD v) {
        const float* p = reinterpret_cast<const float*>(bytes + std::size_t(v) * stride);
        return D3DXVECTOR3(p[0], p[1], p[2]);
    };

    // The line is taken into model space, where the triangles are; the parameter t is the same in both
    // spaces. A flattened object has no inverse, so its triangles are taken into world space instead.
    D3DXMATRIX inverse;
    const bool local = D3DXMatrixInverse(&inverse, nullptr, &world) && Finite(inverse);
    const D3DXVECTOR3 origin = local ? TransformPoint(ray.origin, inverse) : ray.origin;
    const D3DXVECTOR3 dir = local ? TransformDirection(ray.dir, inverse) : ray.dir;

    bool hit = false;
    float nearest = kFloatMax;
    D3DXVECTOR3 hitFace[3];
    for (DWORD f = 0; f < faces; ++f) {
        const DWORD i0 = index(3 * f), i1 = index(3 * f + 1), i2 = index(3 * f + 2);
        if (i0 >= vertices || i1 >= vertices || i2 >= vertices) continue;
        D3DXVECTOR3 a = position(i0), b = position(i1), c = position(i2);
        if (!local) {
            a = TransformPoint(a, world);
            b = TransformPoint(b, world);
            c = TransformPoint(c, world);
        }
        float tHit;
        if (HitsTriangle(origin, dir, a, b, c, &tHit) && tHit >= ray.tEye && tHit < nearest) {
            nearest = tHit;
            hit = true;
            hitFace[0] = a, hitFace[1] = b, hitFace[2] = c;
        }
    }
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    if (hit) *t = nearest;
    if (hit && normal) {
        D3DXVECTOR3 corners[3] = {hitFace[0], hitFace[1], hitFace[2]};
        if (local)
            for (D3DXVECTOR3& corner : corners) corner = TransformPoint(corner, world);
        const D3DXVECTOR3 u = corners[1] - corners[0], v = corners[2] - corners[0];
        D3DXVECTOR3 n;
        D3DXVec3Cross(&n, &u, &v);
        if (D3DXVec3Dot(&n, &ray.dir) > 0.0f) n = n * -1.0f;
        if (D3DXVec3Length(&n) > 0.0f && Finite(n)) D3DXVec3Normalize(normal, &n);
        else *normal = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    }
    return hit;
}

namespace {

// An object whose model the catalog does not hold is its placeholder's box.
const ModelData& ModelOf(const StageObject& object, const CModelManager& models) {
    return ModelOrPlaceholder(object, &models);
}

// Broad phase for one object: the sphere, then the world box of the turned bounds. False when the line
// misses them or the object's placement or bounds are not finite.
bool MakeCandidate(const PickRay& ray, double dirLength2, const StageObject& object, const CModelManager& models,
                   std::size_t index, Candidate* candidate) {
    const ObjectPart& part = object.part;
    const ModelData& model = ModelOf(object, models);
    if (!FinitePlacement(part, model)) return false;
    // The catalog keeps a mesh's bounds rounded down, so the mesh may reach up to one unit past the
    // stored maximum.
    const D3DXVECTOR3 lo = model.min;
    const D3DXVECTOR3 hi = model.mesh ? model.max + D3DXVECTOR3(1, 1, 1) : model.max;
    if (!SphereMayHit(ray, dirLength2, part, lo, hi)) return false;
    *candidate = Candidate{0.0f, index, ObjectWorld(part)};
    if (!Finite(candidate->world)) return false;
    D3DXVECTOR3 boxMin, boxMax;
    WorldBox(candidate->world, lo, hi, &boxMin, &boxMax);
    if (!Finite(boxMin) || !Finite(boxMax)) return false;
    return PickRayBoxEntry(ray, boxMin, boxMax, &candidate->entry);
}

// Narrow phase for one candidate: its mesh's triangles, or its turned box. Keeps the nearest hit in *best,
// the lower index at equal distances.
void TestCandidate(const PickRay& ray, const Candidate& candidate, const StageObject& object,
                   const CModelManager& models, int* best, float* bestT) {
    const ModelData& model = ModelOf(object, models);
    float t;
    bool tested = false;
    bool hit = PickRayHitsMesh(ray, candidate.world, model.mesh, &t, &tested);
    if (!tested) hit = HitsTurnedBox(ray, candidate.world, model, &t);
    if (!hit) return;
    const int index = static_cast<int>(candidate.index);
    if (t < *bestT || (t == *bestT && index < *best)) {
        *bestT = t;
        *best = index;
    }
}

double DirLength2(const PickRay& ray) {
    return double(ray.dir.x) * ray.dir.x + double(ray.dir.y) * ray.dir.y + double(ray.dir.z) * ray.dir.z;
}

}  // namespace

namespace {

bool Skipped(const std::vector<int>* skip, std::size_t i) {
    return skip && !skip->empty() && std::binary_search(skip->begin(), skip->end(), static_cast<int>(i));
}

}  // namespace

int PickNearestObject(const PickRay& ray, const std::vector<StageObject>& group, const CModelManager& models,
                      const std::vector<int>* skip) {
    const double dirLength2 = DirLength2(ray);
    if (!(dirLength2 > 0.0)) return -1;

    std::vector<Candidate> candidates;
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (Skipped(skip, i)) continue;
        Candidate candidate;
        if (MakeCandidate(ray, dirLength2, group[i], models, i, &candidate)) candidates.push_back(candidate);
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.entry < b.entry || (a.entry == b.entry && a.index < b.index);
    });

    // Narrow phase, nearest box first: an object whose box begins beyond the best hit cannot be nearer.
    int best = -1;
    float bestT = kFloatMax;
    for (const Candidate& candidate : candidates) {
        if (best >= 0 && candidate.entry > bestT) break;
        TestCandidate(ray, candidate, group[candidate.index], models, &best, &bestT);
    }
    return best;
}

int PickNearestObject(const PickRay& ray, const std::vector<StageObject>& group, const CModelManager& models,
                      const CGroupIndex& index, const std::vector<int>* skip) {
    const double dirLength2 = DirLength2(ray);
    if (!(dirLength2 > 0.0)) return -1;

    // One queue of the tree's boxes (keyed by where the line enters them) and of the objects whose broad
    // phase passed (keyed by where the line enters their own box, then their index). A box comes before an
    // object at the same key, so the objects leave the queue in the order the whole group's sorted list
    // would give them: a box holds only objects the line enters no nearer than the box.
    struct Entry {
        float key;
        bool object;
        std::size_t id;  // a node of the tree, or a place in `candidates`
        std::size_t index;
    };
    auto later = [](const Entry& a, const Entry& b) {
        if (a.key != b.key) return a.key > b.key;
        if (a.object != b.object) return a.object;
        return a.index > b.index;
    };
    std::vector<Entry> queue;
    std::vector<Candidate> candidates;
    auto pushObject = [&](int i) {
        Candidate candidate;
        const std::size_t at = static_cast<std::size_t>(i);
        if (at >= group.size() || Skipped(skip, at) || !MakeCandidate(ray, dirLength2, group[at], models, at, &candidate))
            return;
        candidates.push_back(candidate);
        queue.push_back({candidate.entry, true, candidates.size() - 1, at});
        std::push_heap(queue.begin(), queue.end(), later);
    };
    const CBoundsTree& tree = index.Tree();
    auto pushNode = [&](int node) {
        float t;
        if (!PickRayBoxEntry(ray, tree.At(node).box.lo, tree.At(node).box.hi, &t)) return;
        queue.push_back({t, false, static_cast<std::size_t>(node), 0});
        std::push_heap(queue.begin(), queue.end(), later);
    };
    if (tree.Root() != CBoundsTree::kNone) pushNode(tree.Root());
    index.ForEachUnbounded(pushObject);

    int best = -1;
    float bestT = kFloatMax;
    while (!queue.empty()) {
        std::pop_heap(queue.begin(), queue.end(), later);
        const Entry entry = queue.back();
        queue.pop_back();
        // Everything left begins beyond the best hit.
        if (best >= 0 && entry.key > bestT) break;
        if (entry.object) {
            TestCandidate(ray, candidates[entry.id], group[entry.index], models, &best, &bestT);
            continue;
        }
        const CBoundsTree::Node& node = tree.At(static_cast<int>(entry.id));
        if (node.IsLeaf()) {
            pushObject(node.item);
        } else {
            pushNode(node.child[0]);
            pushNode(node.child[1]);
        }
    }
    return best;
}

std::vector<int> ObjectsMeetingFrustum(const CViewFrustum& frustum, const std::vector<StageObject>& group,
                                       const CModelManager& models, const CGroupIndex* index,
                                       const std::vector<int>* skip) {
    std::vector<int> candidates;
    // An object whose indexed box (its world box and a little more) lies wholly inside meets the frustum;
    // only the others are measured again.
    std::vector<bool> inside;
    if (index) {
        candidates = index->InFrustum(frustum, &inside);
    } else {
        candidates.resize(group.size());
        for (std::size_t i = 0; i < group.size(); ++i) candidates[i] = static_cast<int>(i);
    }
    std::vector<int> found;
    for (int i : candidates) {
        if (i < 0 || static_cast<std::size_t>(i) >= group.size() || Skipped(skip, static_cast<std::size_t>(i))) continue;
        const StageObject& object = group[static_cast<std::size_t>(i)];
        const ModelData& model = ModelOf(object, models);
        if (!FinitePlacement(object.part, model)) continue;
        if (static_cast<std::size_t>(i) < inside.size() && inside[static_cast<std::size_t>(i)]) {
            found.push_back(i);
            continue;
        }
        const D3DXMATRIX world = ObjectWorld(object.part);
        BoundsBox box;
        WorldBox(world, model.min, model.mesh ? model.max + D3DXVECTOR3(1, 1, 1) : model.max, &box.lo, &box.hi);
        if (Finite(box.lo) && Finite(box.hi) && frustum.BoxMeets(box)) found.push_back(i);
    }
    return found;
}
