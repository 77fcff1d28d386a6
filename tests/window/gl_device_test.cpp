// The OpenGL device drawing for real: pixels read back from the back buffer against the projection, the
// fixed-function lighting formula, fill and cull modes, texture stage 0, depth and the GUI.
#include <gtest/gtest.h>
#include <imgui.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "d3d/memory_mesh.h"
#include "platform/sdl/gl_device.h"
#include "platform/sdl/sdl_platform.h"

namespace {

constexpr int kWidth = 1280, kHeight = 720;
constexpr D3DCOLOR kBackground = 0xFF000000;

struct Rgb {
    int r, g, b;
};

D3DCOLORVALUE Colour(float r, float g, float b, float a = 1.0f) { return {r, g, b, a}; }

// A square in the plane z = cz, facing the camera (normal -z), with texture coordinates (0,0) at its top
// left. Clockwise as the camera sees it unless counterClockwise.
MeshData Square(float cx, float cy, float cz, float half, bool counterClockwise = false) {
    MeshData mesh;
    const float l = cx - half, r = cx + half, t = cy + half, b = cy - half;
    mesh.vertices = {{{l, t, cz}, {0, 0, -1}, {0, 0}},
                     {{r, t, cz}, {0, 0, -1}, {1, 0}},
                     {{r, b, cz}, {0, 0, -1}, {1, 1}},
                     {{l, b, cz}, {0, 0, -1}, {0, 1}}};
    mesh.indices = counterClockwise ? std::vector<std::uint32_t>{0, 2, 1, 0, 3, 2}
                                    : std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3};
    mesh.attributes = {{0, 0, 2, 0, 4}};
    return mesh;
}

class GlDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(platform_.GetWindow(), nullptr) << platform_.GetLastError();
        d3d_ = platform_.Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d_, nullptr);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = kWidth;
        parameters.BackBufferHeight = kHeight;
        parameters.Windowed = TRUE;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
        IDirect3DDevice9* device = nullptr;
        ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, platform_.GetWindow(),
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device),
                  S_OK)
            << platform_.GetLastError();
        device_ = static_cast<CGlDevice*>(device);

        // The camera 10 units in front of the origin, looking along +z.
        D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
        D3DXMatrixLookAtLH(&view_, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection_, 3.14159265f / 4, float(kWidth) / kHeight, 1.0f, 100.0f);
        device_->SetTransform(D3DTS_VIEW, &view_);
        device_->SetTransform(D3DTS_PROJECTION, &projection_);
    }

    void TearDown() override {
        for (auto* mesh : meshes_) mesh->Release();
        SafeRelease(device_);
        SafeRelease(d3d_);
    }

    ID3DXMesh* Mesh(MeshData data) {
        meshes_.push_back(new CMemoryMesh(device_, std::move(data)));
        return meshes_.back();
    }

    // Clears, draws the meshes in order with the current states, and reads the back buffer.
    void Draw(std::initializer_list<ID3DXMesh*> meshes) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, kBackground, 1.0f, 0);
        ASSERT_EQ(device_->BeginScene(), S_OK);
        for (ID3DXMesh* mesh : meshes) ASSERT_EQ(mesh->DrawSubset(0), S_OK);
        device_->EndScene();
        pixels_ = device_->ReadBackBuffer();
    }

    Rgb At(int x, int y) const {
        const BYTE* p = &pixels_[(std::size_t(y) * kWidth + x) * 4];
        return {p[0], p[1], p[2]};
    }
    bool IsBackground(int x, int y) const {
        Rgb c = At(x, y);
        return c.r == 0 && c.g == 0 && c.b == 0;
    }

    // Where a world point lands on the back buffer.
    void Project(float x, float y, float z, int& px, int& py) const {
        D3DXMATRIX viewProjection;
        D3DXMatrixMultiply(&viewProjection, &view_, &projection_);
        D3DXVECTOR3 in(x, y, z), ndc;
        D3DXVec3TransformCoord(&ndc, &in, &viewProjection);
        px = static_cast<int>(std::lround((ndc.x + 1.0f) * 0.5f * kWidth));
        py = static_cast<int>(std::lround((1.0f - ndc.y) * 0.5f * kHeight));
    }

    void SetEmissive(float r, float g, float b, float a = 1.0f) {
        D3DMATERIAL9 material{};
        material.Diffuse = Colour(0, 0, 0, a);
        material.Emissive = Colour(r, g, b);
        device_->SetMaterial(&material);
    }

    CSdlPlatform platform_;
    IDirect3D9* d3d_ = nullptr;
    CGlDevice* device_ = nullptr;
    std::vector<ID3DXMesh*> meshes_;
    D3DXMATRIX view_, projection_;
    std::vector<BYTE> pixels_;
};

void ExpectColour(Rgb actual, float r, float g, float b, int tolerance = 2) {
    EXPECT_NEAR(actual.r, r * 255.0f, tolerance);
    EXPECT_NEAR(actual.g, g * 255.0f, tolerance);
    EXPECT_NEAR(actual.b, b * 255.0f, tolerance);
}

TEST_F(GlDeviceTest, LitSquareLandsWhereProjectedInTheFixedFunctionColour) {
    D3DMATERIAL9 material{};
    material.Diffuse = Colour(0.8f, 0.6f, 0.4f);
    material.Ambient = Colour(0.5f, 0.5f, 0.5f);
    material.Emissive = Colour(0.05f, 0.0f, 0.0f);
    device_->SetMaterial(&material);
    device_->SetRenderState(D3DRS_AMBIENT, 0x00204060);
    D3DLIGHT9 key{};
    key.Type = D3DLIGHT_DIRECTIONAL;
    key.Diffuse = Colour(1, 1, 1);
    key.Ambient = Colour(0.1f, 0.1f, 0.1f);
    key.Direction = {0.0f, -0.6f, 0.8f};  // lights the camera-facing square at 0.8 of full strength
    D3DLIGHT9 fill{};
    fill.Type = D3DLIGHT_DIRECTIONAL;
    fill.Diffuse = Colour(0.2f, 0.1f, 0.0f);
    fill.Direction = {0.0f, 0.0f, 2.0f};  // straight on, not normalised by the caller
    D3DLIGHT9 behind = fill;
    behind.Direction = {0.0f, 0.0f, -1.0f};  // from behind: no diffuse contribution
    device_->SetLight(0, &key);
    device_->SetLight(1, &fill);
    device_->SetLight(2, &behind);
    device_->SetLight(3, &key);
    for (DWORD i = 0; i < 3; ++i) device_->LightEnable(i, TRUE);
    device_->LightEnable(3, FALSE);

    // Up and to the right of the centre, so a flipped axis would put it elsewhere.
    Draw({Mesh(Square(2.0f, 1.0f, 0.0f, 1.0f))});

    int left, top, right, bottom;
    Project(1.0f, 2.0f, 0.0f, left, top);
    Project(3.0f, 0.0f, 0.0f, right, bottom);
    ASSERT_GT(right - left, 20);
    ASSERT_GT(bottom - top, 20);
    EXPECT_GT(left, kWidth / 2);
    EXPECT_LE(bottom, kHeight / 2);
    for (auto [x, y] : {std::pair{left + 3, top + 3}, {right - 4, top + 3}, {left + 3, bottom - 4}, {right - 4, bottom - 4}})
        EXPECT_FALSE(IsBackground(x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{left - 4, top + 3}, {right + 3, bottom - 4}, {left + 3, top - 4}, {right - 4, bottom + 3}})
        EXPECT_TRUE(IsBackground(x, y)) << x << "," << y;

    // Me + Ma*Ga + sum over lights of (Ma*La + Md*Ld*max(0, N.L)).
    const float ga[3] = {0x20 / 255.0f, 0x40 / 255.0f, 0x60 / 255.0f};
    const float md[3] = {0.8f, 0.6f, 0.4f}, fillLd[3] = {0.2f, 0.1f, 0.0f};
    float expected[3];
    for (int c = 0; c < 3; ++c)
        expected[c] = std::min(1.0f, (c == 0 ? 0.05f : 0.0f) + 0.5f * ga[c] + 0.5f * 0.1f + md[c] * 0.8f +
                                         md[c] * fillLd[c] * 1.0f);
    ExpectColour(At((left + right) / 2, (top + bottom) / 2), expected[0], expected[1], expected[2]);
}

TEST_F(GlDeviceTest, WireframeDrawsTheEdgesOnly) {
    SetEmissive(1, 1, 1);
    device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    Draw({Mesh(Square(0, 0, 0, 2.0f))});
    int left, top, right, bottom, x, y;
    Project(-2, 2, 0, left, top);
    Project(2, -2, 0, right, bottom);
    // Inside each triangle, away from every edge, nothing is drawn.
    Project(0.8f, 0.8f, 0, x, y);
    EXPECT_TRUE(IsBackground(x, y));
    Project(-0.8f, -0.8f, 0, x, y);
    EXPECT_TRUE(IsBackground(x, y));
    // The outline is: some pixel of the top edge's rows near its middle is lit.
    bool edge = false;
    for (int dy = -1; dy <= 1; ++dy) edge = edge || !IsBackground((left + right) / 2, top + dy);
    EXPECT_TRUE(edge);

    device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    Draw({meshes_.back()});
    Project(0.8f, 0.8f, 0, x, y);
    EXPECT_FALSE(IsBackground(x, y));
}

TEST_F(GlDeviceTest, CullModeRemovesTheFacesItNames) {
    SetEmissive(1, 1, 1);
    ID3DXMesh* clockwise = Mesh(Square(-2, 0, 0, 1));
    ID3DXMesh* counter = Mesh(Square(2, 0, 0, 1, true));
    int cwX, cwY, ccwX, ccwY;
    Project(-2, 0, 0, cwX, cwY);
    Project(2, 0, 0, ccwX, ccwY);

    // The default, as the renderer sets it each frame: counter-clockwise faces are culled.
    Draw({clockwise, counter});
    EXPECT_FALSE(IsBackground(cwX, cwY));
    EXPECT_TRUE(IsBackground(ccwX, ccwY));

    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    Draw({clockwise, counter});
    EXPECT_TRUE(IsBackground(cwX, cwY));
    EXPECT_FALSE(IsBackground(ccwX, ccwY));

    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Draw({clockwise, counter});
    EXPECT_FALSE(IsBackground(cwX, cwY));
    EXPECT_FALSE(IsBackground(ccwX, ccwY));
}

TEST_F(GlDeviceTest, TextureModulatesTheLitColourAndItsAlpha) {
    // Top left red, top right green, bottom left blue, bottom right white and fully transparent.
    const BYTE texels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 0};
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device_->CreateTextureFromPixels(2, 2, texels, &texture), S_OK);
    SetEmissive(0.5f, 0.5f, 0.5f);  // lit diffuse: grey, opaque
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device_->SetTexture(0, texture);
    ID3DXMesh* square = Mesh(Square(0, 0, 0, 2));
    Draw({square});

    int x, y;
    const float grey = 128 / 255.0f;
    Project(-1, 1, 0, x, y);
    ExpectColour(At(x, y), grey, 0, 0);
    Project(1, 1, 0, x, y);
    ExpectColour(At(x, y), 0, grey, 0);
    Project(-1, -1, 0, x, y);
    ExpectColour(At(x, y), 0, 0, grey);
    Project(1, -1, 0, x, y);
    EXPECT_TRUE(IsBackground(x, y)) << "texel alpha 0 lets the background through";

    // Without a texture the stage passes the lit colour and its alpha on.
    device_->SetTexture(0, nullptr);
    Draw({square});
    ExpectColour(At(x, y), grey, grey, grey);

    // A texture released while bound is unbound, not drawn from.
    device_->SetTexture(0, texture);
    texture->Release();
    IDirect3DBaseTexture9* bound = nullptr;
    device_->GetTexture(0, &bound);
    EXPECT_EQ(bound, nullptr);
}

namespace {

// A DDS file of one kind of block repeated: `levels` mip levels, level 0 of `first`, the others of `rest`.
std::string DdsFile(const char* fourCc, std::uint32_t size, std::uint32_t levels, const std::string& first,
                    const std::string& rest) {
    std::uint32_t h[31] = {124, 0x21007, size, size, 0, 0, levels};
    h[18] = 32, h[19] = 0x4;
    std::memcpy(&h[20], fourCc, 4);
    std::string file = "DDS " + std::string(reinterpret_cast<const char*>(h), 124);
    for (std::uint32_t i = 0, n = size; i < levels; ++i, n = std::max(n / 2, 1u))
        for (std::uint32_t b = 0; b < std::max(n / 4, 1u) * std::max(n / 4, 1u); ++b) file += i ? rest : first;
    return file;
}

}  // namespace

TEST_F(GlDeviceTest, DxtTexturesDrawWithTheirColoursAndTheirOwnMipLevels) {
    const auto dir = std::filesystem::temp_directory_path() / ("vellumar_dds_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    // DXT1: level 0 red, the smaller levels blue. DXT5: green, its right half transparent (alpha index 1 = 0).
    const std::string red("\x00\xF8\x00\xF8\x00\x00\x00\x00", 8), blue("\x1F\x00\x1F\x00\x00\x00\x00\x00", 8);
    const std::string green = std::string("\xFF\x00\x40\x02\x24\x40\x02\x24", 8) + std::string("\xE0\x07\xE0\x07\x00\x00\x00\x00", 8);
    std::ofstream((dir / "mips.dds").string(), std::ios::binary) << DdsFile("DXT1", 16, 5, red, blue);
    std::ofstream((dir / "alpha.dds").string(), std::ios::binary) << DdsFile("DXT5", 4, 1, green, green);
    IDirect3DTexture9* mips = nullptr;
    IDirect3DTexture9* alpha = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device_, (dir / "mips.dds").c_str(), &mips), S_OK);
    ASSERT_EQ(D3DXCreateTextureFromFileA(device_, (dir / "alpha.dds").c_str(), &alpha), S_OK);
    std::filesystem::remove_all(dir);

    SetEmissive(1, 1, 1);
    for (D3DSAMPLERSTATETYPE type : {D3DSAMP_MINFILTER, D3DSAMP_MAGFILTER, D3DSAMP_MIPFILTER})
        device_->SetSamplerState(0, type, D3DTEXF_POINT);
    device_->SetTexture(0, mips);
    ID3DXMesh* large = Mesh(Square(-2, 0, 0, 1.5f));
    ID3DXMesh* tiny = Mesh(Square(2, 0, 0, 0.02f));  // 16 texels over about 3 pixels: a small level
    Draw({large, tiny});
    int x, y;
    Project(-2, 0, 0, x, y);
    ExpectColour(At(x, y), 1, 0, 0);
    Project(2, 0, 0, x, y);
    ExpectColour(At(x, y), 0, 0, 1);

    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device_->SetTexture(0, alpha);
    Draw({large});
    Project(-2.75f, 0, 0, x, y);
    ExpectColour(At(x, y), 0, 1, 0);
    Project(-1.25f, 0, 0, x, y);
    EXPECT_TRUE(IsBackground(x, y));
    device_->SetTexture(0, nullptr);
    mips->Release();
    alpha->Release();
}

TEST_F(GlDeviceTest, NearerSurfaceHidesFartherOneUntilDepthIsOff) {
    ID3DXMesh* near = Mesh(Square(0, 0, -1, 1));
    ID3DXMesh* far = Mesh(Square(0, 0, 1, 1));
    int x, y;
    Project(0, 0, 0, x, y);
    D3DMATERIAL9 red{}, green{};
    red.Emissive = Colour(1, 0, 0);
    green.Emissive = Colour(0, 1, 0);

    // Material changes between subsets need their own draws.
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    device_->BeginScene();
    device_->SetMaterial(&red);
    near->DrawSubset(0);
    device_->SetMaterial(&green);
    far->DrawSubset(0);
    device_->EndScene();
    pixels_ = device_->ReadBackBuffer();
    ExpectColour(At(x, y), 1, 0, 0);

    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    device_->SetMaterial(&red);
    near->DrawSubset(0);
    device_->SetMaterial(&green);
    far->DrawSubset(0);
    pixels_ = device_->ReadBackBuffer();
    ExpectColour(At(x, y), 0, 1, 0);
}

namespace {

// A row of squares `spacing` apart (they overlap below 1.6), each turned and moved by its own world matrix,
// in two materials: the first five warm and the rest cool, or taking turns. With `oneByOne` each draw is
// sent on its own. The fill mode set after the last draw must not reach the draws still held back. Gives
// the GL draw calls the row took.
std::size_t DrawRow(CGlDevice* device, ID3DXMesh* square, float spacing, bool alternate, bool oneByOne,
                    std::vector<BYTE>& pixels) {
    D3DMATERIAL9 warm{}, cool{};
    warm.Diffuse = Colour(0.9f, 0.5f, 0.2f, 0.8f);  // see-through, blended: the order shows
    cool.Diffuse = Colour(0.2f, 0.6f, 0.9f, 0.6f);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = Colour(1, 1, 1);
    light.Direction = {0.3f, -0.4f, 0.8f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    const std::size_t before = device->InstancedCalls();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    device->BeginScene();
    for (int i = 0; i < 8; ++i) {
        device->SetMaterial((alternate ? i % 2 == 0 : i < 5) ? &warm : &cool);
        D3DXMATRIX turn, shift, world;
        D3DXMatrixRotationY(&turn, 0.25f * static_cast<float>(i) - 0.8f);
        D3DXMatrixTranslation(&shift, spacing * (static_cast<float>(i) - 3.5f), 0.0f, 0.1f * static_cast<float>(i % 3));
        D3DXMatrixMultiply(&world, &turn, &shift);
        device->SetTransform(D3DTS_WORLD, &world);
        square->DrawSubset(0);
        if (oneByOne) device->FlushDraws();
    }
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    device->EndScene();
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    pixels = device->ReadBackBuffer();
    return device->InstancedCalls() - before;
}

}  // namespace

TEST_F(GlDeviceTest, DrawsDifferingOnlyInTheWorldMatrixShareCallsWithoutChangingAPixel) {
    ID3DXMesh* square = Mesh(Square(0, 0, 0, 0.8f));
    // Calls: one per material where the draws of each come in a run or their squares stand apart; where
    // squares of taking-turns materials overlap, no draw may pass another.
    const struct {
        float spacing;
        bool alternate;
        std::size_t calls;
    } cases[] = {{1.0f, false, 2}, {1.0f, true, 8}, {2.0f, true, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "spacing " << c.spacing << (c.alternate ? ", taking turns" : ""));
        std::vector<BYTE> single;
        EXPECT_EQ(DrawRow(device_, square, c.spacing, c.alternate, true, single), 8u);
        EXPECT_EQ(DrawRow(device_, square, c.spacing, c.alternate, false, pixels_), c.calls);
        ASSERT_EQ(pixels_.size(), single.size());
        EXPECT_TRUE(pixels_ == single) << "the instanced calls draw other pixels than the single ones";
        int x, y;
        Project(-3.5f * c.spacing, 0, 0, x, y);
        EXPECT_FALSE(IsBackground(x, y));
        Project(0.5f * c.spacing, 0.2f, 0, x, y);  // inside a square: solid, not the wireframe set after the draws
        EXPECT_FALSE(IsBackground(x, y));
    }
}

TEST_F(GlDeviceTest, StatesReadBackAsLastSet) {
    DWORD value = 0;
    device_->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, D3DCULL_CCW);
    device_->GetRenderState(D3DRS_ZFUNC, &value);
    EXPECT_EQ(value, D3DCMP_LESSEQUAL);
    device_->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, D3DTOP_MODULATE);
    D3DVIEWPORT9 viewport{};
    device_->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 1280u);
    EXPECT_EQ(viewport.Height, 720u);
    EXPECT_EQ(viewport.MaxZ, 1.0f);

    SetEmissive(1, 1, 1);
    device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    Draw({Mesh(Square(0, 0, 0, 1))});
    device_->Present(nullptr, nullptr, nullptr, nullptr);
    device_->GetRenderState(D3DRS_FILLMODE, &value);
    EXPECT_EQ(value, D3DFILL_WIREFRAME) << "a state holds until set again";
    D3DMATRIX view{};
    device_->GetTransform(D3DTS_VIEW, &view);
    EXPECT_EQ(0, std::memcmp(&view, &view_, sizeof(view)));

    D3DVIEWPORT9 tooWide{0, 0, 1281, 720, 0.0f, 1.0f};
    EXPECT_LT(device_->SetViewport(&tooWide), 0);
    EXPECT_EQ(device_->BeginScene(), S_OK);
    EXPECT_LT(device_->BeginScene(), 0) << "a scene cannot begin twice";
    EXPECT_EQ(device_->EndScene(), S_OK);
    EXPECT_LT(device_->EndScene(), 0);

    // A mesh whose indices point past its vertices is refused rather than drawn out of bounds.
    MeshData broken = Square(0, 0, 0, 1);
    broken.indices[4] = 4;
    IMeshBuffers* buffers = nullptr;
    EXPECT_LT(device_->CreateMeshBuffers(broken.vertices.data(), 4, broken.indices.data(), 6, &buffers), 0);
    EXPECT_EQ(buffers, nullptr);
}

TEST_F(GlDeviceTest, PixelsSampleAtIntegerCoordinatesAndReadBackThroughASurface) {
    // A red rectangle from 10.25 to 20.25 in back-buffer pixels: pixel centres sit on whole numbers, so
    // columns and rows 11 to 20 are covered, not 10 to 19 as OpenGL's half-pixel centres alone would give.
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device_->SetTransform(D3DTS_VIEW, &identity);
    device_->SetTransform(D3DTS_PROJECTION, &identity);
    const float l = 10.25f / kWidth * 2 - 1, r = 20.25f / kWidth * 2 - 1;
    const float t = 1 - 10.25f / kHeight * 2, b = 1 - 20.25f / kHeight * 2;
    MeshData mesh;
    mesh.vertices = {{{l, t, 0.5f}, {0, 0, -1}, {0, 0}}, {{r, t, 0.5f}, {0, 0, -1}, {1, 0}},
                     {{r, b, 0.5f}, {0, 0, -1}, {1, 1}}, {{l, b, 0.5f}, {0, 0, -1}, {0, 1}}};
    mesh.indices = {0, 1, 2, 0, 2, 3};
    mesh.attributes = {{0, 0, 2, 0, 4}};
    SetEmissive(1, 0, 0);
    Draw({Mesh(std::move(mesh))});

    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* copy = nullptr;
    ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), S_OK);
    ASSERT_EQ(device_->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr),
              S_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(back->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3DERR_INVALIDCALL) << "the back buffer is not lockable";
    EXPECT_EQ(device_->GetRenderTargetData(copy, back), D3DERR_INVALIDCALL);
    ASSERT_EQ(device_->GetRenderTargetData(back, copy), S_OK);
    ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), S_OK);
    auto red = [&](int x, int y) {  // X8R8G8B8: blue, green, red, unused
        const BYTE* p = static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * 4;
        return p[2] == 255 && p[1] == 0 && p[0] == 0;
    };
    EXPECT_TRUE(red(11, 11) && red(20, 20) && red(11, 20) && red(20, 11));
    EXPECT_FALSE(red(10, 15) || red(15, 10) || red(21, 15) || red(15, 21));
    copy->UnlockRect();
    copy->Release();
    back->Release();
}

TEST_F(GlDeviceTest, GuiIsDrawnOverTheScene) {
    ImGui::CreateContext();
    ImGui::StyleColorsDark();
    ImGui::GetIO().IniFilename = nullptr;
    ASSERT_TRUE(platform_.GuiInit(device_));

    // The whole back buffer red, then a GUI window over part of it.
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device_->SetTransform(D3DTS_VIEW, &identity);
    device_->SetTransform(D3DTS_PROJECTION, &identity);
    SetEmissive(1, 0, 0);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    device_->BeginScene();
    Mesh(Square(0, 0, 0.5f, 1.0f))->DrawSubset(0);
    platform_.GuiNewFrame();
    ImGui::NewFrame();
    ImGui::SetNextWindowPos(ImVec2(100, 100));
    ImGui::SetNextWindowSize(ImVec2(300, 200));
    ImGui::Begin("Panel");
    ImGui::Text("over the scene");
    ImGui::End();
    ImGui::Render();
    device_->RenderGui(ImGui::GetDrawData());
    device_->EndScene();
    pixels_ = device_->ReadBackBuffer();

    EXPECT_LT(At(250, 250).r, 100) << "the GUI window's background covers the red scene";
    ExpectColour(At(800, 500), 1, 0, 0);
    ExpectColour(At(50, 50), 1, 0, 0);

    platform_.GuiShutdown();
    ImGui::DestroyContext();
}

}  // namespace
