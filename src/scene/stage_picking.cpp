#include <utility>

#include "input/input.h"
#include "scene/object_world.h"
#include "scene/picking.h"
#include "scene/placeholder.h"
#include "scene/stage.h"
#include "scene/surface_drop.h"

bool CStage::CursorRay(const D3DXVECTOR3& cursor, PickRay* ray) const {
    IDirect3DDevice9* device = device_;
    const CameraMatrices camera = camera_;
    if (!device || !camera.view || !camera.projection) return false;
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    // A viewport without area has no pixel to unproject.
    if (viewport.Width == 0 || viewport.Height == 0) return false;
    const D3DXVECTOR3 nearPoint = UnprojectNearPlane(cursor.x, cursor.y, viewport, *camera.projection, *camera.view);
    D3DXMATRIX view;
    device->GetTransform(D3DTS_VIEW, &view);
    return MakePickRay(cursor, viewport, *camera.projection, view, nearPoint, ray);
}

void CStage::Picking(PickMode mode) {
    CInputMouse* mouse = mouse_;
    if (!mouse || !models_) return;
    // Only a held right button selects, so without it there is nothing to look for; a toggle acts once
    // per press.
    if (mode == PickMode::Toggle ? !mouse->GetTrigger(1) : !mouse->GetPress(1)) return;
    PickRay ray;
    if (!CursorRay(mouse->GetCursorClientPos(), &ray)) return;
    float t = 0.0f;
    const std::optional<StageHit> hit = NearestObject(ray, true, &t);
    if (!hit) return;
    document_.SelectObject(hit->tag, hit->index,
                           mode == PickMode::Toggle ? CStageDocument::Pick::Toggle : CStageDocument::Pick::Replace);
}

std::vector<int> CStage::ObjectsInRect(const std::string& tag, float x0, float y0, float x1, float y1) {
    if (!device_ || !camera_.projection || !models_ || !IsTagVisible(tag) || IsTagLocked(tag)) return {};
    const StageGroups& groups = std::as_const(document_).Groups();
    auto group = groups.find(tag);
    if (group == groups.end() || group->second.empty()) return {};
    D3DVIEWPORT9 viewport{};
    device_->GetViewport(&viewport);
    D3DXMATRIX view;
    device_->GetTransform(D3DTS_VIEW, &view);
    CViewFrustum frustum;
    if (!frustum.SetRect(view, *camera_.projection, viewport, x0, y0, x1, y1)) return {};
    index_.Update(document_);
    const CGroupIndex* spatial = index_.Group(tag);
    return ObjectsMeetingFrustum(frustum, group->second, *models_,
                                 spatial && spatial->Size() == group->second.size() ? spatial : nullptr,
                                 &document_.HiddenObjects().Of(tag));
}

std::optional<float> CStage::DropDistance(const std::string& tag, int index) {
    if (!models_) return std::nullopt;
    index_.Update(document_);
    return ::DropDistance(std::as_const(document_).Groups(), tag, index, *models_,
                          [this](const std::string& t) { return IsTagVisible(t); }, index_);
}

std::optional<StageHit> CStage::NearestObject(const PickRay& ray, bool unlockedOnly, float* bestT) {
    std::optional<StageHit> best;
    if (!models_) return best;
    index_.Update(document_);
    for (const StageGroups::value_type* filled : document_.FilledGroups()) {
        const std::string& tag = filled->first;
        if (!IsTagVisible(tag) || (unlockedOnly && IsTagLocked(tag))) continue;
        const std::vector<StageObject>& group = filled->second;
        const CGroupIndex* spatial = index_.Group(tag);
        const std::vector<int>* hidden = &document_.HiddenObjects().Of(tag);
        const int index = spatial && spatial->Size() == group.size()
                              ? PickNearestObject(ray, group, *models_, *spatial, hidden)
                              : PickNearestObject(ray, group, *models_, hidden);
        if (index < 0) continue;
        // Where the chosen object is met: its triangles, else its turned box.
        const StageObject& object = group[static_cast<std::size_t>(index)];
        const ModelData& model = ModelOrPlaceholder(object, models_);
        const D3DXMATRIX world = ObjectWorld(object.part);
        float t = 0.0f;
        bool tested = false;
        D3DXVECTOR3 normal(0.0f, 1.0f, 0.0f);
        const bool onMesh = model.mesh && PickRayHitsMesh(ray, world, model.mesh, &t, &tested, &normal);
        if (!onMesh) {
            D3DXVECTOR3 boxMin, boxMax;
            WorldBox(world, model.min, model.max, &boxMin, &boxMax);
            if (!PickRayBoxEntry(ray, boxMin, boxMax, &t)) continue;
        }
        if (!best || t < *bestT) best = StageHit{tag, index, ray.origin + ray.dir * t, normal}, *bestT = t;
    }
    return best;
}

std::optional<StageHit> CStage::HitUnderCursor(const D3DXVECTOR3& cursor, bool ground) {
    PickRay ray;
    if (!CursorRay(cursor, &ray)) return std::nullopt;
    float bestT = 0.0f;
    std::optional<StageHit> best = NearestObject(ray, false, &bestT);
    // The ground: where the line crosses y = 0 in front of the eye.
    if (ground && ray.dir.y != 0.0f) {
        const float t = -ray.origin.y / ray.dir.y;
        if (t > ray.tEye && (!best || t < bestT)) best = StageHit{std::string(), -1, ray.origin + ray.dir * t};
    }
    return best;
}
