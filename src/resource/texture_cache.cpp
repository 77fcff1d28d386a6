#include "resource/texture_cache.h"

#include "app/manager.h"

CTextureCache::~CTextureCache() { Uninit(); }

IDirect3DTexture9* CTextureCache::GetTexture(const std::string& fileName) {
    IDirect3DDevice9* device = CManager::GetInstance()->GetDevice();
    auto it = textures_.find(fileName);
    if (it != textures_.end()) return it->second;
    IDirect3DTexture9* texture = nullptr;
    D3DXCreateTextureFromFileA(device, fileName.c_str(), &texture);
    if (!texture) return nullptr;  // nothing is kept, so the file is tried again next time
    textures_.emplace(fileName, texture);
    return texture;
}

void CTextureCache::Uninit() {
    for (auto& [name, texture] : textures_) SafeRelease(texture);
    textures_.clear();
}
