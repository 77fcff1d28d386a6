// DDS files: DXT1, DXT3 and DXT5 blocks (DXT2 and DXT4 read as DXT3 and DXT5) and uncompressed 16-, 24-
// and 32-bit RGB with or without alpha, with their mip levels. Cube maps, volumes and the DX10 header
// are refused.
#pragma once

#include <cstdint>
#include <string>

#include "base/result.h"
#include "formats/texture/decoded_image.h"

bool IsDds(const std::string& bytes);

// Checks the header against the bytes that follow and against `maxSize` (the largest width or height
// the device takes) before anything is decoded. The image, or the reason it cannot be read.
Result<DecodedImage> ReadDds(const std::string& bytes, std::uint32_t maxSize);
