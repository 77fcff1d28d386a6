// The model catalog: every .x mesh listed in the model catalog file, loaded once, answered by label.
#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/result.h"
#include "d3d/d3dx9.h"
#include "stagefile/stage_types.h"

struct ModelData {
    ID3DXBuffer* materialBuffer = nullptr;
    DWORD numMaterials = 0;
    ID3DXMesh* mesh = nullptr;
    D3DXVECTOR3 max{0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 min{0.0f, 0.0f, 0.0f};
};

// Loads one .x mesh into system memory with its materials, and measures its bounds: per axis the largest
// and the smallest vertex coordinate, both rounded down; or the reason it cannot be loaded. The model
// catalog loads meshes through this.
Result<ModelData> LoadModelData(const std::string& path, IDirect3DDevice9* device);

class CModelManager {
public:
    // Meshes are loaded for `device`; without one they stay in system memory and cannot be drawn.
    explicit CModelManager(IDirect3DDevice9* device = nullptr) : device_(device) {}
    ~CModelManager();
    CModelManager(const CModelManager&) = delete;
    CModelManager& operator=(const CModelManager&) = delete;

    // Reads the catalog file and adds its entries in file order. Entries that do not follow the layout
    // and meshes that cannot be loaded are reported (GetProblems) and left out.
    void Load(const std::string& path = "Data/FILE/model.json");
    // Loads the entry's mesh when its path ends in ".x"; other extensions are skipped. Fails with the
    // reason when the entry is unusable or its mesh cannot be loaded.
    Result<> AddModel(const std::vector<std::string>& entry);
    // Loads the mesh of an entry unless its label is already in the catalog (the first entry wins). A mesh
    // file that an earlier entry named is shared with that entry's model (or fails as it did), not read
    // again.
    Result<> LoadXModel(const std::vector<std::string>& entry);
    // Releases every mesh and material buffer and empties the catalog.
    void Uninit();

    ID3DXMesh* GetMesh(const std::string& label) const;
    ID3DXBuffer* GetMaterialBuffer(const std::string& label) const;
    DWORD GetNumMaterials(const std::string& label) const;
    D3DXVECTOR3 GetMax(const std::string& label) const;
    D3DXVECTOR3 GetMin(const std::string& label) const;
    std::map<std::string, ModelData> GetModelMap() const;

    // The handle of the label's model (its place in the catalog, kept until Uninit), or kNoModel.
    ModelHandle Find(const std::string& label) const;
    // The model of a handle; null for kNoModel or a handle the catalog does not hold.
    const ModelData* Get(ModelHandle handle) const;
    // How many models the catalog holds (handles run from 0 to this).
    std::size_t Count() const { return models_.size(); }
    // Adds a model made elsewhere under the label, keeping its own reference to the mesh and the material
    // buffer. kNoModel, and nothing added, when the label is taken (the first wins).
    ModelHandle AddModelData(const std::string& label, const ModelData& model);

    // What was wrong with the catalog file, one line per problem, in the order found.
    const std::vector<std::string>& GetProblems() const { return problems_; }

    // ---- reloading what changed on disk ----
    // Loads the mesh file again and gives every model loaded from it the new mesh, materials and bounds;
    // their handles stay. When it cannot be loaded the models keep what they had and the reason is given.
    // A file that failed before is loaded for the catalog's entries that named it.
    Result<> ReloadMesh(const std::string& path);
    // Reads the catalog file given to Load again: entries with new labels are added (and meshes that failed
    // before are tried again); the models already held stay as they are. Gives the problems found.
    std::vector<std::string> ReloadCatalog();
    // The catalog file given to Load, and every mesh file the catalog named, loaded or failed.
    std::string CatalogPath() const { return catalogPath_; }
    std::vector<std::string> MeshPaths() const;
    // Changes whenever a model is added or reloaded: whoever keeps the models' bounds measures again.
    std::size_t Revision() const { return revision_; }

private:
    // Adds a model whose references the catalog takes over.
    ModelHandle Keep(const std::string& label, const ModelData& model);

    IDirect3DDevice9* device_;
    std::vector<ModelData> models_;               // by handle
    std::vector<std::string> pathOf_;             // by handle: its mesh file (empty when made elsewhere)
    std::string catalogPath_;
    std::size_t revision_ = 0;
    std::map<std::string, ModelHandle> handles_;  // by label
    std::unordered_map<std::string, ModelHandle> meshByPath_;  // the first model of each mesh file loaded
    std::unordered_map<std::string, std::string> failedPaths_;  // mesh files that could not be loaded, and why
    std::vector<std::string> problems_;
};
