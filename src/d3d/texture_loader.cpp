#include "d3d/texture_loader.h"

#include <vector>

#include "base/file_bytes.h"
#include "formats/texture/image_reader.h"

namespace {

HRESULT Fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return E_FAIL;
}

}  // namespace

HRESULT LoadTextureFromFile(IDirect3DDevice9* device, const char* fileName, IDirect3DTexture9** texture,
                            std::string* error) {
    if (!device || !texture) return E_INVALIDARG;
    const Result<std::string> bytes = ReadFileBytes(fileName, kTextureFileLimit);
    if (!bytes.ok) return Fail(error, bytes.message);
    D3DCAPS9 caps{};
    device->GetDeviceCaps(&caps);
    const std::uint32_t maxSize = caps.MaxTextureWidth < caps.MaxTextureHeight ? caps.MaxTextureWidth : caps.MaxTextureHeight;
    const Result<DecodedImage> decoded = ReadImage(bytes.value, maxSize);
    if (!decoded.ok) return Fail(error, decoded.message);
    const DecodedImage& image = decoded.value;

    std::vector<const BYTE*> levels;
    for (const DecodedLevel& level : image.levels) levels.push_back(level.rgba.data());
    IDirect3DTexture9* created = nullptr;
    const DecodedLevel& top = image.levels.front();
    HRESULT hr = levels.size() > 1
                     ? device->CreateTextureFromLevels(top.width, top.height, static_cast<UINT>(levels.size()),
                                                       levels.data(), &created)
                     : device->CreateTextureFromPixels(top.width, top.height, levels[0], &created);
    if (FAILED(hr) || !created) return Fail(error, "the device cannot create the texture");
    *texture = created;
    return S_OK;
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* fileName, IDirect3DTexture9** texture) {
    return LoadTextureFromFile(device, fileName, texture, nullptr);
}
