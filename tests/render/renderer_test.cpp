#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "render/light.h"
#include "render/renderer.h"
#include "support/headless_editor.h"
#include "support/temp_dir.h"

namespace {

using Log = std::vector<std::string>;

// The editor in an empty working directory: no catalogs, so only the renderer's own calls are logged.
class RendererInEmptyFolder : public ::testing::Test {
protected:
    TempDir dir;
    ScopedWorkingDir cwd{dir.Path()};
    HeadlessEditor editor;
};

std::ptrdiff_t IndexOf(const Log& log, const std::string& entry) {
    auto it = std::find(log.begin(), log.end(), entry);
    return it == log.end() ? -1 : it - log.begin();
}

}  // namespace

TEST_F(RendererInEmptyFolder, InitSetsThePresentParametersAndTheFixedStates) {
    const D3DPRESENT_PARAMETERS& pp = editor.Platform().direct3D->lastParameters;
    EXPECT_EQ(pp.BackBufferWidth, 1280u);
    EXPECT_EQ(pp.BackBufferHeight, 720u);
    EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);  // the display mode's format
    EXPECT_EQ(pp.BackBufferCount, 1u);
    EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(pp.Windowed, TRUE);
    EXPECT_EQ(pp.EnableAutoDepthStencil, TRUE);
    EXPECT_EQ(pp.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_EQ(pp.PresentationInterval, 0u);
    EXPECT_EQ(pp.hDeviceWindow, nullptr);

    const Log& log = editor.Device().Log();
    Log expected = {
        "SetRenderState(22,1)",         "SetRenderState(27,1)",         "SetRenderState(19,5)",
        "SetRenderState(20,6)",         "SetSamplerState(0,6,2)",       "SetSamplerState(0,5,2)",
        "SetSamplerState(0,1,1)",       "SetSamplerState(0,2,1)",       "SetTextureStageState(0,4,4)",
        "SetTextureStageState(0,5,2)",  "SetTextureStageState(0,6,1)",
    };
    ASSERT_GE(log.size(), expected.size());
    EXPECT_EQ(Log(log.begin(), log.begin() + expected.size()), expected);
}

TEST_F(RendererInEmptyFolder, AFrameClearsDrawsTheGuiLastAndPresents) {
    editor.Device().ClearLog();
    editor.Frames(1);
    const Log& all = editor.Device().Log();
    std::ptrdiff_t clear = IndexOf(all, "Clear(0,7,0,1,0)");
    ASSERT_GE(clear, 0);
    const Log log(all.begin() + clear, all.end());  // the camera's update comes before drawing
    Log start = {"Clear(0,7,0,1,0)",     "BeginScene",           "SetRenderState(22,3)",
                 "SetRenderState(27,1)", "SetRenderState(19,5)", "SetRenderState(20,6)"};
    ASSERT_GE(log.size(), start.size());
    EXPECT_EQ(Log(log.begin(), log.begin() + start.size()), start);
    std::ptrdiff_t gui = IndexOf(log, "RenderGui"), end = IndexOf(log, "EndScene"), present = IndexOf(log, "Present");
    ASSERT_GE(gui, 0);
    EXPECT_LT(gui, end);
    EXPECT_EQ(end + 1, present);
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].rfind("DrawSubset", 0) == 0) {
            EXPECT_LT(static_cast<std::ptrdiff_t>(i), gui) << log[i];
        }
    }
    EXPECT_GT(editor.Device().GuiDrawLists(), 0);  // the main window was drawn
}

TEST_F(RendererInEmptyFolder, AFailedBeginSceneStillPresents) {
    editor.Device().SetBeginSceneFails(true);
    editor.Device().ClearLog();
    editor.Frames(1);
    const Log& log = editor.Device().Log();
    std::ptrdiff_t begin = IndexOf(log, "BeginScene"), present = IndexOf(log, "Present");
    ASSERT_GE(begin, 1);
    EXPECT_EQ(log[begin - 1], "Clear(0,7,0,1,0)");
    EXPECT_EQ(present, begin + 1);  // nothing drawn in between
    EXPECT_EQ(IndexOf(log, "EndScene"), -1);
    // The next frame works again once the device recovers.
    editor.Device().SetBeginSceneFails(false);
    editor.Frames(1);
    EXPECT_GE(IndexOf(editor.Device().Log(), "RenderGui"), 0);
}

TEST_F(RendererInEmptyFolder, ALostDeviceDrawsNothingUntilItIsResetThenHasItsStatesBack) {
    CRecordingDevice& device = editor.Device();
    editor.Frames(1);
    editor.Manager().wireframe = true;
    device.SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    D3DLIGHT9 light{};
    device.GetLight(1, &light);

    device.SetLoss(CRecordingDevice::Loss::Lost);
    editor.Frames(1);  // Present finds the device lost
    ASSERT_TRUE(editor.Manager().GetRenderer()->IsDeviceLost());
    device.ClearLog();
    editor.Frames(2);
    const Log& lost = device.Log();
    EXPECT_EQ(std::count(lost.begin(), lost.end(), "TestCooperativeLevel"), 2);
    for (const char* call : {"Clear(0,7,0,1,0)", "BeginScene", "Present", "Reset"}) EXPECT_EQ(IndexOf(lost, call), -1) << call;

    device.SetLoss(CRecordingDevice::Loss::Resettable);
    device.ClearLog();
    editor.Frames(1);
    const Log& log = device.Log();
    std::ptrdiff_t reset = IndexOf(log, "Reset"), gui = IndexOf(log, "RenderGui");
    ASSERT_GE(reset, 0) << "the GUI's default-pool objects were not released before Reset";
    EXPECT_GT(gui, reset);
    EXPECT_GT(IndexOf(log, "Present"), gui);
    EXPECT_FALSE(editor.Manager().GetRenderer()->IsDeviceLost());
    EXPECT_EQ(device.defaultPoolObjects, 1);  // the GUI made its objects again

    EXPECT_EQ(device.RenderState(D3DRS_FILLMODE), static_cast<DWORD>(D3DFILL_WIREFRAME));
    EXPECT_EQ(device.RenderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(device.SamplerState(0, D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));
    EXPECT_EQ(device.TextureStageState(0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_MODULATE));
    D3DLIGHT9 again{};
    ASSERT_EQ(device.GetLight(1, &again), S_OK);
    EXPECT_TRUE(device.IsLightEnabled(2));
    EXPECT_EQ(again.Direction.x, light.Direction.x);
    EXPECT_EQ(again.Direction.z, light.Direction.z);
}

TEST_F(RendererInEmptyFolder, TheThreeLightsAreSetOnceInSlotsZeroToTwoAndTheFillLightInThree) {
    CRecordingDevice& device = editor.Device();
    const float expected[3][3] = {
        {0.763441f, -0.632456f, 0.130986f}, {-0.763441f, -0.539835f, 0.354593f}, {-0.763441f, -0.539835f, 0.354593f}};
    for (DWORD i = 0; i < 3; ++i) {
        D3DLIGHT9 light{};
        ASSERT_EQ(device.GetLight(i, &light), S_OK);
        EXPECT_TRUE(device.IsLightEnabled(i));
        EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
        EXPECT_EQ(light.Diffuse.r, 1.0f);
        EXPECT_EQ(light.Diffuse.a, 1.0f);
        EXPECT_EQ(light.Specular.r, 0.0f);
        EXPECT_EQ(light.Ambient.g, 0.0f);
        EXPECT_NEAR(light.Direction.x, expected[i][0], 1e-4f) << i;
        EXPECT_NEAR(light.Direction.y, expected[i][1], 1e-4f) << i;
        EXPECT_NEAR(light.Direction.z, expected[i][2], 1e-4f) << i;
    }
    // The fill light, a view setting that is on unless turned off.
    D3DLIGHT9 fill{};
    ASSERT_EQ(device.GetLight(3, &fill), S_OK);
    EXPECT_TRUE(device.IsLightEnabled(3));
    const D3DLIGHT9 expectedFill = CLight::FillLight();
    EXPECT_EQ(0, std::memcmp(&fill, &expectedFill, sizeof fill));
    EXPECT_FALSE(device.HasLight(4));
}

TEST(RendererInit, FallsBackFromHardwareToSoftwareToReference) {
    const std::pair<DWORD, DWORD> hw{D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING};
    const std::pair<DWORD, DWORD> sw{D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING};
    const std::pair<DWORD, DWORD> ref{D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING};
    struct Case {
        std::set<std::pair<DWORD, DWORD>> refused;
        std::vector<std::pair<DWORD, DWORD>> attempts;
        HRESULT result;
    } cases[] = {
        {{}, {hw}, S_OK},
        {{hw}, {hw, sw}, S_OK},
        {{hw, sw}, {hw, sw, ref}, S_OK},
        {{hw, sw, ref}, {hw, sw, ref}, E_FAIL},
    };
    for (const Case& c : cases) {
        CHeadlessPlatform platform;
        platform.refusedDevices = c.refused;
        CRenderer renderer;
        EXPECT_EQ(renderer.Init(platform.GetWindow(), &platform), c.result);
        EXPECT_EQ(platform.direct3D->attempts, c.attempts);
        EXPECT_EQ(renderer.GetDevice() != nullptr, c.result == S_OK);
        renderer.Uninit();
    }
}

TEST(RendererInit, FailsWithoutDirect3DOrDisplayMode) {
    CHeadlessPlatform noD3D;
    noD3D.failDirect3D = true;
    CRenderer a;
    EXPECT_EQ(a.Init(noD3D.GetWindow(), &noD3D), E_FAIL);

    CHeadlessPlatform noMode;
    noMode.failDisplayMode = true;
    CRenderer b;
    EXPECT_EQ(b.Init(noMode.GetWindow(), &noMode), E_FAIL);
    EXPECT_TRUE(noMode.direct3D->attempts.empty());
}
