// In the real window on the virtual X server: a texture file painted over while the editor runs shows its
// new colour on the placed object, without a restart.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "x_tools.h"

namespace {

// A square 24-bit BMP of one colour.
std::string SolidBmp(int side, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::uint32_t row = (static_cast<std::uint32_t>(side) * 3 + 3) / 4 * 4, pixels = row * side;
    std::string bmp;
    auto put = [&bmp](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) bmp.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    bmp += "BM";
    put(54 + pixels, 4), put(0, 4), put(54, 4);
    put(40, 4), put(side, 4), put(side, 4), put(1, 2), put(24, 2), put(0, 4), put(pixels, 4), put(2835, 4),
        put(2835, 4), put(0, 4), put(0, 4);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) put(b | (g << 8) | (r << 16), 3);
        bmp.append(row - static_cast<std::uint32_t>(side) * 3, '\0');
    }
    return bmp;
}

// Whether a pixel of a screenshot is mostly of the colour channel (0 red, 1 green, 2 blue): the light
// darkens the texture's colour but keeps its hue.
::testing::AssertionResult PixelIs(const std::filesystem::path& shot, int x, int y, int channel) {
    const std::string seen = Shell("convert " + shot.string() + " -crop 1x1+" + std::to_string(x) + "+" +
                                   std::to_string(y) + " -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:");
    int got[3] = {-1, -1, -1};
    std::sscanf(seen.c_str(), "%d %d %d", &got[0], &got[1], &got[2]);
    for (int c = 0; c < 3; ++c)
        if (c != channel && !(got[channel] > 2 * got[c] + 20)) return ::testing::AssertionFailure() << "the pixel is " << seen;
    return ::testing::AssertionSuccess();
}

TEST(ReloadWindow, ATexturePaintedOverWhileTheEditorRunsShowsItsNewColour) {
    TempDir folder;
    folder.Write("Data/FILE/model.json", R"({"MODEL": [["SPHERE", "Data/model/cube.x"], ["BOX", "Data/model/cube.x"]]})");
    // The sample crate, its texture our own file.
    std::string crate = TempDir::Read(SourceDir() / "Data/model/crate.x");
    const std::string sampleTexture = "Data/texture/crate.png";
    ASSERT_NE(crate.find(sampleTexture), std::string::npos);
    crate.replace(crate.find(sampleTexture), sampleTexture.size(), "Data/texture/paint.bmp");
    folder.Write("Data/model/cube.x", crate);
    folder.Write("Data/texture/paint.bmp", SolidBmp(4, 230, 20, 20));
    folder.Write("Data/FILE/texture.json", R"({"TEXTURE": []})");
    folder.Write("Data/FILE/shader.json", R"({"SHADER": []})");
    // The camera looks at (0, 10, 0) from the start: the crate, five times its size, fills the middle of
    // the view, its lit top face around (640, 225).
    folder.Write("Data/FILE/stage.txt", "Tag : TEST\nIndex : 0\nPos : 0 , 10 , 0\nRot : 0 , 0 , 0\n"
                                        "Scale : 5 , 5 , 5\nModelLabel : BOX\nObjectLabel : \n");
    const pid_t editor = StartEditorIn(folder.Path(), {"Data/FILE/stage.txt"});
    ASSERT_GT(editor, 0);
    const std::string window = WaitForEditorWindow();
    ASSERT_FALSE(window.empty()) << TempDir::Read(folder.Path() / "editor.log");
    Shell("xdotool windowfocus --sync " + window + " mousemove --window " + window + " 1200 680");
    const char* kept = std::getenv("VELLUMAR_SHOTS");
    const std::filesystem::path shotFolder = kept ? std::filesystem::path(kept) / "shots" : folder.Path() / "shots";
    CWindowShots shots(window, shotFolder);
    const std::string view = "400x300+440+150";
    ASSERT_TRUE(shots.Settle("red", view));
    EXPECT_TRUE(PixelIs(shotFolder / "red.png", 640, 225, 0));

    // Painted over with another size and colour; left alone, the editor still notices it.
    folder.Write("Data/texture/paint.bmp", SolidBmp(8, 20, 40, 220));
    ASSERT_TRUE(shots.AwaitChange("blue", "red", view, 5000)) << TempDir::Read(folder.Path() / "editor.log");
    ASSERT_TRUE(shots.Settle("blue", view));
    EXPECT_TRUE(PixelIs(shotFolder / "blue.png", 640, 225, 2));

    Shell("xdotool key Escape");
    EXPECT_EQ(WaitForExit(editor, 60), 0) << TempDir::Read(folder.Path() / "editor.log");
}

}  // namespace
