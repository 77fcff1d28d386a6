#include <utility>

#include "input/input.h"
#include "scene/picking.h"
#include "scene/stage.h"

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

    const int index = PickNearestObject(ray, group->second, *models_);
    if (index >= 0) Select(index);
}
