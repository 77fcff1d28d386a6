// The 3D pointer: keyboard movement relative to the camera, the yaw wrap, and drawing its models.
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "input/input.h"
#include "d3d/memory_mesh.h"
#include "render/camera.h"
#include "scene/pointer.h"
#include "support/headless_editor.h"
#include "support/temp_dir.h"

namespace {

// Models made here for the pointer to draw: one triangle per material, each material told apart by its
// diffuse red. Released before the editor goes.
class TestModels {
public:
    ~TestModels() {
        for (ID3DXMesh* mesh : meshes_) mesh->Release();
        for (ID3DXBuffer* buffer : buffers_) buffer->Release();
    }

    CPointer::Model Make(IDirect3DDevice9* device, int materials, float firstRed) {
        MeshData data;
        for (int m = 0; m < materials; ++m) {
            for (int v = 0; v < 3; ++v) {
                data.vertices.push_back(MeshVertex{{float(v), float(v == 1), 0.0f}, {0, 0, -1}, {0, 0}});
                data.indices.push_back(static_cast<std::uint32_t>(3 * m + v));
            }
            data.attributes.push_back(D3DXATTRIBUTERANGE{DWORD(m), DWORD(m), 1, DWORD(3 * m), 3});
        }
        ID3DXBuffer* buffer = nullptr;
        D3DXCreateBuffer(static_cast<DWORD>(materials * sizeof(D3DXMATERIAL)), &buffer);
        auto* records = static_cast<D3DXMATERIAL*>(buffer->GetBufferPointer());
        for (int m = 0; m < materials; ++m) records[m].MatD3D.Diffuse = {firstRed + m, 0.5f, 0.5f, 1.0f};

        CPointer::Model model;
        model.mesh = new CMemoryMesh(device, std::move(data));
        model.materialBuffer = buffer;
        model.numMaterials = materials;
        meshes_.push_back(model.mesh);
        buffers_.push_back(buffer);
        return model;
    }

private:
    std::vector<ID3DXMesh*> meshes_;
    std::vector<ID3DXBuffer*> buffers_;
};

class PointerTest : public ::testing::Test {
protected:
    void SetUp() override {
        CCamera::ResetSpin();
        ASSERT_TRUE(editor_->Started());
        editor_->Platform().SetCursor(1270, 710);
    }

    CPointer& Pointer() { return *editor_->Manager().GetPointer(); }
    CCamera& Camera() { return *editor_->Manager().GetCamera(); }
    CHeadlessPlatform& Platform() { return editor_->Platform(); }

    // Holds the keys for one frame from a known start and returns the move in x, y and z.
    D3DXVECTOR3 MoveWith(const std::vector<BYTE>& keys) {
        const D3DXVECTOR3 start(0.0f, 10.0f, 0.0f);
        Pointer().SetPos(start);
        for (BYTE key : keys) Platform().SetKey(key, true);
        editor_->Frames(1);
        Platform().ReleaseAllKeys();
        return Pointer().GetPos() - start;
    }

    // An empty folder: no catalog, so the pointer's "SPHERE" entry has no mesh.
    TempDir folder_;
    ScopedWorkingDir inFolder_{folder_.Path()};
    std::unique_ptr<HeadlessEditor> editor_ = std::make_unique<HeadlessEditor>();
    TestModels models_;
};

void ExpectMove(const D3DXVECTOR3& move, float x, float y, float z) {
    EXPECT_NEAR(move.x, x, 1e-5f);
    EXPECT_NEAR(move.y, y, 1e-5f);
    EXPECT_NEAR(move.z, z, 1e-5f);
}

TEST_F(PointerTest, StartsAtItsPlaceInListTwoWithTheSphereEntry) {
    EXPECT_EQ(Pointer().GetPos(), D3DXVECTOR3(0, 10, 0));
    EXPECT_EQ(Pointer().GetPriority(), 2);
    EXPECT_EQ(Pointer().Scale(), D3DXVECTOR3(1, 1, 1));
    ASSERT_EQ(Pointer().Models().size(), 1u);
    EXPECT_EQ(Pointer().Models()[0].mesh, nullptr);  // the empty catalog holds no "SPHERE"
}

TEST_F(PointerTest, MovesRelativeToTheCameraYaw) {
    ExpectMove(MoveWith({DIK_W}), 0, 0, -1);
    Camera().rot.y = 1.5707964f;
    ExpectMove(MoveWith({DIK_W}), -1, 0, 0);
    ExpectMove(MoveWith({DIK_A}), 0, 0, -1);
    Camera().rot.y = 3.1415927f;
    ExpectMove(MoveWith({DIK_S}), 0, 0, -1);
}

TEST_F(PointerTest, FirstHeldCombinationWins) {
    const float h = 0.70710677f;
    struct Case {
        std::vector<BYTE> keys;
        D3DXVECTOR3 move;
    };
    const std::vector<Case> cases = {
        {{DIK_W}, {0, 0, -1}},
        {{DIK_S}, {0, 0, 1}},
        {{DIK_D}, {-1, 0, 0}},
        {{DIK_A}, {1, 0, 0}},
        {{DIK_W, DIK_S}, {0, 0, -1}},
        {{DIK_A, DIK_D}, {-1, 0, 0}},
        {{DIK_W, DIK_D}, {-h, 0, -h}},
        {{DIK_W, DIK_A}, {h, 0, -h}},
        {{DIK_S, DIK_D}, {-h, 0, h}},
        {{DIK_S, DIK_A}, {h, 0, h}},
        {{DIK_W, DIK_S, DIK_A, DIK_D}, {-h, 0, -h}},
        {{DIK_R, DIK_W}, {0, 0, -1}},
        {{DIK_F, DIK_D}, {-1, 0, 0}},
        {{DIK_R}, {0, 1.5f, 0}},
        {{DIK_F}, {0, -1.5f, 0}},
        {{DIK_R, DIK_F}, {0, 1.5f, 0}},
        {{}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.keys));
        ExpectMove(MoveWith(c.keys), c.move.x, c.move.y, c.move.z);
    }
}

TEST_F(PointerTest, KeysTypedIntoATextFieldDoNotMoveIt) {
    editor_->Frames(1);
    Platform().SetKey(DIK_W, true);
    Platform().SetKey(DIK_R, true);
    editor_->Manager().GetKeyboard()->Update();
    // This frame's GUI frame found a text field holding the keyboard.
    editor_->Manager().GetEditor()->Focus().typing = true;
    Pointer().Update();
    EXPECT_EQ(Pointer().GetPos(), D3DXVECTOR3(0, 10, 0));
}

TEST_F(PointerTest, YawWrapsOncePerUpdateAndPitchAndRollNever) {
    Pointer().Rot() = D3DXVECTOR3(10.0f, 3.2f, -10.0f);
    editor_->Frames(1);
    EXPECT_FLOAT_EQ(Pointer().Rot().y, -3.0831855f);
    EXPECT_FLOAT_EQ(Pointer().Rot().x, 10.0f);
    EXPECT_FLOAT_EQ(Pointer().Rot().z, -10.0f);

    Pointer().Rot().y = 10.0f;
    editor_->Frames(1);
    EXPECT_FLOAT_EQ(Pointer().Rot().y, 3.7168145f);
    editor_->Frames(1);
    EXPECT_FLOAT_EQ(Pointer().Rot().y, -2.5663710f);

    Pointer().Rot().y = -3.2f;
    editor_->Frames(1);
    EXPECT_FLOAT_EQ(Pointer().Rot().y, 3.0831855f);
}

TEST_F(PointerTest, DrawsEveryModelUntexturedWithTheSavedMaterialRestored) {
    IDirect3DDevice9* device = editor_->Manager().GetDevice();
    Pointer().AddModel(models_.Make(device, 1, 10.0f));
    Pointer().AddModel(models_.Make(device, 2, 20.0f));
    Pointer().SetPos(D3DXVECTOR3(1, 2, 3));
    Pointer().Rot() = D3DXVECTOR3(0.0f, 1.5707964f, 0.0f);
    Pointer().Scale() = D3DXVECTOR3(2, 1, 1);

    CRecordingDevice& recorder = editor_->Device();
    D3DMATERIAL9 before{};
    before.Diffuse = {0.25f, 0.25f, 0.25f, 1.0f};
    recorder.SetMaterial(&before);
    recorder.ClearLog();
    Pointer().Draw();

    // Models after the marker (here the catalog's empty "SPHERE") are previews: see-through, without
    // depth writes.
    const std::vector<std::string> expected = {
        "SetTexture(0,null)",   "SetRenderState(23,2)", "SetRenderState(14,1)", "SetTransform(256)",
        "GetMaterial",          "SetRenderState(14,0)", "SetMaterial",          "DrawSubset(0)",
        "SetRenderState(14,1)", "SetRenderState(14,0)", "SetMaterial",          "DrawSubset(0)",
        "SetMaterial",          "DrawSubset(1)",        "SetRenderState(14,1)", "SetMaterial",
        "SetTexture(0,null)"};
    EXPECT_EQ(recorder.Log(), expected);

    // Rotation, then scale, then translation.
    D3DXMATRIX r, s, t, world;
    D3DXMatrixRotationYawPitchRoll(&r, 1.5707964f, 0, 0);
    D3DXMatrixScaling(&s, 2, 1, 1);
    D3DXMatrixTranslation(&t, 1, 2, 3);
    world = r * s * t;
    const auto& draws = recorder.Draws();
    ASSERT_EQ(draws.size(), 3u);
    const float reds[] = {10.0f, 20.0f, 21.0f};
    for (std::size_t i = 0; i < draws.size(); ++i) {
        EXPECT_EQ(0, std::memcmp(&draws[i].world, &world, sizeof world)) << i;
        EXPECT_EQ(draws[i].material.Diffuse.r, reds[i]) << i;
        EXPECT_EQ(draws[i].material.Diffuse.a, CPointer::kPreviewAlpha) << i;
        EXPECT_EQ(draws[i].texture, nullptr) << i;
    }
    const D3DXMATRIX scaledFirst = s * r * t;
    EXPECT_NE(0, std::memcmp(&world, &scaledFirst, sizeof world));  // the order shows

    D3DMATERIAL9 after{};
    recorder.GetMaterial(&after);
    EXPECT_EQ(0, std::memcmp(&after, &before, sizeof after));
    EXPECT_EQ(recorder.RenderState(D3DRS_ZFUNC), DWORD(D3DCMP_LESS));
}

TEST_F(PointerTest, UnknownLabelGivesAnEntryThatIsNeverDrawn) {
    IDirect3DDevice9* device = editor_->Manager().GetDevice();
    Pointer().SetModel("NO SUCH MODEL");
    Pointer().AddModel(models_.Make(device, 1, 5.0f));
    ASSERT_EQ(Pointer().Models().size(), 3u);
    EXPECT_EQ(Pointer().Models()[1].mesh, nullptr);

    editor_->Device().ClearLog();
    editor_->Frames(1);
    ASSERT_EQ(editor_->Device().Draws().size(), 1u);
    EXPECT_EQ(editor_->Device().Draws()[0].material.Diffuse.r, 5.0f);
}

TEST_F(PointerTest, OnlyTheLastChosenModelIsPreviewedBesideTheMarker) {
    for (const char* label : {"A", "B", "C", "D", "NO SUCH MODEL"}) Pointer().SetModel(label);
    ASSERT_EQ(Pointer().Models().size(), 2u);
    EXPECT_EQ(Pointer().Models()[1].mesh, nullptr);
}

TEST_F(PointerTest, HiddenDrawsNoModelButKeepsTheStateCalls) {
    Pointer().AddModel(models_.Make(editor_->Manager().GetDevice(), 2, 1.0f));
    Pointer().Hide();
    editor_->Device().ClearLog();
    Pointer().Draw();
    EXPECT_TRUE(editor_->Device().Draws().empty());
    const std::vector<std::string> expected = {"SetTexture(0,null)", "SetRenderState(23,2)", "SetRenderState(14,1)",
                                               "SetTransform(256)",  "GetMaterial",          "SetMaterial",
                                               "SetTexture(0,null)"};
    EXPECT_EQ(editor_->Device().Log(), expected);

    Pointer().Show();
    editor_->Device().ClearLog();
    Pointer().Draw();
    EXPECT_EQ(editor_->Device().Draws().size(), 2u);
}

}  // namespace

namespace {

const char* const kTriangleX = R"(xof 0303txt 0032
Mesh Tri {
  3;
  0.0;0.0;0.0;,
  1.0;0.0;0.0;,
  0.0;1.0;0.0;;
  1;
  3;0,1,2;;
  MeshNormals {
    1;
    0.0;0.0;-1.0;;
    1;
    3;0,0,0;;
  }
  MeshMaterialList {
    1;
    1;
    0;;
    Material {
      0.5;0.5;0.5;1.0;;
      0.0;
      0.0;0.0;0.0;;
      0.0;0.0;0.0;;
    }
  }
}
)";

// A folder with a model catalog of three one-triangle models.
struct CatalogFolder {
    CatalogFolder() {
        folder.Write("Data/FILE/model.json",
                     R"({"MODEL": [["SPHERE", "Data/model/tri.x"], ["ONE", "Data/model/tri.x"],
                                   ["TWO", "Data/model/tri.x"]]})");
        folder.Write("Data/model/tri.x", kTriangleX);
    }
    TempDir folder;
    ScopedWorkingDir inFolder{folder.Path()};
};

TEST(PointerCatalog, AfterTwoPickedModelsThePointerDrawsItsMarkerAndTheLastOne) {
    CatalogFolder catalog;
    HeadlessEditor editor;
    CPointer& pointer = *editor.Manager().GetPointer();
    ASSERT_NE(pointer.Models().at(0).mesh, nullptr) << "the catalog did not load";
    pointer.SetModel("ONE");
    pointer.SetModel("TWO");
    pointer.SetPos(D3DXVECTOR3(7, 8, 9));

    editor.Device().ClearLog();
    editor.Frames(1);
    D3DXMATRIX at;
    D3DXMatrixTranslation(&at, 7, 8, 9);
    int atPointer = 0;
    for (const auto& draw : editor.Device().Draws())
        if (std::memcmp(&draw.world, &at, sizeof at) == 0) ++atPointer;
    EXPECT_EQ(atPointer, 2);
}

}  // namespace
