// The texture loader behind D3DXCreateTextureFromFileA, with the reason of a failure for the callers and
// tests that want it.
#pragma once

#include <string>

#include "d3d/d3dx9.h"

// Loads PNG, JPEG, BMP (RLE4 and RLE8 too), TGA, DDS and the other formats the image decoder reads. The
// size the header claims is checked against the file's bytes and the device's limit before decoding.
HRESULT LoadTextureFromFile(IDirect3DDevice9* device, const char* fileName, IDirect3DTexture9** texture,
                            std::string* error);
