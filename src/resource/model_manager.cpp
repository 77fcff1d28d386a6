#include "resource/model_manager.h"

CModelManager::~CModelManager() { Uninit(); }

void CModelManager::Load(const std::string&) {}
void CModelManager::AddModel(const std::vector<std::string>&) {}
void CModelManager::LoadXModel(const std::vector<std::string>&) {}

void CModelManager::Uninit() {
    for (auto& [label, data] : models_) {
        SafeRelease(data.mesh);
        SafeRelease(data.materialBuffer);
    }
    models_.clear();
}

ID3DXMesh* CModelManager::GetMesh(const std::string& label) const {
    auto it = models_.find(label);
    return it == models_.end() ? nullptr : it->second.mesh;
}
ID3DXBuffer* CModelManager::GetMaterialBuffer(const std::string& label) const {
    auto it = models_.find(label);
    return it == models_.end() ? nullptr : it->second.materialBuffer;
}
DWORD CModelManager::GetNumMaterials(const std::string& label) const {
    auto it = models_.find(label);
    return it == models_.end() ? 0 : it->second.numMaterials;
}
D3DXVECTOR3 CModelManager::GetMax(const std::string& label) const {
    auto it = models_.find(label);
    return it == models_.end() ? D3DXVECTOR3() : it->second.max;
}
D3DXVECTOR3 CModelManager::GetMin(const std::string& label) const {
    auto it = models_.find(label);
    return it == models_.end() ? D3DXVECTOR3() : it->second.min;
}
