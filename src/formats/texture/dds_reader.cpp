#include "formats/texture/dds_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::size_t kHeaderEnd = 128;  // "DDS " and the 124-byte header
constexpr std::uint32_t kMipMapCountFlag = 0x20000;
constexpr std::uint32_t kAlphaPixels = 0x1, kAlphaOnly = 0x2, kFourCc = 0x4, kRgb = 0x40, kLuminance = 0x20000;
constexpr std::uint32_t kCubeMap = 0x200, kCubeFaces = 0xFC00, kVolume = 0x200000;

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

enum class Format { Dxt1, Dxt3, Dxt5, Masks };
// What the colour channels of an uncompressed pixel hold.
enum class Channels { Rgb, Luminance, AlphaOnly };

// An uncompressed pixel format: its size, its channel masks, and its D3DFMT name and number.
struct PixelFormat {
    const char* name;
    std::uint32_t d3dFormat;
    std::uint32_t bits;
    Channels channels;
    std::uint32_t red, green, blue, alpha;  // for Luminance, `red` is the luminance
};

constexpr PixelFormat kPixelFormats[] = {
    {"R8G8B8", 20, 24, Channels::Rgb, 0xFF0000, 0xFF00, 0xFF, 0},
    {"A8R8G8B8", 21, 32, Channels::Rgb, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    {"X8R8G8B8", 22, 32, Channels::Rgb, 0xFF0000, 0xFF00, 0xFF, 0},
    {"R5G6B5", 23, 16, Channels::Rgb, 0xF800, 0x07E0, 0x1F, 0},
    {"X1R5G5B5", 24, 16, Channels::Rgb, 0x7C00, 0x03E0, 0x1F, 0},
    {"A1R5G5B5", 25, 16, Channels::Rgb, 0x7C00, 0x03E0, 0x1F, 0x8000},
    {"A4R4G4B4", 26, 16, Channels::Rgb, 0x0F00, 0xF0, 0xF, 0xF000},
    {"A8", 28, 8, Channels::AlphaOnly, 0, 0, 0, 0xFF},
    {"X4R4G4B4", 30, 16, Channels::Rgb, 0x0F00, 0xF0, 0xF, 0},
    {"A8B8G8R8", 32, 32, Channels::Rgb, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
    {"X8B8G8R8", 33, 32, Channels::Rgb, 0xFF, 0xFF00, 0xFF0000, 0},
    {"L8", 50, 8, Channels::Luminance, 0xFF, 0, 0, 0},
    {"A8L8", 51, 16, Channels::Luminance, 0xFF, 0, 0, 0xFF00},
    {"A4L4", 52, 8, Channels::Luminance, 0xF, 0, 0, 0xF0},
};

// D3DFMT numbers a writer may put in the fourCC field that are not read, named for the message.
struct FormatName {
    std::uint32_t d3dFormat;
    const char* name;
};
constexpr FormatName kOtherFormats[] = {
    {27, "R3G3B2"},        {29, "A8R3G3B2"},       {31, "A2B10G10R10"},   {34, "G16R16"},
    {35, "A2R10G10B10"},   {36, "A16B16G16R16"},   {40, "A8P8"},          {41, "P8"},
    {60, "V8U8"},          {61, "L6V5U5"},         {62, "X8L8V8U8"},      {63, "Q8W8V8U8"},
    {64, "V16U16"},        {67, "A2W10V10U10"},    {70, "D16_LOCKABLE"},  {71, "D32"},
    {73, "D15S1"},         {75, "D24S8"},          {77, "D24X8"},         {79, "D24X4S4"},
    {80, "D16"},           {81, "L16"},            {82, "D32F_LOCKABLE"}, {83, "D24FS8"},
    {110, "Q16W16V16U16"}, {111, "R16F"},          {112, "G16R16F"},      {113, "A16B16G16R16F"},
    {114, "R32F"},         {115, "G32R32F"},       {116, "A32B32G32R32F"}, {117, "CxV8U8"},
    {118, "A1"},
};

// The pixel format a header's masks describe: the D3DFMT one they match, else one of their own.
PixelFormat FromMasks(std::uint32_t bits, Channels channels, std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                      std::uint32_t alpha) {
    if (channels != Channels::Rgb) green = blue = 0;
    if (channels == Channels::AlphaOnly) red = 0;
    for (const PixelFormat& known : kPixelFormats)
        if (known.bits == bits && known.channels == channels && known.red == red && known.green == green &&
            known.blue == blue && known.alpha == alpha)
            return known;
    const char* name = channels == Channels::Rgb ? "RGB" : channels == Channels::Luminance ? "luminance" : "alpha";
    return {name, 0, bits, channels, red, green, blue, alpha};
}

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

// Sizes a hostile header may push past 64 bits stop at the largest value instead of wrapping around.
constexpr std::uint64_t kCountless = ~std::uint64_t{0};
std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b) { return b && a > kCountless / b ? kCountless : a * b; }
std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) { return a > kCountless - b ? kCountless : a + b; }

// The pixel layout of a header: block-compressed, or uncompressed with its masks; or why it is refused.
struct Layout {
    Format format = Format::Masks;
    PixelFormat pixels{};
    std::string name;

    // Bytes of one w x h image (a level, or one face or slice of it).
    std::uint64_t Bytes(std::uint32_t w, std::uint32_t h) const {
        if (format == Format::Masks) return SaturatingProduct(std::uint64_t{w} * h, pixels.bits / 8);
        return std::uint64_t{(w + 3) / 4} * ((h + 3) / 4) * (format == Format::Dxt1 ? 8 : 16);
    }
};

Result<Layout> ReadLayout(const std::string& bytes) {
    const std::uint32_t pfFlags = Dword(bytes, 80), fourCc = Dword(bytes, 84), bits = Dword(bytes, 88);
    Layout layout;
    if (pfFlags & kFourCc) {
        if (fourCc == FourCc("DXT1")) layout.format = Format::Dxt1;
        else if (fourCc == FourCc("DXT2") || fourCc == FourCc("DXT3")) layout.format = Format::Dxt3;
        else if (fourCc == FourCc("DXT4") || fourCc == FourCc("DXT5")) layout.format = Format::Dxt5;
        if (layout.format != Format::Masks) {
            layout.name = bytes.substr(84, 4);
            return layout;
        }
        // Some writers give an uncompressed format by its D3DFMT number instead of by masks.
        for (const PixelFormat& known : kPixelFormats)
            if (known.d3dFormat == fourCc) {
                layout.pixels = known;
                layout.name = known.name;
                return layout;
            }
        return Failure("unsupported DDS format " + DdsFourCcName(fourCc));
    }
    const Channels channels = (pfFlags & kRgb)         ? Channels::Rgb
                              : (pfFlags & kLuminance) ? Channels::Luminance
                              : (pfFlags & kAlphaOnly) ? Channels::AlphaOnly
                                                       : Channels::Rgb;
    if (!(pfFlags & (kRgb | kLuminance | kAlphaOnly)) || !(bits == 8 || bits == 16 || bits == 24 || bits == 32))
        return Failure("unsupported DDS pixel format (flags 0x" + [&] {
                   static const char digits[] = "0123456789ABCDEF";
                   std::string hex;
                   for (int shift = 28; shift >= 0; shift -= 4) hex += digits[pfFlags >> shift & 15];
                   return hex;
               }() + ", " + std::to_string(bits) + " bits)");
    const std::uint32_t alphaMask = (pfFlags & (kAlphaPixels | kAlphaOnly)) ? Dword(bytes, 104) : 0;
    layout.pixels = FromMasks(bits, channels, Dword(bytes, 92), Dword(bytes, 96), Dword(bytes, 100), alphaMask);
    if (channels == Channels::AlphaOnly ? !layout.pixels.alpha : !(layout.pixels.red | layout.pixels.green | layout.pixels.blue))
        return Failure(std::string("the DDS pixel format has no ") + (channels == Channels::AlphaOnly ? "alpha" : "colour") + " mask");
    layout.name = layout.pixels.d3dFormat ? std::string(layout.pixels.name)
                                          : std::to_string(bits) + "-bit " + layout.pixels.name;
    return layout;
}

DecodedLevel DecodeLevel(const unsigned char* data, const Layout& layout, std::uint32_t width, std::uint32_t height) {
    DecodedLevel level;
    level.width = width;
    level.height = height;
    level.rgba.resize(std::size_t{width} * height * 4);
    if (layout.format == Format::Masks) {
        const PixelFormat& f = layout.pixels;
        const Channel red(f.red), green(f.green), blue(f.blue), alpha(f.alpha);
        const std::size_t bytesPerPixel = f.bits / 8;
        for (std::size_t p = 0; p < std::size_t{width} * height; ++p, data += bytesPerPixel) {
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, data, bytesPerPixel);
            std::uint8_t* texel = &level.rgba[p * 4];
            if (f.channels == Channels::Luminance) {
                texel[0] = texel[1] = texel[2] = red.Get(pixel, 0);
            } else {  // an alpha-only format has no colour: black, as the device samples it
                texel[0] = red.Get(pixel, 0), texel[1] = green.Get(pixel, 0), texel[2] = blue.Get(pixel, 0);
            }
            texel[3] = alpha.Get(pixel, 255);
        }
        return level;
    }
    const std::size_t blockSize = layout.format == Format::Dxt1 ? 8 : 16;
    for (std::uint32_t by = 0; by < height; by += 4)
        for (std::uint32_t bx = 0; bx < width; bx += 4, data += blockSize) {
            std::uint8_t texels[16][4];
            DecodeBlock(data, layout.format, texels);
            for (std::uint32_t y = 0; y < 4 && by + y < height; ++y)
                for (std::uint32_t x = 0; x < 4 && bx + x < width; ++x)
                    std::memcpy(&level.rgba[((by + y) * std::size_t{width} + bx + x) * 4], texels[y * 4 + x], 4);
        }
    return level;
}

std::uint32_t Half(std::uint32_t size, std::uint32_t times) { return size >> times ? size >> times : 1; }

}  // namespace

std::string DdsFourCcName(std::uint32_t fourCc) {
    for (const FormatName& known : kOtherFormats)
        if (known.d3dFormat == fourCc) return std::string(known.name) + " (fourCC " + std::to_string(fourCc) + ")";
    for (const PixelFormat& known : kPixelFormats)
        if (known.d3dFormat == fourCc) return std::string(known.name) + " (fourCC " + std::to_string(fourCc) + ")";
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(fourCc >> (8 * i));
        if (c < 0x20 || c > 0x7E) return "(fourCC " + std::to_string(fourCc) + ")";
        text += static_cast<char>(c);
    }
    return "'" + text + "'";
}

bool IsDds(const std::string& bytes) { return bytes.size() >= 4 && bytes.compare(0, 4, "DDS ") == 0; }

Result<DecodedImage> ReadDds(const std::string& bytes, std::uint32_t maxSize) {
    if (!IsDds(bytes) || bytes.size() < kHeaderEnd) return Failure("not a DDS file, or its header is cut short");
    if (Dword(bytes, 4) != 124 || Dword(bytes, 76) != 32) return Failure("the DDS header has the wrong size");
    const std::uint32_t flags = Dword(bytes, 8), height = Dword(bytes, 12), width = Dword(bytes, 16);
    const std::uint32_t caps2 = Dword(bytes, 112);
    if (width == 0 || height == 0) return Failure("the texture has no pixels");
    if (width > maxSize || height > maxSize)
        return Failure("the texture is " + std::to_string(width) + " x " + std::to_string(height) +
                       ", larger than the device's limit of " + std::to_string(maxSize));
    const Result<Layout> read = ReadLayout(bytes);
    if (!read.ok) return read;
    const Layout& layout = read.value;

    // A cube map stores its faces one after the other, each with all its levels; a volume stores each
    // level's slices one after the other. Either way only the first face or slice of each level is used.
    const bool volume = (caps2 & kVolume) != 0, cube = !volume && (caps2 & kCubeMap);
    const std::uint32_t faces = cube ? static_cast<std::uint32_t>(std::popcount(caps2 & kCubeFaces)) : 1;
    const std::uint32_t depth = volume && Dword(bytes, 24) ? Dword(bytes, 24) : 1;
    if (faces == 0) return Failure("the DDS cube map lists none of its faces");

    const std::uint32_t count = Dword(bytes, 28);
    std::uint32_t levels = count > 1 ? count : 1;
    std::uint32_t fullChain = 1;
    for (std::uint32_t size = std::max({width, height, depth}); size > 1; size >>= 1) ++fullChain;
    if (levels > fullChain) levels = fullChain;

    // Every byte the header promises is checked against the file before anything is decoded.
    const std::uint64_t available = bytes.size() - kHeaderEnd;
    auto needed = [&](std::uint32_t levelCount) {
        std::uint64_t chain = 0;
        for (std::uint32_t i = 0; i < levelCount; ++i)
            chain = SaturatingSum(chain, SaturatingProduct(layout.Bytes(Half(width, i), Half(height, i)), Half(depth, i)));
        return SaturatingProduct(chain, faces);
    };
    if (!(flags & kMipMapCountFlag))
        while (levels > 1 && needed(levels) > available) --levels;
    const std::uint64_t total = needed(levels);
    if (total > available)
        return Failure("the DDS file holds " + std::to_string(available) + " bytes of pixels, its header needs " +
                       std::to_string(total) + (total == kCountless ? " or more" : ""));

    DecodedImage out;
    out.format = layout.name;
    if (cube) out.shape = "cube map (first of " + std::to_string(faces) + " faces)";
    if (volume) out.shape = "volume (first of " + std::to_string(depth) + " slices)";
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data()) + kHeaderEnd;
    for (std::uint32_t i = 0; i < levels; ++i) {
        const std::uint32_t w = Half(width, i), h = Half(height, i);
        out.levels.push_back(DecodeLevel(data, layout, w, h));
        data += layout.Bytes(w, h) * Half(depth, i);
    }
    return out;
}
