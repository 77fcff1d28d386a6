// D3DXCreateTextureFromFileA: decoded pixels reach the device as RGBA rows, top row first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/headless/recording_device.h"
#include "d3d/texture_loader.h"
#include "support/temp_dir.h"

namespace {

// A recording device that also keeps the pixels of the last texture created.
class CPixelDevice : public CRecordingDevice {
public:
    HRESULT CreateTextureFromPixels(UINT width, UINT height, const BYTE* rgba, IDirect3DTexture9** texture) override {
        pixels.assign(rgba, rgba + std::size_t(width) * height * 4);
        return CRecordingDevice::CreateTextureFromPixels(width, height, rgba, texture);
    }
    HRESULT CreateTextureFromLevels(UINT width, UINT height, UINT count, const BYTE* const* rgba,
                                    IDirect3DTexture9** texture) override {
        levels.clear();
        for (UINT i = 0; i < count; ++i)
            levels.emplace_back(rgba[i], rgba[i] + std::size_t(std::max(width >> i, 1u)) * std::max(height >> i, 1u) * 4);
        return CRecordingDevice::CreateTextureFromLevels(width, height, count, rgba, texture);
    }
    std::vector<BYTE> pixels;
    std::vector<std::vector<BYTE>> levels;
};

// A 2 x 2, 24-bit BMP: rows are stored bottom-up as blue, green, red, padded to four bytes.
std::string Bmp() {
    std::string b = "BM";
    auto dword = [&](std::uint32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    auto word = [&](std::uint16_t v) { b.append(reinterpret_cast<const char*>(&v), 2); };
    dword(54 + 16), dword(0), dword(54);
    dword(40), dword(2), dword(2), word(1), word(24), dword(0), dword(16), dword(2835), dword(2835), dword(0), dword(0);
    // bottom row: blue, white; top row: red, green
    b += std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8);
    b += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);
    return b;
}

}  // namespace

TEST(TextureLoader, DecodesToRgbaRowsTopFirst) {
    TempDir dir;
    auto* device = new CPixelDevice();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, dir.Write("t.bmp", Bmp()).c_str(), &texture), S_OK);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetWidth(), 2u);
    EXPECT_EQ(texture->GetHeight(), 2u);
    const std::vector<BYTE> expected = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    EXPECT_EQ(device->pixels, expected);
    texture->Release();
    EXPECT_EQ(device->LiveTextures(), 0);
    device->Release();
}

TEST(TextureLoader, ReadsTheSamplePngsAndWindowsPaths) {
    auto* device = new CRecordingDevice();
    for (const char* name : {"crate", "brick", "grass", "stone"}) {
        std::string path = (SourceDir() / "Data" / "texture").string() + "\\" + name + ".png";
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileA(device, path.c_str(), &texture), S_OK) << path;
        EXPECT_EQ(texture->GetWidth(), 64u);
        texture->Release();
    }
    device->Release();
}

TEST(TextureLoader, UnusableFilesGiveNoTexture) {
    TempDir dir;
    auto* device = new CRecordingDevice();
    for (const std::string& path : {dir.Write("bad.png", "\x89PNG but not really").string(),
                                    dir.Write("empty.png", "").string(), (dir.Path() / "missing.png").string()}) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileA(device, path.c_str(), &texture))) << path;
        EXPECT_EQ(texture, nullptr);
    }
    EXPECT_EQ(device->LiveTextures(), 0);
    IDirect3DTexture9* texture = nullptr;
    EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileA(nullptr, dir.Write("t.bmp", Bmp()).c_str(), &texture)));
    EXPECT_EQ(texture, nullptr);
    device->Release();
}

namespace {

// A DDS file: the 128-byte header, then `data`. `fourCc` empty for an uncompressed format with masks.
std::string Dds(std::uint32_t width, std::uint32_t height, std::uint32_t mips, const char* fourCc, std::uint32_t bits,
                std::vector<std::uint32_t> masks, const std::string& data) {
    std::uint32_t h[32] = {124, 0x1007u | (mips > 1 ? 0x20000u : 0u), height, width, 0, 0, mips};
    h[18] = 32;
    h[19] = *fourCc ? 0x4u : (masks[3] ? 0x41u : 0x40u);
    if (*fourCc) std::memcpy(&h[20], fourCc, 4);
    h[21] = bits;
    for (int i = 0; i < 4; ++i) h[22 + i] = masks[static_cast<std::size_t>(i)];
    return "DDS " + std::string(reinterpret_cast<const char*>(h), 124) + data;
}

std::string Dxt1Block(std::uint16_t c0, std::uint16_t c1, std::uint32_t indices) {
    std::string b(8, '\0');
    std::memcpy(&b[0], &c0, 2), std::memcpy(&b[2], &c1, 2), std::memcpy(&b[4], &indices, 4);
    return b;
}

std::vector<BYTE> Texel(const std::vector<BYTE>& rgba, std::size_t i) { return {rgba.begin() + i * 4, rgba.begin() + i * 4 + 4}; }

}  // namespace

TEST(TextureLoader, DecodesDdsBlocksUncompressedFormatsMipLevelsAndRleBmps) {
    TempDir dir;
    auto* device = new CPixelDevice();
    IDirect3DTexture9* texture = nullptr;
    std::string error;
    // DXT1 8 x 8 with three levels: level 0 red / green halves by index, level 1 the 3-colour mode's
    // transparent black, level 2 blue.
    const std::string level0 = Dxt1Block(0xF800, 0x07E0, 0x00000000) + Dxt1Block(0xF800, 0x07E0, 0x55555555) +
                               Dxt1Block(0xF800, 0x07E0, 0xAAAAAAAA) + Dxt1Block(0xF800, 0x07E0, 0xFFFFFFFF);
    const std::string dxt1 = Dds(8, 8, 3, "DXT1", 0, {0, 0, 0, 0},
                                 level0 + Dxt1Block(0x0000, 0xFFFF, 0xFFFFFFFF) + Dxt1Block(0x001F, 0x001F, 0));
    ASSERT_EQ(LoadTextureFromFile(device, dir.Write("a.dds", dxt1).c_str(), &texture, &error), S_OK) << error;
    ASSERT_EQ(device->levels.size(), 3u);
    EXPECT_EQ(Texel(device->levels[0], 0), (std::vector<BYTE>{255, 0, 0, 255}));
    EXPECT_EQ(Texel(device->levels[0], 4), (std::vector<BYTE>{0, 255, 0, 255}));
    EXPECT_EQ(Texel(device->levels[0], 32), (std::vector<BYTE>{170, 85, 0, 255}));  // two thirds red
    EXPECT_EQ(Texel(device->levels[1], 0), (std::vector<BYTE>{0, 0, 0, 0}));
    EXPECT_EQ(Texel(device->levels[2], 0), (std::vector<BYTE>{0, 0, 255, 255}));
    texture->Release();

    // DXT5: interpolated alpha (index 2 between 255 and 0 is 6/7 of 255), colours always in four-colour mode.
    std::string alpha("\xFF\x00\x92\x24\x49\x92\x24\x49", 8);
    ASSERT_EQ(LoadTextureFromFile(device, dir.Write("b.dds", Dds(4, 4, 1, "DXT5", 0, {0, 0, 0, 0}, alpha + Dxt1Block(0x001F, 0xF800, 0))).c_str(),
                                  &texture, &error), S_OK) << error;
    EXPECT_EQ(Texel(device->pixels, 0), (std::vector<BYTE>{0, 0, 255, 218}));
    texture->Release();

    // A8R8G8B8, X8R8G8B8 (no alpha mask: opaque), R8G8B8 and R5G6B5.
    const std::string argb("\x30\x20\x10\x80", 4);
    ASSERT_EQ(LoadTextureFromFile(device, dir.Write("c.dds", Dds(1, 1, 1, "", 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, argb)).c_str(), &texture, &error), S_OK) << error;
    EXPECT_EQ(device->pixels, (std::vector<BYTE>{0x10, 0x20, 0x30, 0x80}));
    texture->Release();
    ASSERT_EQ(LoadTextureFromFile(device, dir.Write("d.dds", Dds(1, 1, 1, "", 32, {0xFF0000, 0xFF00, 0xFF, 0}, argb)).c_str(), &texture, &error), S_OK);
    EXPECT_EQ(device->pixels, (std::vector<BYTE>{0x10, 0x20, 0x30, 0xFF}));
    texture->Release();
    ASSERT_EQ(LoadTextureFromFile(device, dir.Write("e.dds", Dds(1, 1, 1, "", 24, {0xFF0000, 0xFF00, 0xFF, 0}, argb.substr(0, 3))).c_str(), &texture, &error), S_OK);
    EXPECT_EQ(device->pixels, (std::vector<BYTE>{0x10, 0x20, 0x30, 0xFF}));
    texture->Release();
    ASSERT_EQ(LoadTextureFromFile(device, dir.Write("f.dds", Dds(1, 1, 1, "", 16, {0xF800, 0x07E0, 0x1F, 0}, "\x1F\xF8")).c_str(), &texture, &error), S_OK);
    EXPECT_EQ(device->pixels, (std::vector<BYTE>{255, 0, 255, 0xFF}));
    texture->Release();

    // RLE8, 3 x 2, bottom row first: a run of two palette-1 pixels, end of row; a literal run of three.
    std::string bmp = "BM";
    auto dword = [&](std::uint32_t v) { bmp.append(reinterpret_cast<const char*>(&v), 4); };
    auto word = [&](std::uint16_t v) { bmp.append(reinterpret_cast<const char*>(&v), 2); };
    dword(0), dword(0), dword(14 + 40 + 8);
    dword(40), dword(3), dword(2), word(1), word(8), dword(1), dword(0), dword(0), dword(0), dword(2), dword(0);
    bmp += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);  // red, blue
    bmp += std::string("\x02\x01\x00\x00\x00\x03\x01\x00\x01\x00\x00\x01", 12);
    ASSERT_EQ(LoadTextureFromFile(device, dir.Write("g.bmp", bmp).c_str(), &texture, &error), S_OK) << error;
    EXPECT_EQ(device->pixels, (std::vector<BYTE>{0, 0, 255, 255, 255, 0, 0, 255, 0, 0, 255, 255,    // top row
                                                 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 0, 255}));  // never set: black
    texture->Release();
    device->Release();
}

TEST(TextureLoader, RefusesSizesTheBytesOrTheDeviceCannotHoldBeforeDecoding) {
    TempDir dir;
    auto* device = new CPixelDevice();
    std::string tga(18, '\0');
    tga[2] = 2, tga[12] = '\x20', tga[13] = '\x4E', tga[14] = '\x20', tga[15] = '\x4E', tga[16] = 32;  // 20000 x 20000
    tga += std::string(16, '\xFF');
    std::string small = tga;
    small[12] = small[14] = 0, small[13] = small[15] = 4;  // 1024 x 1024 in 34 bytes
    const std::vector<std::pair<std::string, std::string>> cases = {
        {dir.Write("huge.tga", tga).string(), "the texture is 20000 x 20000, larger than the device's limit of 8192"},
        {dir.Write("short.tga", small).string(), "the header claims 1024 x 1024 pixels, more than the file's 34 bytes can hold"},
        {dir.Write("short.dds", Dds(16, 16, 2, "DXT1", 0, {0, 0, 0, 0}, std::string(128, '\0'))).string(),
         "the DDS file holds 128 bytes of pixels, its header needs 160"},
        {dir.Write("cube/", "").string(), "not a regular file (a directory)"},
    };
    for (const auto& [path, reason] : cases) {
        IDirect3DTexture9* texture = nullptr;
        std::string error;
        EXPECT_EQ(LoadTextureFromFile(device, path.c_str(), &texture, &error), E_FAIL) << path;
        EXPECT_EQ(error, reason);
        EXPECT_EQ(texture, nullptr);
    }
    EXPECT_EQ(device->LiveTextures(), 0);
    device->Release();
}

TEST(TextureLoader, AnImageOutOfProportionToItsFileIsRefusedBeforeItIsDecoded) {
    // A grey 8192 x 8192 PNG header in 70 KB: enough bytes for deflate's best packing, but 256 MB of pixels.
    std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x20\0\0\0\x20\0\x08\0\0\0\0crc!", 33);
    png.resize(70000, '\0');
    TempDir dir;
    auto* device = new CRecordingDevice();
    IDirect3DTexture9* texture = nullptr;
    std::string error;
    EXPECT_EQ(LoadTextureFromFile(device, dir.Write("flat.png", png).c_str(), &texture, &error), E_FAIL);
    EXPECT_EQ(error, "the texture would decode to 256 MB, more than 256 times its file of 70000 bytes");
    device->Release();
}
