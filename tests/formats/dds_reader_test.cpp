// The DDS reader on files made in memory: every pixel format, cube maps, volumes and mip counts decode
// to the expected texels, and what is refused says why.
#include <gtest/gtest.h>

#include <vector>

#include "formats/texture/dds_reader.h"
#include "support/dds_file.h"

TEST(DdsReader, DecodesEveryFormatAndShapeOrSaysWhyNot) {
    using namespace std::string_literals;
    using Texel = std::vector<int>;
    const DdsLayout l8{.pixelFlags = 0x20000, .bits = 8, .masks = {0xFF}};
    auto number = [](std::uint32_t d3dFormat) { return DdsLayout{.pixelFlags = 0x4, .fourCc = d3dFormat, .bits = 0}; };
    auto rgb16 = [](std::uint32_t flags, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
        return DdsLayout{.pixelFlags = flags, .bits = 16, .masks = {r, g, b, a}};
    };
    const DdsLayout cube{2, 2, 2, true, 0xFE00, 0, 0x20000, 0, 8, {0xFF}}, volume{2, 2, 2, true, 0x200000, 2, 0x20000, 0, 8, {0xFF}};
    const DdsLayout loose{4, 4, 3, false, 0, 0, 0x20000, 0, 8, {0xFF}}, flagged{4, 4, 3, true, 0, 0, 0x20000, 0, 8, {0xFF}};
    const DdsLayout deep{2, 2, 1, true, 0x200000, 0xFFFFFFFF, 0x20000, 0, 8, {0xFF}};
    std::string faces;  // face k: level 0 of 10 + 2k, level 1 of 11 + 2k
    for (char face = 0; face < 6; ++face) faces += std::string(4, static_cast<char>(10 + 2 * face)) + static_cast<char>(11 + 2 * face);

    const struct {
        const char* name;
        std::string file;
        std::string format;           // or, when `levels` is empty, the reason the file is refused
        std::vector<Texel> levels{};  // the first texel of each level
        std::string shape = "2D";
    } cases[] = {
        {"L8", MakeDds(l8, "\x80"), "L8", {{128, 128, 128, 255}}},
        {"L8 by number", MakeDds(number(50), "\x40"), "L8", {{64, 64, 64, 255}}},
        {"A8L8", MakeDds({.pixelFlags = 0x20001, .bits = 16, .masks = {0xFF, 0, 0, 0xFF00}}, "\x10\x80"), "A8L8", {{16, 16, 16, 128}}},
        {"A8L8 by number", MakeDds(number(51), "\x10\x80"), "A8L8", {{16, 16, 16, 128}}},
        {"A8", MakeDds({.pixelFlags = 0x2, .bits = 8, .masks = {0, 0, 0, 0xFF}}, "\x7F"), "A8", {{0, 0, 0, 127}}},
        {"A8 by number", MakeDds(number(28), "\x7F"), "A8", {{0, 0, 0, 127}}},
        {"R5G6B5", MakeDds(rgb16(0x40, 0xF800, 0x7E0, 0x1F, 0), "\x1F\xF8"), "R5G6B5", {{255, 0, 255, 255}}},
        {"R5G6B5 by number", MakeDds(number(23), "\xE0\x07"), "R5G6B5", {{0, 255, 0, 255}}},
        {"X1R5G5B5", MakeDds(rgb16(0x40, 0x7C00, 0x3E0, 0x1F, 0), "\x00\xFC"s), "X1R5G5B5", {{255, 0, 0, 255}}},
        {"A1R5G5B5", MakeDds(rgb16(0x41, 0x7C00, 0x3E0, 0x1F, 0x8000), "\xE0\x03"), "A1R5G5B5", {{0, 255, 0, 0}}},
        {"A1R5G5B5 by number", MakeDds(number(25), "\x1F\x80"), "A1R5G5B5", {{0, 0, 255, 255}}},
        {"A4R4G4B4", MakeDds(rgb16(0x41, 0xF00, 0xF0, 0xF, 0xF000), "\xC0\x84"), "A4R4G4B4", {{68, 204, 0, 136}}},
        {"unnamed masks", MakeDds(rgb16(0x40, 0xF, 0xF0, 0xF00, 0), "\x0F\x00"s), "16-bit RGB", {{255, 0, 0, 255}}},
        {"cube map: the first face with its levels", MakeDds(cube, faces), "L8", {{10, 10, 10, 255}, {11, 11, 11, 255}},
         "cube map (first of 6 faces)"},
        {"volume: the first slice of each level", MakeDds(volume, "\x14\x14\x14\x14\x15\x15\x15\x15\x16"), "L8",
         {{20, 20, 20, 255}, {22, 22, 22, 255}}, "volume (first of 2 slices)"},
        {"mip count without its flag: the levels the file holds", MakeDds(loose, std::string(16, 'a') + "bbbb"), "L8",
         {{97, 97, 97, 255}, {98, 98, 98, 255}}},
        {"mip count with its flag: every level", MakeDds(flagged, std::string(20, 'a')), "the DDS file holds 20 bytes of pixels, its header needs 21"},
        {"cube map short of its last face", MakeDds(cube, faces.substr(0, 29)), "the DDS file holds 29 bytes of pixels, its header needs 30"},
        {"volume deeper than its file", MakeDds(deep, "1234"), "the DDS file holds 4 bytes of pixels, its header needs 17179869180"},
        {"a D3DFMT number not read", MakeDds(number(113), ""), "unsupported DDS format A16B16G16R16F (fourCC 113)"},
        {"printable fourCC", MakeDds(number(FourCcOf("ATI2")), ""), "unsupported DDS format 'ATI2'"},
        {"unknown number", MakeDds(number(153), ""), "unsupported DDS format (fourCC 153)"},
        {"no colour masks", MakeDds(rgb16(0x40, 0, 0, 0, 0), "xx"), "the DDS pixel format has no colour mask"},
        {"no pixel kind", MakeDds({.pixelFlags = 0, .bits = 8}, "x"), "unsupported DDS pixel format (flags 0x00000000, 8 bits)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<DecodedImage> image = ReadDds(c.file, 8192);
        ASSERT_EQ(image.ok, !c.levels.empty()) << image.message;
        EXPECT_EQ(image.ok ? image.value.format : image.message, c.format);
        if (!image.ok) continue;
        EXPECT_EQ(image.value.shape, c.shape);
        std::vector<Texel> firsts;
        for (const DecodedLevel& level : image.value.levels) firsts.push_back(Texel(level.rgba.begin(), level.rgba.begin() + 4));
        EXPECT_EQ(firsts, c.levels);
    }
}
