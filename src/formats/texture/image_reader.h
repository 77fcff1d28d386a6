// Every image file a texture can come from, decoded without a device: DDS and run-length BMP by our
// own readers, PNG, JPEG, BMP, TGA and the other formats stb_image reads by it. The size the header
// claims is checked against the file's bytes, the largest size the device takes and the proportion below
// before anything is decoded.
#pragma once

#include <cstdint>
#include <string>

#include "base/result.h"
#include "formats/texture/decoded_image.h"

// A compressed image (PNG, JPEG, TGA) whose decoded pixels would take more than this many bytes and more
// than this many times its file's size is refused before it is decoded.
constexpr std::uint64_t kTextureFreeDecodedBytes = std::uint64_t{64} << 20;
constexpr std::uint64_t kTextureMaxDecodedRatio = 256;
// The largest width or height of a texture on a Direct3D 9 class device that says nothing else; what
// vellumar-tool checks textures against, having no device to ask.
constexpr std::uint32_t kDirect3D9TextureSize = 8192;

// The image with its levels and format name, or the reason it cannot be read.
Result<DecodedImage> ReadImage(const std::string& bytes, std::uint32_t maxSize);
