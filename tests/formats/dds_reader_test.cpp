// The DDS reader on files made in memory: every pixel format, cube maps, volumes and mip counts decode
// to the expected texels, and what is refused says why.
#include <gtest/gtest.h>

#include <vector>

#include "formats/texture/dds_reader.h"
#include "support/dds_file.h"

namespace {

using namespace std::string_literals;
using Texel = std::vector<int>;

DdsSpec Masks(std::uint32_t flags, std::uint32_t bits, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
    DdsSpec spec;
    spec.pixelFlags = flags, spec.bits = bits;
    spec.masks[0] = r, spec.masks[1] = g, spec.masks[2] = b, spec.masks[3] = a;
    return spec;
}

DdsSpec Numbered(std::uint32_t d3dFormat) {
    DdsSpec spec;
    spec.pixelFlags = 0x4, spec.fourCc = d3dFormat, spec.bits = 0;
    return spec;
}

DdsSpec Sized(DdsSpec spec, std::uint32_t width, std::uint32_t height, std::uint32_t mips) {
    spec.width = width, spec.height = height, spec.mips = mips;
    return spec;
}

struct Case {
    const char* name;
    std::string file;
    std::string format;  // or, when `levels` is empty, the reason the file is refused
    std::vector<Texel> levels = {};  // the first texel of each level
    std::string shape = "2D";
};

}  // namespace

TEST(DdsReader, DecodesEveryFormatAndShapeOrSaysWhyNot) {
    const DdsSpec l8 = Masks(0x20000, 8, 0xFF, 0, 0, 0);
    DdsSpec cube = Sized(l8, 2, 2, 2), volume = Sized(l8, 2, 2, 2), loose = Sized(l8, 4, 4, 3);
    cube.caps2 = 0x200 | 0xFC00;
    volume.caps2 = 0x200000, volume.depth = 2;
    loose.mipFlag = false;
    DdsSpec deep = volume;
    deep.depth = 0xFFFFFFFF, deep.mips = 1;
    std::string faces;
    for (char face = 0; face < 6; ++face) faces += std::string(4, static_cast<char>(10 + 2 * face)) + static_cast<char>(11 + 2 * face);

    const std::vector<Case> cases = {
        {"L8", MakeDds(l8, "\x80"), "L8", {{128, 128, 128, 255}}},
        {"L8 by number", MakeDds(Numbered(50), "\x40"), "L8", {{64, 64, 64, 255}}},
        {"A8L8", MakeDds(Masks(0x20001, 16, 0xFF, 0, 0, 0xFF00), "\x10\x80"), "A8L8", {{16, 16, 16, 128}}},
        {"A8L8 by number", MakeDds(Numbered(51), "\x10\x80"), "A8L8", {{16, 16, 16, 128}}},
        {"A8", MakeDds(Masks(0x2, 8, 0, 0, 0, 0xFF), "\x7F"), "A8", {{0, 0, 0, 127}}},
        {"A8 by number", MakeDds(Numbered(28), "\x7F"), "A8", {{0, 0, 0, 127}}},
        {"R5G6B5", MakeDds(Masks(0x40, 16, 0xF800, 0x7E0, 0x1F, 0), "\x1F\xF8"), "R5G6B5", {{255, 0, 255, 255}}},
        {"R5G6B5 by number", MakeDds(Numbered(23), "\xE0\x07"), "R5G6B5", {{0, 255, 0, 255}}},
        {"X1R5G5B5", MakeDds(Masks(0x40, 16, 0x7C00, 0x3E0, 0x1F, 0), "\x00\xFC"s), "X1R5G5B5", {{255, 0, 0, 255}}},
        {"X1R5G5B5 by number", MakeDds(Numbered(24), "\x1F\x80"), "X1R5G5B5", {{0, 0, 255, 255}}},
        {"A1R5G5B5", MakeDds(Masks(0x41, 16, 0x7C00, 0x3E0, 0x1F, 0x8000), "\xE0\x03"), "A1R5G5B5", {{0, 255, 0, 0}}},
        {"A1R5G5B5 by number", MakeDds(Numbered(25), "\x1F\x80"), "A1R5G5B5", {{0, 0, 255, 255}}},
        {"A4R4G4B4", MakeDds(Masks(0x41, 16, 0xF00, 0xF0, 0xF, 0xF000), "\xC0\x84"), "A4R4G4B4", {{68, 204, 0, 136}}},
        {"A4R4G4B4 by number", MakeDds(Numbered(26), "\xC0\x84"), "A4R4G4B4", {{68, 204, 0, 136}}},
        {"unnamed masks", MakeDds(Masks(0x40, 16, 0xF, 0xF0, 0xF00, 0), "\x0F\x00"s), "16-bit RGB", {{255, 0, 0, 255}}},
        {"cube map: the first face with its levels", MakeDds(cube, faces), "L8", {{10, 10, 10, 255}, {11, 11, 11, 255}},
         "cube map (first of 6 faces)"},
        {"volume: the first slice of each level", MakeDds(volume, std::string(4, '\x14') + std::string(4, '\x15') + "\x16"), "L8",
         {{20, 20, 20, 255}, {22, 22, 22, 255}}, "volume (first of 2 slices)"},
        {"mip count without its flag: the levels the file holds", MakeDds(loose, std::string(16, 'a') + std::string(4, 'b')),
         "L8", {{97, 97, 97, 255}, {98, 98, 98, 255}}},
        {"mip count with its flag: every level or nothing", MakeDds([&] { DdsSpec s = loose; s.mipFlag = true; return s; }(),
                                                                    std::string(20, 'a')),
         "the DDS file holds 20 bytes of pixels, its header needs 21"},
        {"cube map short of its last face", MakeDds(cube, faces.substr(0, 29)), "the DDS file holds 29 bytes of pixels, its header needs 30"},
        {"volume deeper than its file", MakeDds(deep, std::string(16, '\0')),
         "the DDS file holds 16 bytes of pixels, its header needs 17179869180"},
        {"a D3DFMT number not read", MakeDds(Numbered(113), ""), "unsupported DDS format A16B16G16R16F (fourCC 113)"},
        {"printable fourCC", MakeDds([] { DdsSpec s = Numbered(0); s.fourCc = FourCcOf("ATI2"); return s; }(), ""),
         "unsupported DDS format 'ATI2'"},
        {"unknown number", MakeDds(Numbered(153), ""), "unsupported DDS format (fourCC 153)"},
        {"no colour masks", MakeDds(Masks(0x40, 16, 0, 0, 0, 0), "xx"), "the DDS pixel format has no colour mask"},
        {"no pixel kind", MakeDds(Masks(0x0, 8, 0xFF, 0, 0, 0), "x"), "unsupported DDS pixel format (flags 0x00000000, 8 bits)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<DecodedImage> image = ReadDds(c.file, 8192);
        if (c.levels.empty()) {
            EXPECT_FALSE(image.ok);
            EXPECT_EQ(image.message, c.format);
            continue;
        }
        ASSERT_TRUE(image.ok) << image.message;
        EXPECT_EQ(image.value.format, c.format);
        EXPECT_EQ(image.value.shape, c.shape);
        std::vector<Texel> firsts;
        for (const DecodedLevel& level : image.value.levels) firsts.push_back(Texel(level.rgba.begin(), level.rgba.begin() + 4));
        EXPECT_EQ(firsts, c.levels);
    }
}
