#include "tools/asset_files.h"

#include "base/file_bytes.h"

Result<DecodedImage> ReadTextureFile(const std::string& path) {
    const Result<std::string> bytes = ReadFileBytes(path.c_str(), kTextureFileLimit);
    Result<DecodedImage> image = bytes.ok ? ReadImage(bytes.value, kDirect3D9TextureSize) : Result<DecodedImage>(bytes);
    image.path = path;
    return image;
}

Result<EffectDescription> ReadEffectFile(const std::string& path) {
    const Result<std::string> source = ReadFileBytes(path.c_str(), kEffectFileLimit);
    if (!source.ok) return Result<EffectDescription>(source);
    return ParseEffect(source.value, path);
}
