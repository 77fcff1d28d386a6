#include "resource/model_manager.h"

#include "d3d/xfile_loader.h"
#include "resource/model_catalog_file.h"

namespace {

void MeasureMeshBounds(ID3DXMesh* mesh, D3DXVECTOR3& max, D3DXVECTOR3& min) {
    void* data = nullptr;
    const bool locked = SUCCEEDED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data)) && data;
    MeasureBounds(data, locked ? mesh->GetNumVertices() : 0, D3DXGetFVFVertexSize(mesh->GetFVF()), max, min);
    if (locked) mesh->UnlockVertexBuffer();
}

}  // namespace

Result<ModelData> LoadModelData(const std::string& path, IDirect3DDevice9* device) {
    ModelData model;
    std::string error;
    HRESULT hr = LoadMeshFromX(path.c_str(), device, &model.materialBuffer, &model.numMaterials, &model.mesh, &error);
    if (FAILED(hr) || !model.mesh) {
        SafeRelease(model.materialBuffer);
        return Failure(path, error.empty() ? "cannot load the mesh" : error);
    }
    MeasureMeshBounds(model.mesh, model.max, model.min);
    return model;
}

CModelManager::~CModelManager() { Uninit(); }

void CModelManager::Load(const std::string& path) {
    catalogPath_ = path;
    WalkModelCatalog(path, problems_, [this](const std::vector<std::string>& entry) { return AddModel(entry); });
}

Result<> CModelManager::AddModel(const std::vector<std::string>& entry) {
    const Result<bool> mesh = IsMeshEntry(entry);
    if (!mesh.ok || !mesh.value) return Result<>(mesh);
    return LoadXModel(entry);
}

Result<> CModelManager::LoadXModel(const std::vector<std::string>& entry) {
    if (entry.size() < 2) return Failure("expected a label and a mesh path");
    if (handles_.count(entry[0])) return {};  // the first entry with a label wins; this file is never opened
    // A mesh named again is shared, not loaded again: a catalog naming one file many times costs one mesh.
    if (auto shared = meshByPath_.find(entry[1]); shared != meshByPath_.end()) {
        const ModelData model = models_[static_cast<std::size_t>(shared->second)];  // a copy: Keep appends
        const ModelHandle handle = AddModelData(entry[0], model);
        if (handle != kNoModel) pathOf_[static_cast<std::size_t>(handle)] = entry[1];
        return {};
    }
    if (auto failed = failedPaths_.find(entry[1]); failed != failedPaths_.end()) return Failure(failed->second);
    const Result<ModelData> model = LoadModelData(entry[1], device_);
    if (!model.ok) {
        const std::string why = "cannot load \"" + entry[1] + "\": " + model.message;
        failedPaths_.emplace(entry[1], why);
        return Failure(why);
    }
    const ModelHandle handle = Keep(entry[0], model.value);
    if (handle != kNoModel) pathOf_[static_cast<std::size_t>(handle)] = entry[1];
    meshByPath_.emplace(entry[1], handle);
    return {};
}

ModelHandle CModelManager::Keep(const std::string& label, const ModelData& model) {
    const auto [it, added] = handles_.emplace(label, static_cast<ModelHandle>(models_.size()));
    if (!added) return kNoModel;
    models_.push_back(model);
    pathOf_.emplace_back();
    ++revision_;
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
    pathOf_.clear();
    ++revision_;
    handles_.clear();
    meshByPath_.clear();
    failedPaths_.clear();
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

Result<> CModelManager::ReloadMesh(const std::string& path) {
    if (failedPaths_.erase(path)) {
        const std::vector<std::string> problems = ReloadCatalog();
        for (const std::string& problem : problems)
            if (problem.find(path) != std::string::npos) return Failure(problem);
        return {};
    }
    if (!meshByPath_.count(path)) return {};
    Result<ModelData> loaded = LoadModelData(path, device_);
    if (!loaded.ok) return Failure(path, "the mesh cannot be reloaded (" + loaded.message + "); the old one is kept");
    const ModelData& fresh = loaded.value;
    for (std::size_t h = 0; h < models_.size(); ++h) {
        if (pathOf_[h] != path) continue;
        ModelData& model = models_[h];
        SafeRelease(model.mesh);
        SafeRelease(model.materialBuffer);
        model = fresh;
        if (model.mesh) model.mesh->AddRef();
        if (model.materialBuffer) model.materialBuffer->AddRef();
    }
    // The references the loader gave are held by the models now.
    ModelData made = fresh;
    SafeRelease(made.mesh);
    SafeRelease(made.materialBuffer);
    ++revision_;
    return {};
}

std::vector<std::string> CModelManager::ReloadCatalog() {
    std::vector<std::string> problems;
    if (catalogPath_.empty()) return problems;
    failedPaths_.clear();
    WalkModelCatalog(catalogPath_, problems, [this](const std::vector<std::string>& entry) { return AddModel(entry); });
    return problems;
}

std::vector<std::string> CModelManager::MeshPaths() const {
    std::vector<std::string> paths;
    for (const auto& [path, handle] : meshByPath_) paths.push_back(path);
    for (const auto& [path, why] : failedPaths_) paths.push_back(path);
    return paths;
}
