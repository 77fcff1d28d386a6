#include "d3d/texture_loader.h"

#include <stb_image.h>

#include <climits>
#include <cstdint>
#include <memory>

#include "base/file_bytes.h"
#include "formats/texture/bmp_rle.h"
#include "formats/texture/dds_reader.h"

namespace {

// The fewest bytes a file of this format can hold an image of `pixels` pixels in: a header claiming more
// pixels than that is damaged (or hostile), and is refused before anything is allocated.
std::uint64_t MinimumBytes(const std::string& bytes, std::uint64_t pixels, int channels) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() >= 8 && b[0] == 0x89 && bytes.compare(1, 3, "PNG") == 0)
        return pixels * static_cast<std::uint64_t>(channels) / 1032;  // deflate packs at most 1032:1
    if (bytes.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8) return pixels / 512;
    if (bytes.size() >= 30 && bytes.compare(0, 2, "BM") == 0) {
        const std::uint64_t bits = static_cast<std::uint64_t>(b[28] | b[29] << 8);
        return pixels * bits / 8;
    }
    if (bytes.size() >= 18 && (b[2] == 1 || b[2] == 2 || b[2] == 3 || b[2] == 9 || b[2] == 10 || b[2] == 11)) {
        const std::uint64_t depth = (b[16] + 7u) / 8u;  // TGA: bytes per pixel
        return b[2] < 9 ? pixels * depth : pixels / 128 * (1 + depth);
    }
    return pixels / 4096;
}

Result<DecodedImage> Decode(const std::string& bytes, std::uint32_t maxSize) {
    if (IsDds(bytes)) return ReadDds(bytes, maxSize);
    if (IsRleBmp(bytes)) return ReadRleBmp(bytes, maxSize);
    if (bytes.empty() || bytes.size() > INT_MAX) return Failure("the file is empty or too large");
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, size, &width, &height, &channels) || width <= 0 || height <= 0)
        return Failure("not an image format that can be read");
    if (static_cast<std::uint32_t>(width) > maxSize || static_cast<std::uint32_t>(height) > maxSize)
        return Failure("the texture is " + std::to_string(width) + " x " + std::to_string(height) +
                       ", larger than the device's limit of " + std::to_string(maxSize));
    const std::uint64_t pixels = std::uint64_t{static_cast<std::uint32_t>(width)} * static_cast<std::uint32_t>(height);
    if (MinimumBytes(bytes, pixels, channels) > bytes.size())
        return Failure("the header claims " + std::to_string(width) + " x " + std::to_string(height) +
                       " pixels, more than the file's " + std::to_string(bytes.size()) + " bytes can hold");
    // Even a header the file can hold may decode to memory out of all proportion to the file (a flat image of
    // 16384 x 16384 packs into a few hundred kilobytes): such a texture is refused before it is decoded.
    const std::uint64_t decoded = pixels * 4;
    if (decoded > kTextureFreeDecodedBytes && decoded > bytes.size() * kTextureMaxDecodedRatio)
        return Failure("the texture would decode to " + std::to_string(decoded >> 20) + " MB, more than " +
                       std::to_string(kTextureMaxDecodedRatio) + " times its file of " + std::to_string(bytes.size()) +
                       " bytes");
    std::unique_ptr<stbi_uc, void (*)(void*)> pixelsOut(stbi_load_from_memory(data, size, &width, &height, &channels, 4),
                                                        stbi_image_free);
    if (!pixelsOut) {
        const char* why = stbi_failure_reason();
        return Failure(std::string("cannot decode the image") + (why ? std::string(": ") + why : ""));
    }
    DecodedLevel level;
    level.width = static_cast<std::uint32_t>(width);
    level.height = static_cast<std::uint32_t>(height);
    level.rgba.assign(pixelsOut.get(), pixelsOut.get() + pixels * 4);
    DecodedImage image;
    image.levels.push_back(std::move(level));
    return image;
}

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
    const Result<DecodedImage> decoded = Decode(bytes.value, maxSize);
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
