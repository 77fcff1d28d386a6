// Small pictures of the catalog's models for the model palette, drawn by the device itself (so every
// platform has them): each model with its textures on its own square of the back buffer, lit by the scene's
// lights and seen from above and in front, read back and kept as a texture. The frame that follows clears
// the back buffer. They are drawn again when a mesh or a texture is reloaded.
#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "d3d/d3dx9.h"

class CModelManager;
class CTextureCache;

class CModelThumbnails {
public:
    static constexpr UINT kSize = 64;

    CModelThumbnails() = default;
    ~CModelThumbnails() { Uninit(); }
    CModelThumbnails(const CModelThumbnails&) = delete;
    CModelThumbnails& operator=(const CModelThumbnails&) = delete;

    // Releases every picture.
    void Uninit();
    // Draws the pictures of the models that have none yet, or of every model when the catalog's models or
    // the cache's textures changed since, outside any scene the renderer has begun. A picture stays until
    // its new one is made; a device that cannot draw or read back leaves a model without one. Textures come
    // from `textures` (none without it). Returns how many were made.
    int Render(IDirect3DDevice9* device, const CModelManager& models, CTextureCache* textures = nullptr);
    // The model's picture, or null.
    IDirect3DTexture9* Get(const std::string& label) const;

private:
    std::map<std::string, IDirect3DTexture9*> textures_;
    std::map<std::string, bool> tried_;  // labels drawn already, with or without a picture
    // The revisions of the models and of the textures the pictures were drawn with.
    std::size_t modelsRevision_ = 0, texturesRevision_ = 0;
};
