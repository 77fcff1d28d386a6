#include "platform/headless/recording_device.h"

#include <imgui.h>

#include <string>
#include <vector>

namespace {

std::string Args(std::initializer_list<long long> values) {
    std::string s = "(";
    bool first = true;
    for (long long v : values) {
        if (!first) s += ",";
        s += std::to_string(v);
        first = false;
    }
    return s + ")";
}

class CMeshBuffers : public RefCounted<IMeshBuffers> {};

class CVertexDeclaration : public RefCounted<IDirect3DVertexDeclaration9> {};

}  // namespace

// A texture that keeps its pixels, so tests can see what was loaded.
class CRecordedTexture : public RefCounted<IDirect3DTexture9> {
public:
    CRecordedTexture(CRecordingDevice* device, UINT w, UINT h, const BYTE* rgba)
        : device_(device), width_(w), height_(h), pixels_(rgba, rgba + std::size_t(w) * h * 4) {
        device_->AddRef();
        ++device_->liveTextures_;
    }
    UINT GetWidth() const override { return width_; }
    UINT GetHeight() const override { return height_; }

protected:
    ~CRecordedTexture() override {
        --device_->liveTextures_;
        device_->Release();
    }

private:
    CRecordingDevice* device_;
    UINT width_, height_;
    std::vector<BYTE> pixels_;
};

CRecordingDevice::CRecordingDevice() {
    // The original device's defaults.
    renderStates_[D3DRS_LIGHTING] = TRUE;
    renderStates_[D3DRS_AMBIENT] = 0;
    renderStates_[D3DRS_SPECULARENABLE] = FALSE;
    renderStates_[D3DRS_COLORVERTEX] = TRUE;
    renderStates_[D3DRS_LOCALVIEWER] = TRUE;
    renderStates_[D3DRS_NORMALIZENORMALS] = FALSE;
    renderStates_[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    renderStates_[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    renderStates_[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    renderStates_[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    renderStates_[D3DRS_ZENABLE] = D3DZB_TRUE;
    renderStates_[D3DRS_ZWRITEENABLE] = TRUE;
    renderStates_[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    renderStates_[D3DRS_CULLMODE] = D3DCULL_CCW;
    renderStates_[D3DRS_FILLMODE] = D3DFILL_SOLID;
    renderStates_[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    renderStates_[D3DRS_ALPHABLENDENABLE] = FALSE;
    renderStates_[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    renderStates_[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    for (auto& sampler : samplerStates_) {
        sampler[D3DSAMP_ADDRESSU] = sampler[D3DSAMP_ADDRESSV] = sampler[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_MAGFILTER] = sampler[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    }
    for (DWORD stage = 0; stage < 8; ++stage) {
        stageStates_[stage][D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        stageStates_[stage][D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        stageStates_[stage][D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        stageStates_[stage][D3DTSS_COLORARG2] = D3DTA_CURRENT;
        stageStates_[stage][D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        stageStates_[stage][D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    }
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    transforms_[D3DTS_WORLD] = transforms_[D3DTS_VIEW] = transforms_[D3DTS_PROJECTION] = identity;
}

CRecordingDevice::~CRecordingDevice() { *alive_ = false; }

HRESULT CRecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    Record("SetRenderState" + Args({state, value}));
    if (state >= D3DRS_COUNT) return E_INVALIDARG;
    renderStates_[state] = value;
    return S_OK;
}

HRESULT CRecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (state >= D3DRS_COUNT || !value) return E_INVALIDARG;
    *value = renderStates_[state];
    return S_OK;
}

HRESULT CRecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    Record("SetSamplerState" + Args({sampler, type, value}));
    if (sampler >= samplerStates_.size() || type >= D3DSAMP_COUNT) return E_INVALIDARG;
    samplerStates_[sampler][type] = value;
    return S_OK;
}

HRESULT CRecordingDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (sampler >= samplerStates_.size() || type >= D3DSAMP_COUNT || !value) return E_INVALIDARG;
    *value = samplerStates_[sampler][type];
    return S_OK;
}

HRESULT CRecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    Record("SetTextureStageState" + Args({stage, type, value}));
    if (stage >= stageStates_.size() || type >= D3DTSS_COUNT) return E_INVALIDARG;
    stageStates_[stage][type] = value;
    return S_OK;
}

HRESULT CRecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (stage >= stageStates_.size() || type >= D3DTSS_COUNT || !value) return E_INVALIDARG;
    *value = stageStates_[stage][type];
    return S_OK;
}

HRESULT CRecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    Record("SetTransform" + Args({state}));
    if (!matrix) return E_INVALIDARG;
    transforms_[state] = *matrix;
    return S_OK;
}

HRESULT CRecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    if (!matrix) return E_INVALIDARG;
    auto it = transforms_.find(state);
    if (it == transforms_.end()) {
        D3DXMATRIX identity;
        *matrix = *D3DXMatrixIdentity(&identity);
    } else {
        *matrix = it->second;
    }
    return S_OK;
}

HRESULT CRecordingDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
    Record("SetLight" + Args({index}));
    if (!light) return E_INVALIDARG;
    lights_[index] = *light;
    return S_OK;
}

HRESULT CRecordingDevice::GetLight(DWORD index, D3DLIGHT9* light) {
    auto it = lights_.find(index);
    if (!light || it == lights_.end()) return E_INVALIDARG;
    *light = it->second;
    return S_OK;
}

HRESULT CRecordingDevice::LightEnable(DWORD index, BOOL enable) {
    Record("LightEnable" + Args({index, enable}));
    if (enable)
        enabledLights_.insert(index);
    else
        enabledLights_.erase(index);
    return S_OK;
}

HRESULT CRecordingDevice::GetLightEnable(DWORD index, BOOL* enable) {
    if (!enable) return E_INVALIDARG;
    *enable = enabledLights_.count(index) ? TRUE : FALSE;
    return S_OK;
}

HRESULT CRecordingDevice::SetMaterial(const D3DMATERIAL9* material) {
    Record("SetMaterial");
    if (!material) return E_INVALIDARG;
    material_ = *material;
    return S_OK;
}

HRESULT CRecordingDevice::GetMaterial(D3DMATERIAL9* material) {
    Record("GetMaterial");
    if (!material) return E_INVALIDARG;
    *material = material_;
    return S_OK;
}

HRESULT CRecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    Record(std::string("SetTexture(") + std::to_string(stage) + "," + (texture ? "texture" : "null") + ")");
    if (stage >= textures_.size()) return E_INVALIDARG;
    textures_[stage] = texture;
    return S_OK;
}

HRESULT CRecordingDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (stage >= textures_.size() || !texture) return E_INVALIDARG;
    *texture = textures_[stage];
    if (*texture) (*texture)->AddRef();
    return S_OK;
}

HRESULT CRecordingDevice::SetViewport(const D3DVIEWPORT9* viewport) {
    Record("SetViewport");
    if (!viewport) return E_INVALIDARG;
    viewport_ = *viewport;
    return S_OK;
}

HRESULT CRecordingDevice::GetViewport(D3DVIEWPORT9* viewport) {
    if (!viewport) return E_INVALIDARG;
    *viewport = viewport_;
    return S_OK;
}

HRESULT CRecordingDevice::Clear(DWORD count, const D3DRECT*, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    Record("Clear" + Args({count, flags, color, static_cast<long long>(z), stencil}));
    return S_OK;
}

HRESULT CRecordingDevice::BeginScene() {
    Record("BeginScene");
    if (beginSceneFails_ || inScene_) return E_FAIL;
    inScene_ = true;
    return S_OK;
}

HRESULT CRecordingDevice::EndScene() {
    Record("EndScene");
    if (!inScene_) return E_FAIL;
    inScene_ = false;
    return S_OK;
}

HRESULT CRecordingDevice::Present(const void*, const void*, HWND, const void*) {
    Record("Present");
    return S_OK;
}

HRESULT CRecordingDevice::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                                  IDirect3DVertexDeclaration9** declaration) {
    Record("CreateVertexDeclaration");
    if (!elements || !declaration) return E_INVALIDARG;
    *declaration = new CVertexDeclaration();
    return S_OK;
}

HRESULT CRecordingDevice::CreateTextureFromPixels(UINT width, UINT height, const BYTE* rgba,
                                                  IDirect3DTexture9** texture) {
    Record("CreateTexture" + Args({width, height}));
    if (!texture || !rgba || width == 0 || height == 0) return E_INVALIDARG;
    *texture = new CRecordedTexture(this, width, height, rgba);
    return S_OK;
}

HRESULT CRecordingDevice::CreateMeshBuffers(const MeshVertex*, UINT, const std::uint32_t*, UINT,
                                            IMeshBuffers** buffers) {
    if (!buffers) return E_INVALIDARG;
    *buffers = new CMeshBuffers();
    return S_OK;
}

HRESULT CRecordingDevice::DrawMeshSubset(IMeshBuffers*, DWORD attribId, UINT, UINT) {
    Record("DrawSubset" + Args({attribId}));
    DrawRecord record{attribId, material_, textures_[0], D3DXMATRIX(transforms_[D3DTS_WORLD]),
                      renderStates_[D3DRS_FILLMODE]};
    draws_.push_back(record);
    return S_OK;
}

void CRecordingDevice::RenderGui(ImDrawData* drawData) {
    Record("RenderGui");
    guiDrawLists_ = drawData ? drawData->CmdListsCount : 0;
}

HRESULT CRecordingDirect3D9::GetAdapterDisplayMode(UINT, D3DDISPLAYMODE* mode) {
    if (failDisplayMode || !mode) return E_FAIL;
    *mode = {1920, 1080, 60, D3DFMT_X8R8G8B8};
    return S_OK;
}

HRESULT CRecordingDirect3D9::CreateDevice(UINT, D3DDEVTYPE type, HWND, DWORD behaviorFlags,
                                          D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) {
    attempts.emplace_back(type, behaviorFlags);
    if (!device || !parameters) return E_INVALIDARG;
    *device = nullptr;
    if (refused.count({type, behaviorFlags})) return E_FAIL;
    lastParameters = *parameters;
    lastDevice = new CRecordingDevice();
    *device = lastDevice;
    return S_OK;
}
