#include "render/renderer.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "render/camera.h"
#include "render/light.h"
#include "render/view_aids.h"
#include "resource/shader_manager.h"
#include "scene/object.h"
#include "scene/stage.h"

namespace {
bool GuiFrameOpen() { return ImGui::GetCurrentContext() && ImGui::GetCurrentContext()->WithinFrameScope; }
}  // namespace

CRenderer::~CRenderer() { Uninit(); }

HRESULT CRenderer::Init(HWND window, IPlatform* instance) {
    if (!instance) return E_FAIL;
    platform_ = instance;
    d3d_ = instance->Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d_) return E_FAIL;
    D3DDISPLAYMODE mode{};
    if (HRESULT hr = d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode); FAILED(hr)) return hr;

    parameters_ = D3DPRESENT_PARAMETERS{};
    parameters_.BackBufferWidth = 1280;
    parameters_.BackBufferHeight = 720;
    parameters_.BackBufferFormat = mode.Format;
    parameters_.BackBufferCount = 1;
    parameters_.MultiSampleType = D3DMULTISAMPLE_NONE;
    parameters_.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters_.hDeviceWindow = nullptr;
    parameters_.Windowed = TRUE;
    parameters_.EnableAutoDepthStencil = TRUE;
    parameters_.AutoDepthStencilFormat = D3DFMT_D24S8;
    parameters_.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;

    // Hardware vertex processing first, then software, then the reference rasterizer.
    const struct {
        D3DDEVTYPE type;
        DWORD flags;
    } attempts[] = {
        {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    };
    HRESULT hr = E_FAIL;
    for (const auto& attempt : attempts) {
        hr = d3d_->CreateDevice(D3DADAPTER_DEFAULT, attempt.type, window, attempt.flags, &parameters_, &device_);
        if (SUCCEEDED(hr)) break;
        device_ = nullptr;
    }
    if (!device_) return FAILED(hr) ? hr : E_FAIL;  // the last attempt's reason
    SetFixedStates();
    return S_OK;
}

void CRenderer::SetFixedStates() {
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

    device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device_->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);

    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
}

bool CRenderer::Restore() {
    if (!lost_) return true;
    HRESULT hr = device_->TestCooperativeLevel();
    if (hr == D3DERR_DEVICENOTRESET) {
        // Reset refuses while anything still holds objects in the default pool.
        IPlatform* platform = platform_;
        CShaderManager* shaders = parts_.shaders;
        if (platform) platform->GuiInvalidateDeviceObjects();
        if (shaders) shaders->OnLostDevice();
        D3DPRESENT_PARAMETERS parameters = parameters_;  // Reset may write into what it is given
        if (FAILED(device_->Reset(&parameters))) return false;  // tried again next frame
        SetFixedStates();
        const bool wireframe = parts_.wireframe && *parts_.wireframe;
        device_->SetRenderState(D3DRS_FILLMODE, wireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
        if (CLight* light = parts_.light) light->Apply();
        if (CCamera* camera = parts_.camera) camera->SetCamera();
        if (shaders) shaders->OnResetDevice();
        if (platform) platform->GuiCreateDeviceObjects();
    } else if (FAILED(hr)) {
        return false;  // still lost (another program holds the display): nothing is drawn
    }
    lost_ = false;
    return true;
}

void CRenderer::Draw() {
    if (!device_) return;
    if (!Restore()) {
        if (GuiFrameOpen()) ImGui::EndFrame();
        return;
    }
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0x00000000, 1.0f, 0);
    if (SUCCEEDED(device_->BeginScene())) {
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

        CObject::DrawAll();
        if (CStage* stage = parts_.stage) stage->DrawVisible();
        if (CViewAids* aids = parts_.viewAids) {
            if (parts_.stage) aids->SetPlaceholders(parts_.stage->Placeholders());
            aids->Draw();
        }

        // The GUI is drawn last, over the scene; only when a GUI frame is open.
        if (GuiFrameOpen() && guiDrawn_) {
            ImGui::Render();
            if (platform_) platform_->GuiRenderDrawData(ImGui::GetDrawData());
        }
        device_->EndScene();
        if (beforePresent_) beforePresent_();
    }
    if (GuiFrameOpen()) ImGui::EndFrame();  // not drawn, but the GUI frame must be closed before the next one
    if (device_->Present(nullptr, nullptr, nullptr, nullptr) == D3DERR_DEVICELOST) lost_ = true;
}

void CRenderer::Uninit() {
    SafeRelease(device_);
    SafeRelease(d3d_);
}
