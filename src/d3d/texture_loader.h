// The texture loader behind D3DXCreateTextureFromFileA, with the reason of a failure for the callers and
// tests that want it.
#pragma once

#include <cstdint>
#include <string>

#include "d3d/d3dx9.h"

// A compressed image (PNG, JPEG, TGA) whose decoded pixels would take more than this many bytes and more
// than this many times its file's size is refused before it is decoded.
constexpr std::uint64_t kTextureFreeDecodedBytes = std::uint64_t{64} << 20;
constexpr std::uint64_t kTextureMaxDecodedRatio = 256;

// Loads PNG, JPEG, BMP (RLE4 and RLE8 too), TGA, DDS and the other formats the image decoder reads. The
// size the header claims is checked against the file's bytes, the device's limit and the proportion above
// before decoding.
HRESULT LoadTextureFromFile(IDirect3DDevice9* device, const char* fileName, IDirect3DTexture9** texture,
                            std::string* error);
