// Texture and effect files read by our own readers, as the editor reads them on Linux (on Windows it
// reads them with D3DX, which needs a device), with no device: the result names the file, and the line
// and column where an effect goes wrong.
#pragma once

#include <string>

#include "base/result.h"
#include "formats/effect/effect_parser.h"
#include "formats/texture/image_reader.h"

// The texture's levels and format, checked against the size of a Direct3D 9 class device.
Result<DecodedImage> ReadTextureFile(const std::string& path);
// The techniques and parameters the effect defines, or its first error.
Result<EffectDescription> ReadEffectFile(const std::string& path);
