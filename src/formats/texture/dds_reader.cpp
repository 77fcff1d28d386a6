#include "formats/texture/dds_reader.h"

#include <cstring>

namespace {

constexpr std::size_t kHeaderEnd = 128;  // "DDS " and the 124-byte header
constexpr std::uint32_t kMipMapCountFlag = 0x20000;
constexpr std::uint32_t kAlphaPixels = 0x1, kFourCc = 0x4, kRgb = 0x40;
constexpr std::uint32_t kCubeMap = 0x200, kVolume = 0x200000;

std::uint32_t Dword(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, s.data() + at, 4);
    return v;
}

std::uint32_t FourCc(const char* code) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

enum class Format { Dxt1, Dxt3, Dxt5, Rgb };

// One channel of an uncompressed pixel: where its bits are and how to widen them to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (!mask) return;
        while (!((mask >> shift) & 1u)) ++shift;
        max = mask >> shift;
    }
    std::uint8_t Get(std::uint32_t pixel, std::uint8_t otherwise) const {
        if (!max) return otherwise;
        return static_cast<std::uint8_t>(((std::uint64_t{(pixel & mask) >> shift}) * 255u + max / 2) / max);
    }
};

void Color565(std::uint16_t c, std::uint8_t* out) {
    const std::uint32_t r = c >> 11 & 31, g = c >> 5 & 63, b = c & 31;
    out[0] = static_cast<std::uint8_t>(r << 3 | r >> 2);
    out[1] = static_cast<std::uint8_t>(g << 2 | g >> 4);
    out[2] = static_cast<std::uint8_t>(b << 3 | b >> 2);
    out[3] = 255;
}

// Decodes one 4 x 4 block into `texels` (16 RGBA texels, row by row).
void DecodeBlock(const unsigned char* block, Format format, std::uint8_t texels[16][4]) {
    const unsigned char* color = format == Format::Dxt1 ? block : block + 8;
    const std::uint16_t c0 = static_cast<std::uint16_t>(color[0] | color[1] << 8);
    const std::uint16_t c1 = static_cast<std::uint16_t>(color[2] | color[3] << 8);
    std::uint8_t palette[4][4];
    Color565(c0, palette[0]);
    Color565(c1, palette[1]);
    const bool fourColors = format != Format::Dxt1 || c0 > c1;
    for (int k = 0; k < 3; ++k) {
        if (fourColors) {
            palette[2][k] = static_cast<std::uint8_t>((2 * palette[0][k] + palette[1][k]) / 3);
            palette[3][k] = static_cast<std::uint8_t>((palette[0][k] + 2 * palette[1][k]) / 3);
        } else {
            palette[2][k] = static_cast<std::uint8_t>((palette[0][k] + palette[1][k]) / 2);
            palette[3][k] = 0;
        }
    }
    palette[2][3] = 255;
    palette[3][3] = fourColors ? 255 : 0;
    const std::uint32_t indices = static_cast<std::uint32_t>(color[4]) | static_cast<std::uint32_t>(color[5]) << 8 |
                                  static_cast<std::uint32_t>(color[6]) << 16 | static_cast<std::uint32_t>(color[7]) << 24;
    for (int i = 0; i < 16; ++i) std::memcpy(texels[i], palette[indices >> (2 * i) & 3], 4);

    if (format == Format::Dxt3) {
        for (int i = 0; i < 16; ++i) texels[i][3] = static_cast<std::uint8_t>((block[i / 2] >> (4 * (i % 2)) & 15) * 17);
    } else if (format == Format::Dxt5) {
        const unsigned a0 = block[0], a1 = block[1];
        unsigned alpha[8] = {a0, a1};
        if (a0 > a1) {
            for (unsigned i = 1; i < 7; ++i) alpha[i + 1] = ((7 - i) * a0 + i * a1) / 7;
        } else {
            for (unsigned i = 1; i < 5; ++i) alpha[i + 1] = ((5 - i) * a0 + i * a1) / 5;
            alpha[6] = 0;
            alpha[7] = 255;
        }
        std::uint64_t bits = 0;
        for (int i = 0; i < 6; ++i) bits |= static_cast<std::uint64_t>(block[2 + i]) << (8 * i);
        for (int i = 0; i < 16; ++i) texels[i][3] = static_cast<std::uint8_t>(alpha[bits >> (3 * i) & 7]);
    }
}

}  // namespace

bool IsDds(const std::string& bytes) { return bytes.size() >= 4 && bytes.compare(0, 4, "DDS ") == 0; }

Result<DecodedImage> ReadDds(const std::string& bytes, std::uint32_t maxSize) {
    if (!IsDds(bytes) || bytes.size() < kHeaderEnd) return Failure("not a DDS file, or its header is cut short");
    if (Dword(bytes, 4) != 124 || Dword(bytes, 76) != 32) return Failure("the DDS header has the wrong size");
    const std::uint32_t flags = Dword(bytes, 8), height = Dword(bytes, 12), width = Dword(bytes, 16);
    const std::uint32_t pfFlags = Dword(bytes, 80), fourCc = Dword(bytes, 84), bits = Dword(bytes, 88);
    if (Dword(bytes, 112) & (kCubeMap | kVolume)) return Failure("cube and volume textures are not supported");
    if (width == 0 || height == 0) return Failure("the texture has no pixels");
    if (width > maxSize || height > maxSize)
        return Failure("the texture is " + std::to_string(width) + " x " + std::to_string(height) +
                       ", larger than the device's limit of " + std::to_string(maxSize));

    Format format = Format::Rgb;
    std::size_t bytesPerPixel = 0;
    if (pfFlags & kFourCc) {
        if (fourCc == FourCc("DXT1")) format = Format::Dxt1;
        else if (fourCc == FourCc("DXT2") || fourCc == FourCc("DXT3")) format = Format::Dxt3;
        else if (fourCc == FourCc("DXT4") || fourCc == FourCc("DXT5")) format = Format::Dxt5;
        else return Failure("unsupported DDS format '" + bytes.substr(84, 4) + "'");
    } else if ((pfFlags & kRgb) && (bits == 16 || bits == 24 || bits == 32)) {
        bytesPerPixel = bits / 8;
    } else {
        return Failure("unsupported DDS pixel format (" + std::to_string(bits) + " bits)");
    }

    std::uint32_t levels = (flags & kMipMapCountFlag) && Dword(bytes, 28) > 1 ? Dword(bytes, 28) : 1;
    std::uint32_t fullChain = 1;
    for (std::uint32_t size = width > height ? width : height; size > 1; size >>= 1) ++fullChain;
    if (levels > fullChain) levels = fullChain;

    // Every level's size is known from the header: check them all against the file before decoding.
    auto levelBytes = [&](std::uint32_t w, std::uint32_t h) -> std::uint64_t {
        if (format == Format::Rgb) return std::uint64_t{w} * h * bytesPerPixel;
        return std::uint64_t{(w + 3) / 4} * ((h + 3) / 4) * (format == Format::Dxt1 ? 8 : 16);
    };
    std::uint64_t needed = 0;
    for (std::uint32_t i = 0; i < levels; ++i) {
        const std::uint32_t w = width >> i ? width >> i : 1, h = height >> i ? height >> i : 1;
        needed += levelBytes(w, h);
    }
    if (needed > bytes.size() - kHeaderEnd)
        return Failure("the DDS file holds " + std::to_string(bytes.size() - kHeaderEnd) + " bytes of pixels, its header needs " +
                       std::to_string(needed));

    const Channel red(Dword(bytes, 92)), green(Dword(bytes, 96)), blue(Dword(bytes, 100)),
        alpha((pfFlags & kAlphaPixels) ? Dword(bytes, 104) : 0);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data()) + kHeaderEnd;
    DecodedImage out;
    for (std::uint32_t i = 0; i < levels; ++i) {
        DecodedLevel level;
        level.width = width >> i ? width >> i : 1;
        level.height = height >> i ? height >> i : 1;
        level.rgba.resize(std::size_t{level.width} * level.height * 4);
        if (format == Format::Rgb) {
            for (std::size_t p = 0; p < std::size_t{level.width} * level.height; ++p, data += bytesPerPixel) {
                std::uint32_t pixel = 0;
                std::memcpy(&pixel, data, bytesPerPixel);
                std::uint8_t* texel = &level.rgba[p * 4];
                texel[0] = red.Get(pixel, 0), texel[1] = green.Get(pixel, 0), texel[2] = blue.Get(pixel, 0);
                texel[3] = alpha.Get(pixel, 255);
            }
        } else {
            const std::size_t blockSize = format == Format::Dxt1 ? 8 : 16;
            for (std::uint32_t by = 0; by < level.height; by += 4)
                for (std::uint32_t bx = 0; bx < level.width; bx += 4, data += blockSize) {
                    std::uint8_t texels[16][4];
                    DecodeBlock(data, format, texels);
                    for (std::uint32_t y = 0; y < 4 && by + y < level.height; ++y)
                        for (std::uint32_t x = 0; x < 4 && bx + x < level.width; ++x)
                            std::memcpy(&level.rgba[((by + y) * std::size_t{level.width} + bx + x) * 4], texels[y * 4 + x], 4);
                }
        }
        out.levels.push_back(std::move(level));
    }
    return out;
}
