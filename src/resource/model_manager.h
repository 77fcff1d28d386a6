// The model catalog: every .x mesh listed in the model catalog file, loaded once, answered by label.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/d3dx9.h"

struct ModelData {
    ID3DXBuffer* materialBuffer = nullptr;
    DWORD numMaterials = 0;
    ID3DXMesh* mesh = nullptr;
    D3DXVECTOR3 max;
    D3DXVECTOR3 min;
};

class CModelManager {
public:
    CModelManager() = default;
    ~CModelManager();
    CModelManager(const CModelManager&) = delete;
    CModelManager& operator=(const CModelManager&) = delete;

    void Load(const std::string& path = "Data/FILE/model.json");
    void AddModel(const std::vector<std::string>& entry);
    void LoadXModel(const std::vector<std::string>& entry);
    // Releases every mesh and material buffer and empties the catalog.
    void Uninit();

    ID3DXMesh* GetMesh(const std::string& label) const;
    ID3DXBuffer* GetMaterialBuffer(const std::string& label) const;
    DWORD GetNumMaterials(const std::string& label) const;
    D3DXVECTOR3 GetMax(const std::string& label) const;
    D3DXVECTOR3 GetMin(const std::string& label) const;
    std::map<std::string, ModelData> GetModelMap() const { return models_; }

private:
    std::map<std::string, ModelData> models_;
};
