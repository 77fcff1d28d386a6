#include "resource/asset_reload.h"

#include "resource/model_manager.h"
#include "resource/shader_manager.h"
#include "resource/texture_cache.h"
#include "resource/texture_manager.h"

void CAssetReload::Connect(const ReloadParts& parts) {
    if (parts.models == parts_.models && parts.textures == parts_.textures && parts.shaders == parts_.shaders &&
        parts.cache == parts_.cache)
        return;
    parts_ = parts;
    gathered_ = false;
}

void CAssetReload::Gather() {
    std::vector<std::string> files;
    auto add = [&files](const std::vector<std::string>& more) { files.insert(files.end(), more.begin(), more.end()); };
    if (parts_.models) {
        files.push_back(parts_.models->CatalogPath());
        add(parts_.models->MeshPaths());
    }
    if (parts_.textures) {
        files.push_back(parts_.textures->CatalogPath());
        for (const auto& [label, path] : parts_.textures->GetTextureMap()) files.push_back(path);
    }
    if (parts_.shaders) {
        files.push_back(parts_.shaders->CatalogPath());
        add(parts_.shaders->EffectFiles());
    }
    if (parts_.cache) add(parts_.cache->FileNames());
    std::erase(files, std::string());
    watch_.SetFiles(files);
    gathered_ = true;
}

ReloadOutcome CAssetReload::Update(std::uint32_t now, std::size_t slice) {
    ReloadOutcome outcome;
    // Drawing may have asked for new textures since: each round starts from what the parts hold now.
    if (!gathered_ || watch_.RoundDone()) Gather();
    const std::size_t revision = parts_.models ? parts_.models->Revision() : 0;
    for (const std::string& path : watch_.Poll(now, slice)) Reload(path, outcome);
    outcome.modelsChanged = parts_.models && parts_.models->Revision() != revision;
    if (!outcome.reloaded.empty()) Gather();  // a catalog or an effect may name other files now
    return outcome;
}

void CAssetReload::Reload(const std::string& path, ReloadOutcome& outcome) {
    auto take = [&outcome](std::vector<std::string> problems) {
        outcome.problems.insert(outcome.problems.end(), problems.begin(), problems.end());
    };
    outcome.reloaded.push_back(path);
    // One file may play several parts (a catalog named twice, an image used as a texture and listed):
    // every part that knows it loads it again; the others pass over it.
    if (CModelManager* models = parts_.models) {
        if (path == models->CatalogPath()) take(models->ReloadCatalog());
        const Result<> mesh = models->ReloadMesh(path);
        if (!mesh.ok) outcome.problems.push_back(mesh.Describe());
    }
    if (CTextureManager* textures = parts_.textures; textures && path == textures->CatalogPath())
        take(textures->Reload());
    if (CTextureCache* cache = parts_.cache) {
        const Result<> texture = cache->Reload(path);
        if (!texture.ok) outcome.problems.push_back(texture.Describe());
    }
    if (CShaderManager* shaders = parts_.shaders) {
        if (path == shaders->CatalogPath()) take(shaders->ReloadCatalog());
        take(shaders->ReloadFile(path));
    }
}
