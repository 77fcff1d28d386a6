// The texture catalog and the texture cache.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "resource/texture_cache.h"
#include "resource/texture_manager.h"
#include "support/headless_editor.h"
#include "support/temp_dir.h"

namespace {

int Creations(CRecordingDevice& device) {
    const auto& log = device.Log();
    return static_cast<int>(std::count_if(log.begin(), log.end(), [](const std::string& entry) {
        return entry.rfind("CreateTexture", 0) == 0;
    }));
}

}  // namespace

TEST(TextureCatalog, FirstLabelWinsExtraElementsAreIgnoredAndBadEntriesReported) {
    TempDir dir;
    std::string path = dir.Write("texture.json", R"({"TEXTURE": [
        ["grass", "t/grass.png"], ["grass", "t/other.png"], ["stone", "t/stone.jpg", {"any": 1}],
        ["lonely"], [1, "t/x.png"], {"Label": "obj"}]})")
                           .string();
    CTextureManager catalog;
    catalog.Load(path);
    const auto& map = catalog.GetTextureMap();
    ASSERT_EQ(map.size(), 2u);
    EXPECT_EQ(map.at("grass"), "t/grass.png");
    EXPECT_EQ(map.at("stone"), "t/stone.jpg");
    ASSERT_EQ(catalog.GetProblems().size(), 3u);
    EXPECT_EQ(catalog.GetProblems()[0], path + ": entry 3 (\"lonely\"): expected a label and an image path (two strings)");
    EXPECT_EQ(catalog.GetProblems()[2].rfind(path + ": entry 5 (\"obj\"): ", 0), 0u);

    CTextureManager empty;
    empty.Load(dir.Write("empty.json", "{}").string());
    EXPECT_TRUE(empty.GetTextureMap().empty());
    ASSERT_EQ(empty.GetProblems().size(), 1u);
    EXPECT_NE(empty.GetProblems()[0].find("the catalog lists nothing"), std::string::npos);
}

TEST(TextureCache, CreatesEachFileOnceAndRetriesFilesThatFailed) {
    const std::string png = TempDir::Read(SourceDir() / "Data/texture/crate.png");
    TempDir dir;
    ScopedWorkingDir cwd(dir.Path());
    HeadlessEditor editor;
    ASSERT_TRUE(editor.Started());
    dir.Write("tex/crate.png", png);
    CRecordingDevice& device = editor.Device();
    device.ClearLog();
    const int liveBefore = device.LiveTextures();

    {
        CTextureCache cache(&device);
        IDirect3DTexture9* first = cache.GetTexture("tex/crate.png");
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(cache.GetTexture("tex/crate.png"), first);
        EXPECT_EQ(Creations(device), 1);
        // A Windows-style name is a different key, but the file is found.
        IDirect3DTexture9* windows = cache.GetTexture("tex\\crate.png");
        ASSERT_NE(windows, nullptr);
        EXPECT_NE(windows, first);

        EXPECT_EQ(cache.GetTexture("tex/later.png"), nullptr);
        EXPECT_EQ(cache.GetTexture("tex/later.png"), nullptr);
        dir.Write("tex/later.png", png);
        EXPECT_NE(cache.GetTexture("tex/later.png"), nullptr);  // tried again, and now it loads
        EXPECT_EQ(Creations(device), 3);
        EXPECT_EQ(device.LiveTextures(), liveBefore + 3);
        cache.Uninit();
        EXPECT_EQ(device.LiveTextures(), liveBefore);
    }
}

TEST(TextureCache, ABrokenFileIsNotReadAgainUntilItChanges) {
    const std::string png = TempDir::Read(SourceDir() / "Data/texture/crate.png");
    TempDir dir;
    ScopedWorkingDir cwd(dir.Path());
    HeadlessEditor editor;
    ASSERT_TRUE(editor.Started());
    const std::filesystem::path file = dir.Write("tex/broken.png", std::string(png.size(), 'x'));
    const auto stamp = std::filesystem::last_write_time(file);
    CTextureCache cache(&editor.Device());
    EXPECT_EQ(cache.GetTexture("tex/broken.png"), nullptr);
    EXPECT_EQ(cache.GetTexture("tex"), nullptr);
    // Each file that fails is named once, with its reason.
    const std::vector<std::string> problems = cache.TakeProblems();
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].rfind("tex/broken.png: the texture cannot be loaded (", 0), 0u) << problems[0];
    EXPECT_EQ(problems[1].rfind("tex: the texture cannot be loaded (", 0), 0u) << problems[1];
    EXPECT_TRUE(cache.TakeProblems().empty());
    // Good bytes of the same size and time: the cache trusts its record and does not read the file.
    dir.Write("tex/broken.png", png);
    std::filesystem::last_write_time(file, stamp);
    EXPECT_EQ(cache.GetTexture("tex/broken.png"), nullptr);
    std::filesystem::last_write_time(file, stamp + std::chrono::seconds(1));
    EXPECT_NE(cache.GetTexture("tex/broken.png"), nullptr);
    cache.Uninit();
}
