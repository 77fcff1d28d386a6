#include "resource/model_manager.h"

#include <cmath>

#include "d3d/xfile_loader.h"
#include "resource/catalog_file.h"

namespace {

// Bounds start inverted so the first vertex sets them; each new extreme is stored rounded down.
void MeasureBounds(ID3DXMesh* mesh, D3DXVECTOR3& max, D3DXVECTOR3& min) {
    max = D3DXVECTOR3(-10000.0f, -10000.0f, -10000.0f);
    min = D3DXVECTOR3(10000.0f, 10000.0f, 10000.0f);
    const DWORD count = mesh->GetNumVertices();
    const UINT stride = D3DXGetFVFVertexSize(mesh->GetFVF());
    void* data = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data)) || !data) return;
    const auto* bytes = static_cast<const BYTE*>(data);
    for (DWORD i = 0; i < count; ++i, bytes += stride) {
        const auto* position = reinterpret_cast<const float*>(bytes);
        float* maxAxis[3] = {&max.x, &max.y, &max.z};
        float* minAxis[3] = {&min.x, &min.y, &min.z};
        for (int axis = 0; axis < 3; ++axis) {
            const float value = position[axis];
            if (value > *maxAxis[axis]) *maxAxis[axis] = static_cast<float>(std::floor(static_cast<double>(value)));
            if (*minAxis[axis] > value) *minAxis[axis] = static_cast<float>(std::floor(static_cast<double>(value)));
        }
    }
    mesh->UnlockVertexBuffer();
}

}  // namespace

bool LoadModelData(const std::string& path, IDirect3DDevice9* device, ModelData& model, std::string& error) {
    model = ModelData{};
    HRESULT hr = LoadMeshFromX(path.c_str(), device, &model.materialBuffer, &model.numMaterials, &model.mesh, &error);
    if (FAILED(hr) || !model.mesh) {
        SafeRelease(model.materialBuffer);
        model = ModelData{};
        if (error.empty()) error = "cannot load the mesh";
        return false;
    }
    MeasureBounds(model.mesh, model.max, model.min);
    return true;
}

CModelManager::~CModelManager() { Uninit(); }

void CModelManager::Load(const std::string& path) {
    CatalogProblems problems(problems_);
    WalkCatalog(path, "MODEL", problems, [&](const nlohmann::json& entry, std::size_t index) {
        const std::string label = EntryLabel(entry);
        if (!entry.is_array()) return problems.Entry(path, index, label, "expected an array of strings");
        for (const nlohmann::json& element : entry)
            if (!element.is_string()) return problems.Entry(path, index, label, "expected an array of strings");
        std::string reason = AddModel(entry.get<std::vector<std::string>>());
        if (!reason.empty()) problems.Entry(path, index, label, reason);
    });
}

std::string CModelManager::AddModel(const std::vector<std::string>& entry) {
    if (entry.size() < 2) return "expected a label and a mesh path";
    const std::string& path = entry[1];
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return "the mesh path \"" + path + "\" has no extension";
    if (path.compare(dot, std::string::npos, ".x") != 0) return {};  // only .x meshes are loaded
    return LoadXModel(entry);
}

std::string CModelManager::LoadXModel(const std::vector<std::string>& entry) {
    if (entry.size() < 2) return "expected a label and a mesh path";
    if (handles_.count(entry[0])) return {};  // the first entry with a label wins; this file is never opened
    ModelData model;
    std::string error;
    if (!LoadModelData(entry[1], device_, model, error)) return "cannot load \"" + entry[1] + "\": " + error;
    Keep(entry[0], model);
    return {};
}

ModelHandle CModelManager::Keep(const std::string& label, const ModelData& model) {
    const auto [it, added] = handles_.emplace(label, static_cast<ModelHandle>(models_.size()));
    if (!added) return kNoModel;
    models_.push_back(model);
    return it->second;
}

ModelHandle CModelManager::AddModelData(const std::string& label, const ModelData& model) {
    const ModelHandle handle = Keep(label, model);
    if (handle == kNoModel) return kNoModel;
    if (model.mesh) model.mesh->AddRef();
    if (model.materialBuffer) model.materialBuffer->AddRef();
    return handle;
}

void CModelManager::Uninit() {
    for (ModelData& data : models_) {
        SafeRelease(data.mesh);
        SafeRelease(data.materialBuffer);
    }
    models_.clear();
    handles_.clear();
}

ModelHandle CModelManager::Find(const std::string& label) const {
    auto it = handles_.find(label);
    return it == handles_.end() ? kNoModel : it->second;
}

const ModelData* CModelManager::Get(ModelHandle handle) const {
    if (handle < 0 || static_cast<std::size_t>(handle) >= models_.size()) return nullptr;
    return &models_[static_cast<std::size_t>(handle)];
}

std::map<std::string, ModelData> CModelManager::GetModelMap() const {
    std::map<std::string, ModelData> map;
    for (const auto& [label, handle] : handles_) map.emplace_hint(map.end(), label, models_[handle]);
    return map;
}

ID3DXMesh* CModelManager::GetMesh(const std::string& label) const {
    const ModelData* model = Get(Find(label));
    return model ? model->mesh : nullptr;
}
ID3DXBuffer* CModelManager::GetMaterialBuffer(const std::string& label) const {
    const ModelData* model = Get(Find(label));
    return model ? model->materialBuffer : nullptr;
}
DWORD CModelManager::GetNumMaterials(const std::string& label) const {
    const ModelData* model = Get(Find(label));
    return model ? model->numMaterials : 0;
}
D3DXVECTOR3 CModelManager::GetMax(const std::string& label) const {
    const ModelData* model = Get(Find(label));
    return model ? model->max : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}
D3DXVECTOR3 CModelManager::GetMin(const std::string& label) const {
    const ModelData* model = Get(Find(label));
    return model ? model->min : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}
