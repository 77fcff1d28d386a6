// The texture loader behind D3DXCreateTextureFromFileA, with the reason of a failure for the callers and
// tests that want it.
#pragma once

#include <cstdint>
#include <string>

#include "d3d/d3dx9.h"
#include "formats/texture/image_reader.h"

// Loads every image file ReadImage reads, no larger than the device's largest texture: level 0 and the
// mip levels the file holds.
HRESULT LoadTextureFromFile(IDirect3DDevice9* device, const char* fileName, IDirect3DTexture9** texture,
                            std::string* error);
