// Small pictures of the catalog's models for the model palette, drawn once by the device itself (so every
// platform has them): each model on its own square of the back buffer, lit by the scene's lights and seen
// from above and in front, read back and kept as a texture. The frame that follows clears the back buffer.
#pragma once

#include <map>
#include <string>

#include "d3d/d3dx9.h"

class CModelManager;

class CModelThumbnails {
public:
    static constexpr UINT kSize = 64;

    CModelThumbnails() = default;
    ~CModelThumbnails() { Uninit(); }
    CModelThumbnails(const CModelThumbnails&) = delete;
    CModelThumbnails& operator=(const CModelThumbnails&) = delete;

    // Releases every picture.
    void Uninit();
    // Draws the pictures of the models that have none yet, outside any scene the renderer has begun; a
    // device that cannot draw or read back leaves them without one. Returns how many were made.
    int Render(IDirect3DDevice9* device, const CModelManager& models);
    // The model's picture, or null.
    IDirect3DTexture9* Get(const std::string& label) const;

private:
    std::map<std::string, IDirect3DTexture9*> textures_;
    std::map<std::string, bool> tried_;  // labels drawn already, with or without a picture
};
