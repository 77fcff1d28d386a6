#include "resource/texture_cache.h"

#include "app/manager.h"

CTextureCache::~CTextureCache() { Uninit(); }

IDirect3DTexture9* CTextureCache::GetTexture(const std::string& fileName) {
    IDirect3DDevice9* device = CManager::GetInstance()->GetDevice();
    auto it = textures_.find(fileName);
    if (it != textures_.end()) return it->second;
    // A file that failed is read again only when it is not what it was then.
    Failure now{};
    now.exists = StampInputFile(fileName, now.stamp);
    auto failed = failed_.find(fileName);
    if (failed != failed_.end() && failed->second.exists == now.exists && (!now.exists || failed->second.stamp == now.stamp))
        return nullptr;
    IDirect3DTexture9* texture = nullptr;
    D3DXCreateTextureFromFileA(device, fileName.c_str(), &texture);
    if (!texture) {
        failed_[fileName] = now;
        return nullptr;
    }
    failed_.erase(fileName);
    textures_.emplace(fileName, texture);
    return texture;
}

void CTextureCache::Uninit() {
    for (auto& [name, texture] : textures_) SafeRelease(texture);
    textures_.clear();
    failed_.clear();
}
