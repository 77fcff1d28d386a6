// Textures named by mesh materials, created from their files on first request and kept until shut-down.
#pragma once

#include <string>
#include <unordered_map>

#include "platform/d3dx9.h"

class CTextureCache {
public:
    CTextureCache() = default;
    ~CTextureCache();
    CTextureCache(const CTextureCache&) = delete;
    CTextureCache& operator=(const CTextureCache&) = delete;

    // The texture for a material's file name, or null when the file cannot be loaded (tried again next time).
    IDirect3DTexture9* GetTexture(const std::string& fileName);
    // Releases every cached texture.
    void Uninit();

private:
    std::unordered_map<std::string, IDirect3DTexture9*> textures_;
};
