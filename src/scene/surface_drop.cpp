#include "scene/surface_drop.h"

#include <algorithm>
#include <cmath>

#include "scene/object_world.h"
#include "scene/picking.h"
#include "scene/placeholder.h"

namespace {

const ModelData& ModelOf(const StageObject& object, const CModelManager& models) {
    return ModelOrPlaceholder(object, &models);
}

// The distance down from `ray.origin` to the object's surface, when the line meets it at or below.
std::optional<float> SurfaceBelow(const PickRay& ray, const StageObject& object, const CModelManager& models) {
    const ModelData& model = ModelOf(object, models);
    const D3DXMATRIX world = ObjectWorld(object.part);
    D3DXVECTOR3 lo, hi;
    WorldBox(world, model.min, model.max, &lo, &hi);
    if (!std::isfinite(lo.y) || !std::isfinite(hi.y)) return std::nullopt;
    if (ray.origin.x < lo.x || ray.origin.x > hi.x || ray.origin.z < lo.z || ray.origin.z > hi.z) return std::nullopt;
    if (lo.y > ray.origin.y) return std::nullopt;  // wholly above the bottom
    float t = 0.0f;
    bool tested = false;
    if (model.mesh && PickRayHitsMesh(ray, world, model.mesh, &t, &tested)) return t;
    if (tested) return std::nullopt;
    if (PickRayBoxEntry(ray, lo, hi, &t)) return t;
    return std::nullopt;
}

// Both forms: with `spatial`, each group's objects come from its index, those whose boxes reach under the
// footprint; without it, every object of the group.
std::optional<float> Drop(const StageGroups& groups, const std::string& tag, int index, const CModelManager& models,
                          const std::function<bool(const std::string&)>& visible, const CStageIndex* spatial) {
    auto group = groups.find(tag);
    if (group == groups.end() || index < 0 || index >= static_cast<int>(group->second.size())) return std::nullopt;
    const StageObject& dropped = group->second[static_cast<std::size_t>(index)];
    const ModelData& model = ModelOf(dropped, models);
    D3DXVECTOR3 lo, hi;
    WorldBox(ObjectWorld(dropped.part), model.min, model.max, &lo, &hi);
    if (!std::isfinite(lo.x) || !std::isfinite(lo.y) || !std::isfinite(lo.z) || !std::isfinite(hi.x) ||
        !std::isfinite(hi.z))
        return std::nullopt;

    // The footprint's centre and four points near its corners: the highest surface under any of them holds
    // the object up.
    const float cx = (lo.x + hi.x) * 0.5f, cz = (lo.z + hi.z) * 0.5f;
    const float ex = (hi.x - lo.x) * 0.45f, ez = (hi.z - lo.z) * 0.45f;
    const float samples[5][2] = {{cx, cz}, {cx - ex, cz - ez}, {cx + ex, cz - ez}, {cx - ex, cz + ez}, {cx + ex, cz + ez}};
    // What can hold it up has a box that reaches under the footprint, from below its bottom.
    const BoundsBox column{D3DXVECTOR3(std::min(lo.x, hi.x), -3.4028235e38f, std::min(lo.z, hi.z)),
                           D3DXVECTOR3(std::max(lo.x, hi.x), lo.y, std::max(lo.z, hi.z))};

    std::optional<float> nearest;
    auto keep = [&](float t) {
        if (!nearest || t < *nearest) nearest = t;
    };
    if (lo.y >= 0.0f) keep(lo.y);  // the ground
    std::vector<int> below;
    for (const auto& [otherTag, objects] : groups) {
        if (objects.empty() || (visible && !visible(otherTag))) continue;
        const CGroupIndex* grouped = spatial ? spatial->Group(otherTag) : nullptr;
        below.clear();
        if (grouped && grouped->Size() == objects.size()) {
            below = grouped->Overlapping(column);
        } else {
            for (std::size_t i = 0; i < objects.size(); ++i) below.push_back(static_cast<int>(i));
        }
        for (const auto& sample : samples) {
            PickRay ray;
            ray.origin = D3DXVECTOR3(sample[0], lo.y, sample[1]);
            ray.dir = D3DXVECTOR3(0.0f, -1.0f, 0.0f);
            ray.tEye = 0.0f;
            for (int i : below) {
                if (otherTag == tag && i == index) continue;
                if (std::optional<float> t = SurfaceBelow(ray, objects[static_cast<std::size_t>(i)], models)) keep(*t);
            }
        }
    }
    return nearest;
}

}  // namespace

std::optional<float> DropDistance(const StageGroups& groups, const std::string& tag, int index,
                                  const CModelManager& models,
                                  const std::function<bool(const std::string&)>& visible) {
    return Drop(groups, tag, index, models, visible, nullptr);
}

std::optional<float> DropDistance(const StageGroups& groups, const std::string& tag, int index,
                                  const CModelManager& models, const std::function<bool(const std::string&)>& visible,
                                  const CStageIndex& spatial) {
    return Drop(groups, tag, index, models, visible, &spatial);
}

D3DXVECTOR3 RestingPosition(const ObjectPart& part, const D3DXVECTOR3& modelMin, const D3DXVECTOR3& modelMax,
                            const D3DXVECTOR3& point) {
    ObjectPart atOrigin = part;
    atOrigin.Pos = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 boxMin, boxMax;
    WorldBox(ObjectWorld(atOrigin), modelMin, modelMax, &boxMin, &boxMax);
    if (!std::isfinite(boxMin.y)) return point;
    return D3DXVECTOR3(point.x, point.y - boxMin.y, point.z);
}

D3DXVECTOR3 UpAlongNormal(const D3DXVECTOR3& normal, float yaw) {
    if (!std::isfinite(normal.x) || !std::isfinite(normal.y) || !std::isfinite(normal.z) || !std::isfinite(yaw))
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    // The object turns roll (z), then pitch (x), then yaw (y): the up axis before the yaw must be the normal
    // turned back by the yaw. Rolled and pitched, up is (-sin roll, cos roll cos pitch, cos roll sin pitch).
    const float c = std::cos(yaw), s = std::sin(yaw);
    const D3DXVECTOR3 n(normal.x * c - normal.z * s, normal.y, normal.x * s + normal.z * c);
    const float roll = -std::asin(std::clamp(n.x, -1.0f, 1.0f));
    const float pitch = std::atan2(n.z, n.y);
    return D3DXVECTOR3(pitch, yaw, roll);
}
