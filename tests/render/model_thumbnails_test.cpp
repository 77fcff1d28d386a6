// The model palette's pictures on the recording device: drawn once with their textures, and drawn again
// only when a mesh or a texture they were drawn with is reloaded.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/headless/recording_device.h"
#include "render/model_thumbnails.h"
#include "resource/model_manager.h"
#include "resource/texture_cache.h"

TEST(ModelThumbnails, DrawnOnceWithTexturesAndAgainAfterAMeshOrTextureReload) {
    auto* owned = new CRecordingDevice();
    CRecordingDevice& device = *owned;
    CModelManager models(&device);
    models.Load("Data/FILE/model.json");
    ASSERT_TRUE(models.GetProblems().empty()) << models.GetProblems().front();
    CTextureCache textures(&device);
    CModelThumbnails thumbnails;

    auto drawn = [&] {
        device.ClearLog();
        thumbnails.Render(&device, models, &textures);
        return device.Draws().size();
    };
    const std::size_t all = drawn();
    ASSERT_GE(all, models.Count());
    // The crate is drawn with its texture.
    const IDirect3DTexture9* crate = textures.GetTexture("Data/texture/crate.png");
    ASSERT_NE(crate, nullptr);
    EXPECT_TRUE(std::any_of(device.Draws().begin(), device.Draws().end(),
                            [&](const CRecordingDevice::DrawRecord& draw) { return draw.texture == crate; }));
    EXPECT_EQ(drawn(), 0u);

    ASSERT_TRUE(textures.Reload("Data/texture/crate.png").ok);
    EXPECT_EQ(drawn(), all);
    EXPECT_EQ(drawn(), 0u);
    ASSERT_TRUE(models.ReloadMesh("Data/model/crate.x").ok);
    EXPECT_EQ(drawn(), all);
    // A file no picture was drawn with changes nothing.
    EXPECT_TRUE(textures.Reload("Data/texture/missing.png").ok);
    EXPECT_EQ(drawn(), 0u);
    thumbnails.Uninit();
    textures.Uninit();
    models.Uninit();
    owned->Release();
}
