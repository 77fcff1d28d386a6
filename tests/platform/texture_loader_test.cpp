// D3DXCreateTextureFromFileA: decoded pixels reach the device as RGBA rows, top row first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/recording_device.h"
#include "support/temp_dir.h"

namespace {

// A recording device that also keeps the pixels of the last texture created.
class CPixelDevice : public CRecordingDevice {
public:
    HRESULT CreateTextureFromPixels(UINT width, UINT height, const BYTE* rgba, IDirect3DTexture9** texture) override {
        pixels.assign(rgba, rgba + std::size_t(width) * height * 4);
        return CRecordingDevice::CreateTextureFromPixels(width, height, rgba, texture);
    }
    std::vector<BYTE> pixels;
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
