// Run-length-encoded BMPs (RLE8 and RLE4), which the general image decoder does not read.
#pragma once

#include <cstdint>
#include <string>

#include "base/result.h"
#include "formats/texture/decoded_image.h"

// True when the file is a BMP whose pixels are RLE8 or RLE4 compressed.
bool IsRleBmp(const std::string& bytes);

// Checks the size against `maxSize` before decoding. Pixels the runs skip stay opaque black. The image, or
// the reason it cannot be read.
Result<DecodedImage> ReadRleBmp(const std::string& bytes, std::uint32_t maxSize);
