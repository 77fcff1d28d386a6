#include "d3d/device_state.h"

#include <algorithm>

#include "d3d/d3dx9.h"

namespace {

D3DMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

}  // namespace

CDeviceState::CDeviceState(UINT backBufferWidth, UINT backBufferHeight, HRESULT invalidCall)
    : invalidCall_(invalidCall), viewport_{0, 0, backBufferWidth, backBufferHeight, 0.0f, 1.0f} {
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
        sampler[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    }
    for (DWORD stage = 0; stage < kTextureStages; ++stage) {
        stageStates_[stage][D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        stageStates_[stage][D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        stageStates_[stage][D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        stageStates_[stage][D3DTSS_COLORARG2] = D3DTA_CURRENT;
        stageStates_[stage][D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        stageStates_[stage][D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    }
    transforms_[D3DTS_WORLD] = transforms_[D3DTS_VIEW] = transforms_[D3DTS_PROJECTION] = Identity();
}

HRESULT CDeviceState::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= D3DRS_COUNT) return invalidCall_;
    renderStates_[state] = value;
    return S_OK;
}

HRESULT CDeviceState::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) const {
    if (state >= D3DRS_COUNT || !value) return invalidCall_;
    *value = renderStates_[state];
    return S_OK;
}

HRESULT CDeviceState::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= kSamplers || type >= D3DSAMP_COUNT) return invalidCall_;
    samplerStates_[sampler][type] = value;
    return S_OK;
}

HRESULT CDeviceState::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) const {
    if (sampler >= kSamplers || type >= D3DSAMP_COUNT || !value) return invalidCall_;
    *value = samplerStates_[sampler][type];
    return S_OK;
}

HRESULT CDeviceState::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= kTextureStages || type >= D3DTSS_COUNT) return invalidCall_;
    stageStates_[stage][type] = value;
    return S_OK;
}

HRESULT CDeviceState::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) const {
    if (stage >= kTextureStages || type >= D3DTSS_COUNT || !value) return invalidCall_;
    *value = stageStates_[stage][type];
    return S_OK;
}

HRESULT CDeviceState::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (!matrix) return invalidCall_;
    transforms_[state] = *matrix;
    return S_OK;
}

HRESULT CDeviceState::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const {
    if (!matrix) return invalidCall_;
    *matrix = Transform(state);
    return S_OK;
}

D3DMATRIX CDeviceState::Transform(D3DTRANSFORMSTATETYPE state) const {
    auto it = transforms_.find(state);
    return it == transforms_.end() ? Identity() : it->second;
}

HRESULT CDeviceState::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (!light) return invalidCall_;
    lights_[index] = *light;
    return S_OK;
}

HRESULT CDeviceState::GetLight(DWORD index, D3DLIGHT9* light) const {
    auto it = lights_.find(index);
    if (!light || it == lights_.end()) return invalidCall_;
    *light = it->second;
    return S_OK;
}

HRESULT CDeviceState::LightEnable(DWORD index, BOOL enable) {
    if (enable)
        enabledLights_.insert(index);
    else
        enabledLights_.erase(index);
    return S_OK;
}

HRESULT CDeviceState::GetLightEnable(DWORD index, BOOL* enable) const {
    if (!enable) return invalidCall_;
    *enable = enabledLights_.count(index) ? TRUE : FALSE;
    return S_OK;
}

HRESULT CDeviceState::SetMaterial(const D3DMATERIAL9* material) {
    if (!material) return invalidCall_;
    material_ = *material;
    return S_OK;
}

HRESULT CDeviceState::GetMaterial(D3DMATERIAL9* material) const {
    if (!material) return invalidCall_;
    *material = material_;
    return S_OK;
}

HRESULT CDeviceState::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= kTextureStages) return invalidCall_;
    textures_[stage] = texture;
    return S_OK;
}

HRESULT CDeviceState::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) const {
    if (stage >= kTextureStages || !texture) return invalidCall_;
    *texture = textures_[stage];
    if (*texture) (*texture)->AddRef();
    return S_OK;
}

void CDeviceState::ForgetTexture(IDirect3DBaseTexture9* texture) {
    std::replace(textures_.begin(), textures_.end(), texture, static_cast<IDirect3DBaseTexture9*>(nullptr));
}

HRESULT CDeviceState::SetViewport(const D3DVIEWPORT9* viewport) {
    if (!viewport) return invalidCall_;
    viewport_ = *viewport;
    return S_OK;
}

HRESULT CDeviceState::GetViewport(D3DVIEWPORT9* viewport) const {
    if (!viewport) return invalidCall_;
    *viewport = viewport_;
    return S_OK;
}
