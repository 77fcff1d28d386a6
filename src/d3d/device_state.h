// The state a graphics device keeps between calls: render, sampler and texture-stage states, transforms,
// lights and which are enabled, the material, the texture of each stage and the viewport. It starts with
// the original device's defaults and a state holds until set again. The Set*/Get* calls check their
// arguments as the device interface does; a bad call changes nothing and returns the device's own
// invalid-call code, given at construction.
#pragma once

#include <array>
#include <map>
#include <set>

#include "d3d/d3d9.h"

class CDeviceState {
public:
    static constexpr DWORD kSamplers = 16;
    static constexpr DWORD kTextureStages = 8;

    // The viewport starts as the whole back buffer.
    CDeviceState(UINT backBufferWidth, UINT backBufferHeight, HRESULT invalidCall);

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) const;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value);
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) const;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) const;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix);
    // A transform never set reads as identity.
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) const;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light);
    // Fails for a light never set.
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) const;
    HRESULT LightEnable(DWORD index, BOOL enable);
    HRESULT GetLightEnable(DWORD index, BOOL* enable) const;
    HRESULT SetMaterial(const D3DMATERIAL9* material);
    HRESULT GetMaterial(D3DMATERIAL9* material) const;
    // Textures are not owned: the state only keeps the pointer. GetTexture adds a reference, as the
    // interface does.
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture);
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) const;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport);
    HRESULT GetViewport(D3DVIEWPORT9* viewport) const;

    // Unbinds `texture` from every stage it is bound to.
    void ForgetTexture(IDirect3DBaseTexture9* texture);

    // ---- direct reads for drawing (no reference counting; indices must be in range) ----
    DWORD RenderState(D3DRENDERSTATETYPE state) const { return renderStates_[state]; }
    DWORD SamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const { return samplerStates_[sampler][type]; }
    DWORD TextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const { return stageStates_[stage][type]; }
    D3DMATRIX Transform(D3DTRANSFORMSTATETYPE state) const;
    bool HasLight(DWORD index) const { return lights_.count(index) != 0; }
    // The light set at `index`; it must exist (HasLight).
    const D3DLIGHT9& Light(DWORD index) const { return lights_.at(index); }
    bool IsLightEnabled(DWORD index) const { return enabledLights_.count(index) != 0; }
    // The enabled lights' indices, lowest first.
    const std::set<DWORD>& EnabledLights() const { return enabledLights_; }
    const D3DMATERIAL9& Material() const { return material_; }
    // Null for a stage past the last one.
    IDirect3DBaseTexture9* Texture(DWORD stage) const { return stage < kTextureStages ? textures_[stage] : nullptr; }
    const D3DVIEWPORT9& Viewport() const { return viewport_; }

private:
    HRESULT invalidCall_;
    std::array<DWORD, D3DRS_COUNT> renderStates_{};
    std::array<std::array<DWORD, D3DSAMP_COUNT>, kSamplers> samplerStates_{};
    std::array<std::array<DWORD, D3DTSS_COUNT>, kTextureStages> stageStates_{};
    std::map<DWORD, D3DMATRIX> transforms_;
    std::map<DWORD, D3DLIGHT9> lights_;
    std::set<DWORD> enabledLights_;
    D3DMATERIAL9 material_{};
    std::array<IDirect3DBaseTexture9*, kTextureStages> textures_{};
    D3DVIEWPORT9 viewport_{};
};
