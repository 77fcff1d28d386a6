// DDS files as D3DX 9 loads them into a 2D texture: DXT1 to DXT5 blocks (DXT2 and DXT4 read as DXT3 and
// DXT5), uncompressed RGB, luminance and alpha formats given by their masks or by their D3DFMT number in
// the fourCC field (A8R8G8B8, X8R8G8B8, R8G8B8, A8B8G8R8, X8B8G8R8, R5G6B5, X1R5G5B5, A1R5G5B5,
// A4R4G4B4, X4R4G4B4, L8, A8L8, A4L4, A8), with their mip levels. A cube map gives its first face and a
// volume texture its first slice, each with its mip levels. The DX10 header is refused.
//
// The mip count is read whether or not the header's DDSD_MIPMAPCOUNT flag is set, as D3DX 9 reads the
// levels of the file: many writers set the count (and DDSCAPS_MIPMAP) without the flag. Without the flag
// the count is less certain, so a count that the file's bytes cannot hold gives the levels it does hold
// instead of refusing the file; with the flag, bytes missing for any level refuse it.
#pragma once

#include <cstdint>
#include <string>

#include "base/result.h"
#include "formats/texture/decoded_image.h"

bool IsDds(const std::string& bytes);

// Checks the header against the bytes that follow and against `maxSize` (the largest width or height
// the device takes) before anything is decoded. The image, or the reason it cannot be read.
Result<DecodedImage> ReadDds(const std::string& bytes, std::uint32_t maxSize);

// A readable name for the fourCC field of a pixel format: "A16B16G16R16F (fourCC 113)" for a D3DFMT
// number, "'ATI2'" for four printable characters, "(fourCC N)" otherwise.
std::string DdsFourCcName(std::uint32_t fourCc);
