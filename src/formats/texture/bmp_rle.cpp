#include "formats/texture/bmp_rle.h"

#include <cstring>

namespace {

constexpr std::size_t kInfoStart = 14;
constexpr std::uint32_t kRle8 = 1, kRle4 = 2;

std::uint32_t Read(const std::string& s, std::size_t at, std::size_t size) {
    std::uint32_t v = 0;
    std::memcpy(&v, s.data() + at, size);
    return v;
}

}  // namespace

bool IsRleBmp(const std::string& bytes) {
    if (bytes.size() < kInfoStart + 40 || bytes.compare(0, 2, "BM") != 0) return false;
    const std::uint32_t compression = Read(bytes, 30, 4);
    return compression == kRle8 || compression == kRle4;
}

Result<DecodedImage> ReadRleBmp(const std::string& bytes, std::uint32_t maxSize) {
    if (!IsRleBmp(bytes)) return Failure("not a run-length-encoded BMP");
    const std::uint32_t headerSize = Read(bytes, 14, 4), dataStart = Read(bytes, 10, 4);
    const auto width = static_cast<std::int32_t>(Read(bytes, 18, 4));
    const auto height = static_cast<std::int32_t>(Read(bytes, 22, 4));
    const std::uint32_t bits = Read(bytes, 28, 2), compression = Read(bytes, 30, 4);
    if ((compression == kRle8 && bits != 8) || (compression == kRle4 && bits != 4))
        return Failure("the BMP's bit depth does not match its compression");
    if (width <= 0 || height <= 0) return Failure("a run-length-encoded BMP needs a positive width and height");
    if (static_cast<std::uint32_t>(width) > maxSize || static_cast<std::uint32_t>(height) > maxSize)
        return Failure("the texture is " + std::to_string(width) + " x " + std::to_string(height) +
                       ", larger than the device's limit of " + std::to_string(maxSize));
    std::uint32_t colors = Read(bytes, 46, 4);
    const std::uint32_t maxColors = 1u << bits;
    if (colors == 0 || colors > maxColors) colors = maxColors;
    const std::size_t paletteStart = kInfoStart + headerSize;
    if (headerSize < 40 || paletteStart > bytes.size() || colors > (bytes.size() - paletteStart) / 4 ||
        dataStart > bytes.size())
        return Failure("the BMP's palette or pixel data lies outside the file");
    // Each row ends with a two-byte code at least (or the picture ends early, also two bytes).
    if (bytes.size() - dataStart < 2) return Failure("the BMP holds no pixel data");

    std::uint8_t palette[256][4] = {};
    for (std::uint32_t i = 0; i < colors; ++i) {
        const auto* entry = reinterpret_cast<const unsigned char*>(bytes.data()) + paletteStart + i * 4;
        palette[i][0] = entry[2], palette[i][1] = entry[1], palette[i][2] = entry[0], palette[i][3] = 255;
    }
    DecodedLevel level;
    level.width = static_cast<std::uint32_t>(width);
    level.height = static_cast<std::uint32_t>(height);
    level.rgba.assign(std::size_t{level.width} * level.height * 4, 0);
    for (std::size_t p = 3; p < level.rgba.size(); p += 4) level.rgba[p] = 255;

    // Rows are stored bottom-up; x and y count in the file's order.
    std::uint32_t x = 0, y = 0;
    auto put = [&](std::uint32_t index) {
        if (x < level.width && y < level.height) {
            std::uint8_t* texel = &level.rgba[((level.height - 1 - y) * std::size_t{level.width} + x) * 4];
            std::memcpy(texel, palette[index & 0xFF], 4);
        }
        ++x;
    };
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t at = dataStart;
    const std::size_t end = bytes.size();
    while (at + 1 < end && y < level.height) {
        const unsigned count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x < level.width; ++i)
                put(compression == kRle8 ? value : (i % 2 ? value & 15 : value >> 4));
            continue;
        }
        if (value == 0) {  // end of row
            x = 0, ++y;
        } else if (value == 1) {  // end of picture
            break;
        } else if (value == 2) {  // move right and up
            if (at + 1 >= end) return Failure("a BMP run is cut short");
            x += data[at], y += data[at + 1];
            at += 2;
        } else {  // a literal run of `value` pixels, padded to a 16-bit boundary
            const std::size_t size = compression == kRle8 ? value : (value + 1) / 2;
            if (size > end - at) return Failure("a BMP run is cut short");
            for (unsigned i = 0; i < value; ++i) {
                const unsigned byte = data[at + (compression == kRle8 ? i : i / 2)];
                put(compression == kRle8 ? byte : (i % 2 ? byte & 15 : byte >> 4));
            }
            at += size + (size & 1);
        }
    }
    DecodedImage image;
    image.levels.push_back(std::move(level));
    return image;
}
