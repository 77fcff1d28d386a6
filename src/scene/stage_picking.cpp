#include <algorithm>

#include "app/manager.h"
#include "input/input.h"
#include "render/camera.h"
#include "scene/picking.h"
#include "scene/stage.h"

void CStage::Picking() {
    CManager* manager = CManager::GetInstance();
    IDirect3DDevice9* device = manager->GetDevice();
    CCamera* camera = manager->GetCamera();
    CInputMouse* mouse = manager->GetMouse();
    if (!device || !camera || !mouse) return;

    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    const D3DXVECTOR3 cursor = mouse->GetCursorClientPos();
    // A viewport without area has no pixel to unproject.
    if (viewport.Width == 0 || viewport.Height == 0) return;
    const D3DXVECTOR3 nearPoint = camera->Unproject(cursor);
    D3DXMATRIX view;
    device->GetTransform(D3DTS_VIEW, &view);
    PickRay ray;
    if (!MakePickRay(cursor, viewport, camera->mtxProjection, view, nearPoint, &ray)) return;

    // Nothing is picked before the first object has been created or loaded.
    if (currentTag_.empty()) return;

    std::vector<StageObject>& group = groups_[currentTag_];
    for (std::size_t i = 0; i < group.size(); ++i) {
        const StageObject& object = group[i];
        const ObjectPart& part = object.part;
        // The box ignores the object's rotation. A negative scale mirrors the bounds, so each axis is
        // ordered again.
        const D3DXVECTOR3 a(object.max.x * part.Scale.x + part.Pos.x, object.max.y * part.Scale.y + part.Pos.y,
                            object.max.z * part.Scale.z + part.Pos.z);
        const D3DXVECTOR3 b(object.min.x * part.Scale.x + part.Pos.x, object.min.y * part.Scale.y + part.Pos.y,
                            object.min.z * part.Scale.z + part.Pos.z);
        const D3DXVECTOR3 boxMin(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z));
        const D3DXVECTOR3 boxMax(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z));
        if (!PickRayHitsBox(ray, boxMin, boxMax)) continue;
        if (mouse->GetPress(1)) {
            Select(static_cast<int>(i));
            return;
        }
    }
}
