#include "scene/placeholder.h"

#include "scene/object_world.h"

const ModelData& PlaceholderModel() {
    static const ModelData kPlaceholder{nullptr, 0, nullptr, {0.5f, 1.0f, 0.5f}, {-0.5f, 0.0f, -0.5f}};
    return kPlaceholder;
}

const ModelData& ModelOrPlaceholder(const StageObject& object, const CModelManager* models) {
    const ModelData* model = models ? models->Get(object.model) : nullptr;
    return model ? *model : PlaceholderModel();
}

void ModelBoundsOf(const CModelManager* models, const std::string& label, D3DXVECTOR3* min, D3DXVECTOR3* max) {
    const ModelData* model = models ? models->Get(models->Find(label)) : nullptr;
    const ModelData& bounds = model ? *model : PlaceholderModel();
    *min = bounds.min;
    *max = bounds.max;
}

D3DXMATRIX PlaceholderWorld(const ObjectPart& part) {
    const D3DXVECTOR3& low = PlaceholderModel().min;
    D3DXMATRIX onCube, world;
    D3DXMatrixTranslation(&onCube, low.x, low.y, low.z);
    const D3DXMATRIX object = ObjectWorld(part);
    D3DXMatrixMultiply(&world, &onCube, &object);
    return world;
}
