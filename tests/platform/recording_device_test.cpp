// The recording device refuses what the real device (and the OpenGL one, through the same base) refuses,
// so a test that makes such a call fails instead of passing on a device that took it.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/headless/recording_device.h"

namespace {

struct Refused {
    const char* what;
    std::function<HRESULT(IDirect3DDevice9&)> call;
};

}  // namespace

TEST(RecordingDevice, RefusesWhatTheRealDeviceRefuses) {
    CRecordingDevice* device = new CRecordingDevice();
    const BYTE pixel[4] = {};
    const MeshVertex vertex{};
    const std::uint32_t outside[3] = {0, 0, 1};
    const std::uint32_t inside[3] = {0, 0, 0};
    IMeshBuffers* mesh = nullptr;
    ASSERT_EQ(device->CreateMeshBuffers(&vertex, 1, inside, 3, &mesh), S_OK);
    CRecordingDevice* other = new CRecordingDevice();
    IMeshBuffers* foreign = nullptr;
    ASSERT_EQ(other->CreateMeshBuffers(&vertex, 1, inside, 3, &foreign), S_OK);

    const std::vector<Refused> cases = {
        {"a light of no known type", [](IDirect3DDevice9& d) { D3DLIGHT9 l{}; l.Type = static_cast<D3DLIGHTTYPE>(7); return d.SetLight(0, &l); }},
        {"asking about a light never set", [](IDirect3DDevice9& d) { BOOL on; return d.GetLightEnable(5, &on); }},
        {"an empty viewport", [](IDirect3DDevice9& d) { D3DVIEWPORT9 v{0, 0, 0, 10, 0, 1}; return d.SetViewport(&v); }},
        {"a viewport past the back buffer", [](IDirect3DDevice9& d) { D3DVIEWPORT9 v{1000, 0, 281, 720, 0, 1}; return d.SetViewport(&v); }},
        {"a viewport with MinZ > MaxZ", [](IDirect3DDevice9& d) { D3DVIEWPORT9 v{0, 0, 10, 10, 0.8f, 0.2f}; return d.SetViewport(&v); }},
        {"a clear of nothing", [](IDirect3DDevice9& d) { return d.Clear(0, nullptr, 0, 0, 1.0f, 0); }},
        {"a count of rectangles without them", [](IDirect3DDevice9& d) { return d.Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0); }},
        {"an EndScene without a scene", [](IDirect3DDevice9& d) { return d.EndScene(); }},
        {"a scene inside a scene", [](IDirect3DDevice9& d) { d.BeginScene(); HRESULT hr = d.BeginScene(); d.EndScene(); return hr; }},
        {"a texture over the size limit", [&](IDirect3DDevice9& d) { IDirect3DTexture9* t = nullptr; return d.CreateTextureFromPixels(8193, 1, pixel, &t); }},
        {"a mip chain longer than the size allows", [&](IDirect3DDevice9& d) { const BYTE* levels[2] = {pixel, pixel}; IDirect3DTexture9* t = nullptr; return d.CreateTextureFromLevels(1, 1, 2, levels, &t); }},
        {"an index past the last vertex", [&](IDirect3DDevice9& d) { IMeshBuffers* b = nullptr; return d.CreateMeshBuffers(&vertex, 1, outside, 3, &b); }},
        {"a draw past the end of the indices", [&](IDirect3DDevice9& d) { return d.DrawMeshSubset(mesh, 0, 1, 3); }},
        {"a draw with another device's buffers", [&](IDirect3DDevice9& d) { return d.DrawMeshSubset(foreign, 0, 0, 3); }},
    };
    for (const Refused& c : cases) EXPECT_EQ(c.call(*device), D3DERR_INVALIDCALL) << c.what;

    // What passes the checks still works, and a light enabled without being set is the default one.
    EXPECT_EQ(device->DrawMeshSubset(mesh, 0, 0, 3), S_OK);
    EXPECT_EQ(device->LightEnable(3, TRUE), S_OK);
    D3DLIGHT9 light{};
    EXPECT_EQ(device->GetLight(3, &light), S_OK);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Direction.z, 1.0f);
    SafeRelease(mesh);
    SafeRelease(foreign);
    other->Release();
    device->Release();
}
