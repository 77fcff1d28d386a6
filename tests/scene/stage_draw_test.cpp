// Drawing the stage's group on the recording device: call order, transforms, highlight, textures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "d3d/memory_mesh.h"
#include "resource/model_manager.h"
#include "scene/object_world.h"
#include "scene/stage.h"
#include "scene/view_frustum.h"
#include "support/headless_editor.h"
#include "support/temp_dir.h"

namespace {

// A model with one triangle per material, made here instead of loaded from a .x file.
struct TestModel {
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    int count = 0;
    ModelHandle model = kNoModel;

    TestModel(CModelManager& catalog, IDirect3DDevice9* device, int materialCount) : count(materialCount) {
        MeshData data;
        for (int m = 0; m < materialCount; ++m) {
            for (int v = 0; v < 3; ++v) {
                data.vertices.push_back(MeshVertex{{float(v), float(v == 1), 0.0f}, {0, 0, -1}, {0, 0}});
                data.indices.push_back(static_cast<std::uint32_t>(3 * m + v));
            }
            data.attributes.push_back(D3DXATTRIBUTERANGE{DWORD(m), DWORD(m), 1, DWORD(3 * m), 3});
        }
        mesh = new CMemoryMesh(device, std::move(data));
        D3DXCreateBuffer(static_cast<DWORD>(materialCount * sizeof(D3DXMATERIAL)), &materials);
        for (int m = 0; m < materialCount; ++m) {
            D3DMATERIAL9& material = Material(m).MatD3D;
            material.Diffuse = {0.2f + m, 0.3f, 0.4f, 1.0f};
            material.Ambient = {0.1f, 0.1f, 0.1f, 1.0f};
            material.Emissive = {0.0f, 0.0f, 0.0f, 0.0f};
            material.Power = 5.0f + m;
        }
        model = catalog.AddModelData(std::to_string(catalog.GetModelMap().size()),
                                     ModelData{materials, DWORD(count), mesh, {1, 1, 1}, {-1, -1, -1}});
    }
    ~TestModel() {
        mesh->Release();
        materials->Release();
    }
    D3DXMATERIAL& Material(int m) { return static_cast<D3DXMATERIAL*>(materials->GetBufferPointer())[m]; }

    StageObject Place(D3DXVECTOR3 pos, D3DXVECTOR3 rot, D3DXVECTOR3 scale) {
        StageObject object{model, {}};
        object.part.Pos = pos;
        object.part.Rot = rot;
        object.part.Scale = scale;
        object.part.ModelLabel = "TRI";
        return object;
    }
};

// A 1 x 1 red bitmap.
std::string RedBitmap() {
    const unsigned char bytes[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0,
                                     0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4,  0, 0, 0, 0, 0,
                                     0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0,  0, 255, 0};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

bool SameMaterial(const D3DMATERIAL9& a, const D3DMATERIAL9& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class StageDrawTest : public ::testing::Test {
protected:
    StageDrawTest() {
        stage.Connect(&device, &models, {}, nullptr);
        // A view (the projection is the device's first, the identity) that holds everything these tests place
        // within 1000 units of the origin: nothing is culled.
        D3DXMATRIX wide;
        D3DXMatrixScaling(&wide, 0.001f, 0.001f, 0.0005f);
        wide._43 = 0.5f;
        device.SetTransform(D3DTS_VIEW, &wide);
    }

    HeadlessEditor editor;
    CRecordingDevice& device = editor.Device();
    CModelManager models;
    CStage stage;
};

}  // namespace

TEST_F(StageDrawTest, CallOrderForOneObject) {
    TestModel model(models, &device, 2);
    stage.Groups()["TEST"].push_back(model.Place({1, 2, 3}, {0, 0, 0}, {1, 1, 1}));
    device.ClearLog();
    stage.Draw("TEST");
    const std::vector<std::string> expected = {
        "SetTexture(0,null)", "SetRenderState(23,2)", "SetRenderState(14,1)", "SetTransform(256)",
        "GetMaterial",        "SetMaterial",          "DrawSubset(0)",        "SetMaterial",
        "DrawSubset(1)",      "SetMaterial",          "SetTexture(0,null)"};
    EXPECT_EQ(device.Log(), expected);
    ASSERT_EQ(device.Draws().size(), 2u);
    EXPECT_TRUE(SameMaterial(device.Draws()[0].material, model.Material(0).MatD3D));
    EXPECT_TRUE(SameMaterial(device.Draws()[1].material, model.Material(1).MatD3D));
}

TEST_F(StageDrawTest, WorldIsScaleThenRotationThenTranslation) {
    TestModel model(models, &device, 1);
    stage.Groups()["TEST"].push_back(model.Place({1, 2, 3}, {0, 1.5707964f, 0}, {2, 2, 2}));
    stage.Draw("TEST");
    ASSERT_EQ(device.Draws().size(), 1u);
    D3DXVECTOR3 point(1, 0, 0), moved;
    D3DXVec3TransformCoord(&moved, &point, &device.Draws()[0].world);
    // Scaled to (2, 0, 0), a quarter turn of yaw takes it to (0, 0, -2), then it moves by (1, 2, 3).
    EXPECT_NEAR(moved.x, 1.0f, 1e-5f);
    EXPECT_NEAR(moved.y, 2.0f, 1e-5f);
    EXPECT_NEAR(moved.z, 1.0f, 1e-5f);
}

TEST_F(StageDrawTest, HighlightsTheSelectedObjectAndRestoresTheSharedMaterials) {
    TestModel model(models, &device, 2);
    std::vector<StageObject>& group = stage.Groups()["TEST"];
    group.push_back(model.Place({0, 0, 0}, {}, {1, 1, 1}));
    group.push_back(model.Place({5, 0, 0}, {}, {1, 1, 1}));
    const D3DMATERIAL9 before0 = model.Material(0).MatD3D, before1 = model.Material(1).MatD3D;
    D3DMATERIAL9 current{};
    current.Diffuse = {0.7f, 0.7f, 0.7f, 1.0f};
    device.SetMaterial(&current);

    stage.Select(1);
    stage.SetCurrentTag("TEST");  // the selection is highlighted in the current tag's group only
    stage.Draw("TEST");
    ASSERT_EQ(device.Draws().size(), 4u);
    EXPECT_TRUE(SameMaterial(device.Draws()[0].material, before0));  // object 0 as it is
    for (int d = 2; d < 4; ++d) {
        const D3DMATERIAL9& drawn = device.Draws()[d].material;
        const D3DMATERIAL9& original = d == 2 ? before0 : before1;
        EXPECT_EQ(drawn.Diffuse.r, 1.0f);
        EXPECT_EQ(drawn.Diffuse.g, 0.5f);
        EXPECT_EQ(drawn.Diffuse.b, 0.0f);
        EXPECT_EQ(drawn.Diffuse.a, 1.0f);
        EXPECT_EQ(drawn.Emissive.r, 1.0f);
        EXPECT_EQ(drawn.Emissive.g, 0.5f);
        EXPECT_EQ(drawn.Emissive.b, 0.0f);
        EXPECT_EQ(drawn.Emissive.a, 0.7f);
        EXPECT_EQ(drawn.Power, original.Power);
        EXPECT_EQ(drawn.Ambient.r, original.Ambient.r);
        EXPECT_EQ(device.Draws()[d].texture, nullptr);
    }
    EXPECT_TRUE(SameMaterial(model.Material(0).MatD3D, before0));
    EXPECT_TRUE(SameMaterial(model.Material(1).MatD3D, before1));
    D3DMATERIAL9 after{};
    device.GetMaterial(&after);
    EXPECT_TRUE(SameMaterial(after, current));  // the device's material is given back

    stage.ClearSelection();
    device.ClearLog();
    stage.Draw("TEST");
    EXPECT_TRUE(SameMaterial(device.Draws()[2].material, before0));
}

TEST_F(StageDrawTest, TexturesComeFromTheCacheAndAreReused) {
    TempDir dir;
    std::string file = dir.Write("red.bmp", RedBitmap()).string();
    std::string missing = (dir.Path() / "missing.png").string();
    TestModel model(models, &device, 3);
    model.Material(0).pTextureFilename = file.data();
    model.Material(2).pTextureFilename = missing.data();
    stage.Groups()["TEST"].push_back(model.Place({}, {}, {1, 1, 1}));
    stage.Groups()["TEST"].push_back(model.Place({}, {}, {1, 1, 1}));
    stage.Draw("TEST");
    ASSERT_EQ(device.Draws().size(), 6u);
    IDirect3DBaseTexture9* red = device.Draws()[0].texture;
    EXPECT_NE(red, nullptr);
    EXPECT_EQ(device.Draws()[1].texture, red);      // a material without a file keeps the texture in place
    EXPECT_EQ(device.Draws()[2].texture, nullptr);  // a file that cannot be loaded draws untextured
    EXPECT_EQ(device.Draws()[3].texture, red);      // the second object gets the cached texture
    EXPECT_EQ(device.LiveTextures(), 1);
    EXPECT_EQ(device.BoundTexture(0), nullptr);
    model.Material(0).pTextureFilename = nullptr;
    model.Material(2).pTextureFilename = nullptr;
    stage.Uninit();
    EXPECT_EQ(device.LiveTextures(), 0);
}

TEST_F(StageDrawTest, EmptyGroupsModelsMissingAndNoMaterials) {
    TestModel model(models, &device, 1);
    device.ClearLog();
    stage.Draw("TEST");
    EXPECT_TRUE(device.Log().empty());
    EXPECT_EQ(stage.Groups().count("TEST"), 1u);  // the look-up made the group

    // An object whose model the catalog does not hold is kept but not drawn.
    StageObject unknown;
    unknown.part.ModelLabel = "GONE";
    stage.Groups()["TEST"].push_back(unknown);
    stage.Draw("TEST");
    EXPECT_TRUE(device.Log().empty());

    // A model without materials still gets its transform and states, and no subset is drawn.
    StageObject bare = model.Place({}, {}, {1, 1, 1});
    bare.model = models.AddModelData("BARE", ModelData{nullptr, 0, model.mesh, {1, 1, 1}, {-1, -1, -1}});
    stage.Groups()["TEST"].push_back(bare);
    stage.Draw("TEST");
    const std::vector<std::string> expected = {"SetTexture(0,null)", "SetRenderState(23,2)", "SetRenderState(14,1)",
                                               "SetTransform(256)",  "GetMaterial",          "SetMaterial",
                                               "SetTexture(0,null)"};
    EXPECT_EQ(device.Log(), expected);
}

TEST_F(StageDrawTest, EveryVisibleGroupIsDrawnAndTheHighlightStaysInTheCurrentOne) {
    TestModel model(models, &device, 1);
    for (const char* tag : {"A", "B", "C"}) {
        stage.Groups()[tag].push_back(model.Place({0, 0, 0}, {}, {1, 1, 1}));
        stage.Groups()[tag].push_back(model.Place({1, 0, 0}, {}, {1, 1, 1}));
    }
    stage.SetCurrentTag("B");
    stage.Select(0);
    stage.SetTagVisible("C", false);
    stage.SetTagLocked("A", true);  // locked groups are still drawn
    stage.DrawVisible();
    ASSERT_EQ(device.Draws().size(), 4u);  // A and B, two objects each
    auto highlighted = [&](int d) { return device.Draws()[d].material.Emissive.a == 0.7f; };
    EXPECT_FALSE(highlighted(0));  // A's object 0 has the selected index but is not in B
    EXPECT_FALSE(highlighted(1));
    EXPECT_TRUE(highlighted(2));
    EXPECT_FALSE(highlighted(3));
}

TEST(ViewFrustum, NeverLeavesOutAnObjectInViewOnRandomCamerasAndStages) {
    std::mt19937 random(26);
    auto in = [&random](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
    auto vector = [&in](float low, float high) { return D3DXVECTOR3(in(low, high), in(low, high), in(low, high)); };
    int invisible = 0, leftOut = 0;
    for (int camera = 0; camera < 100; ++camera) {
        const D3DXVECTOR3 eye = vector(-300, 300), at = vector(-50, 50), up(0, 1, 0);
        D3DXMATRIX view, projection;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, in(0.3f, 1.5f), 16.0f / 9.0f, in(1, 10), in(100, 600));
        CViewFrustum frustum;
        ASSERT_TRUE(frustum.Set(view, projection));
        for (int object = 0; object < 100; ++object) {
            ModelData model;
            model.min = D3DXVECTOR3(std::floor(in(-8, 4)), std::floor(in(-8, 4)), std::floor(in(-8, 4)));
            model.max = model.min + D3DXVECTOR3(std::floor(in(0, 12)), std::floor(in(0, 12)), std::floor(in(0, 12)));
            ObjectPart part{};
            part.Pos = vector(-400, 400), part.Rot = vector(-4, 4), part.Scale = vector(-3, 3);
            // Brute force: a lattice of points of the bounds (the mesh lies below max + 1) into clip space.
            D3DXMATRIX all = ObjectWorld(part);
            D3DXMatrixMultiply(&all, &all, &view);
            D3DXMatrixMultiply(&all, &all, &projection);
            const D3DXVECTOR3 size = model.max + D3DXVECTOR3(1, 1, 1) - model.min;
            bool inView = false;
            for (int i = 0; i < 64 && !inView; ++i) {
                const float p[3] = {model.min.x + size.x * static_cast<float>(i % 4) / 3,
                                    model.min.y + size.y * static_cast<float>(i / 4 % 4) / 3,
                                    model.min.z + size.z * static_cast<float>(i / 16) / 3};
                float c[4];
                for (int k = 0; k < 4; ++k) c[k] = p[0] * all.m[0][k] + p[1] * all.m[1][k] + p[2] * all.m[2][k] + all.m[3][k];
                inView = std::fabs(c[0]) <= c[3] && std::fabs(c[1]) <= c[3] && c[2] >= 0 && c[2] <= c[3];
            }
            const bool out = frustum.ObjectOutside(model, part);
            EXPECT_FALSE(inView && out) << "camera " << camera << ", object " << object;
            invisible += !inView;
            leftOut += out;
        }
    }
    EXPECT_GT(leftOut, invisible / 2);  // and most of what lies outside is left out
}
