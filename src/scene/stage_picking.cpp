#include <utility>

#include "input/input.h"
#include "scene/picking.h"
#include "scene/stage.h"
#include "scene/surface_drop.h"

void CStage::Picking() {
    IDirect3DDevice9* device = device_;
    const CameraMatrices camera = camera_;
    CInputMouse* mouse = mouse_;
    if (!device || !camera.view || !camera.projection || !mouse || !models_) return;
    // Only a held right button selects, so without it there is nothing to look for.
    if (!mouse->GetPress(1)) return;
    const std::string& tag = document_.GetCurrentTag();
    if (!IsTagVisible(tag) || IsTagLocked(tag)) return;
    const StageGroups& groups = std::as_const(document_).Groups();
    auto group = groups.find(tag);
    if (group == groups.end() || group->second.empty()) return;

    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    const D3DXVECTOR3 cursor = mouse->GetCursorClientPos();
    // A viewport without area has no pixel to unproject.
    if (viewport.Width == 0 || viewport.Height == 0) return;
    const D3DXVECTOR3 nearPoint =
        UnprojectNearPlane(cursor.x, cursor.y, viewport, *camera.projection, *camera.view);
    D3DXMATRIX view;
    device->GetTransform(D3DTS_VIEW, &view);
    PickRay ray;
    if (!MakePickRay(cursor, viewport, *camera.projection, view, nearPoint, &ray)) return;

    index_.Update(document_);
    const CGroupIndex* spatial = index_.Group(tag);
    const int index = spatial && spatial->Size() == group->second.size()
                          ? PickNearestObject(ray, group->second, *models_, *spatial)
                          : PickNearestObject(ray, group->second, *models_);
    if (index >= 0) Select(index);
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
                                 spatial && spatial->Size() == group->second.size() ? spatial : nullptr);
}

std::optional<float> CStage::DropDistance(const std::string& tag, int index) {
    if (!models_) return std::nullopt;
    index_.Update(document_);
    return ::DropDistance(std::as_const(document_).Groups(), tag, index, *models_,
                          [this](const std::string& t) { return IsTagVisible(t); }, index_);
}
