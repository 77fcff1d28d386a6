#include "formats/texture/image_reader.h"

#include <climits>
#include <memory>

// Debian's stb library holds the decoder's code; where only its headers are (the Windows build), it is
// compiled here.
#ifdef _WIN32
#define STB_IMAGE_IMPLEMENTATION
#endif
#include <stb_image.h>

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

// The name of a format stb_image reads, from its signature.
const char* FormatName(const std::string& bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() >= 8 && b[0] == 0x89 && bytes.compare(1, 3, "PNG") == 0) return "PNG";
    if (bytes.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8) return "JPEG";
    if (bytes.compare(0, 2, "BM") == 0) return "BMP";
    if (bytes.compare(0, 3, "GIF") == 0) return "GIF";
    if (bytes.compare(0, 4, "8BPS") == 0) return "PSD";
    if (bytes.compare(0, 2, "#?") == 0) return "HDR";
    if (bytes.size() >= 2 && b[0] == 'P' && (b[1] == '5' || b[1] == '6')) return "PNM";
    return "TGA";
}

}  // namespace

Result<DecodedImage> ReadImage(const std::string& bytes, std::uint32_t maxSize) {
    if (IsDds(bytes)) return ReadDds(bytes, maxSize);
    if (IsRleBmp(bytes)) {
        Result<DecodedImage> image = ReadRleBmp(bytes, maxSize);
        image.value.format = "BMP (RLE)";
        return image;
    }
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
    image.format = FormatName(bytes);
    return image;
}
