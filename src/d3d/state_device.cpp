#include "d3d/state_device.h"

#include <algorithm>

namespace {

class CVertexDeclaration : public RefCounted<IDirect3DVertexDeclaration9> {};

}  // namespace

CStateDevice::CStateDevice(UINT backBufferWidth, UINT backBufferHeight)
    : width_(backBufferWidth), height_(backBufferHeight), state_(backBufferWidth, backBufferHeight, D3DERR_INVALIDCALL) {}

void CStateDevice::ResetState() { state_ = CDeviceState(width_, height_, D3DERR_INVALIDCALL); }

HRESULT CStateDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) { return state_.SetRenderState(state, value); }

HRESULT CStateDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) { return state_.GetRenderState(state, value); }

HRESULT CStateDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    return state_.SetSamplerState(sampler, type, value);
}

HRESULT CStateDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    return state_.GetSamplerState(sampler, type, value);
}

HRESULT CStateDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    return state_.SetTextureStageState(stage, type, value);
}

HRESULT CStateDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    return state_.GetTextureStageState(stage, type, value);
}

HRESULT CStateDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    return state_.SetTransform(state, matrix);
}

HRESULT CStateDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    return state_.GetTransform(state, matrix);
}

HRESULT CStateDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (light && (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL)) return D3DERR_INVALIDCALL;
    return state_.SetLight(index, light);
}

HRESULT CStateDevice::GetLight(DWORD index, D3DLIGHT9* light) { return state_.GetLight(index, light); }

HRESULT CStateDevice::LightEnable(DWORD index, BOOL enable) {
    if (!state_.HasLight(index)) {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        light.Direction = {0.0f, 0.0f, 1.0f};
        state_.SetLight(index, &light);
    }
    return state_.LightEnable(index, enable);
}

HRESULT CStateDevice::GetLightEnable(DWORD index, BOOL* enable) {
    if (!state_.HasLight(index)) return D3DERR_INVALIDCALL;
    return state_.GetLightEnable(index, enable);
}

HRESULT CStateDevice::SetMaterial(const D3DMATERIAL9* material) { return state_.SetMaterial(material); }

HRESULT CStateDevice::GetMaterial(D3DMATERIAL9* material) { return state_.GetMaterial(material); }

HRESULT CStateDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) { return state_.SetTexture(stage, texture); }

HRESULT CStateDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) { return state_.GetTexture(stage, texture); }

HRESULT CStateDevice::SetViewport(const D3DVIEWPORT9* viewport) {
    if (viewport && (viewport->Width == 0 || viewport->Height == 0 || viewport->X >= width_ ||
                     viewport->Y >= height_ || viewport->Width > width_ - viewport->X ||
                     viewport->Height > height_ - viewport->Y ||
                     !(viewport->MinZ >= 0.0f && viewport->MinZ <= viewport->MaxZ && viewport->MaxZ <= 1.0f)))
        return D3DERR_INVALIDCALL;
    return state_.SetViewport(viewport);
}

HRESULT CStateDevice::GetViewport(D3DVIEWPORT9* viewport) { return state_.GetViewport(viewport); }

HRESULT CStateDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    if ((flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) == 0 || (count > 0 && !rects))
        return D3DERR_INVALIDCALL;
    DoClear(count, rects, flags, color, z, stencil);
    return S_OK;
}

HRESULT CStateDevice::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return S_OK;
}

HRESULT CStateDevice::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    DoEndScene();
    return S_OK;
}

HRESULT CStateDevice::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                              IDirect3DVertexDeclaration9** declaration) {
    if (!elements || !declaration) return D3DERR_INVALIDCALL;
    *declaration = new CVertexDeclaration();
    return S_OK;
}

HRESULT CStateDevice::CreateTextureFromPixels(UINT width, UINT height, const BYTE* rgba, IDirect3DTexture9** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    D3DCAPS9 caps{};
    GetDeviceCaps(&caps);
    if (!rgba || width == 0 || height == 0 || width > caps.MaxTextureWidth || height > caps.MaxTextureHeight)
        return D3DERR_INVALIDCALL;
    *texture = DoCreateTexture(width, height, rgba);
    return S_OK;
}

HRESULT CStateDevice::CreateTextureFromLevels(UINT width, UINT height, UINT levels, const BYTE* const* rgba,
                                              IDirect3DTexture9** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    D3DCAPS9 caps{};
    GetDeviceCaps(&caps);
    UINT fullChain = 1;
    for (UINT size = width > height ? width : height; size > 1; size >>= 1) ++fullChain;
    if (!rgba || levels == 0 || levels > fullChain || width == 0 || height == 0 || width > caps.MaxTextureWidth ||
        height > caps.MaxTextureHeight)
        return D3DERR_INVALIDCALL;
    for (UINT i = 0; i < levels; ++i)
        if (!rgba[i]) return D3DERR_INVALIDCALL;
    *texture = DoCreateTextureFromLevels(width, height, levels, rgba);
    return S_OK;
}

IDirect3DTexture9* CStateDevice::DoCreateTextureFromLevels(UINT width, UINT height, UINT, const BYTE* const* rgba) {
    return DoCreateTexture(width, height, rgba[0]);
}

HRESULT CStateDevice::CreateMeshBuffers(const MeshVertex* vertices, UINT vertexCount, const std::uint32_t* indices,
                                        UINT indexCount, IMeshBuffers** buffers) {
    if (!buffers) return D3DERR_INVALIDCALL;
    *buffers = nullptr;
    if ((vertexCount > 0 && !vertices) || (indexCount > 0 && !indices)) return D3DERR_INVALIDCALL;
    // An index past the last vertex would make the GPU read outside the buffer.
    if (indexCount > 0 && *std::max_element(indices, indices + indexCount) >= vertexCount) return D3DERR_INVALIDCALL;
    *buffers = DoCreateMeshBuffers(vertices, vertexCount, indices, indexCount);
    return S_OK;
}

HRESULT CStateDevice::DrawMeshSubset(IMeshBuffers* buffers, DWORD attribId, UINT startIndex, UINT indexCount) {
    auto* mesh = dynamic_cast<CDeviceMeshBuffers*>(buffers);
    if (!mesh || mesh->Device() != this || startIndex > mesh->IndexCount() ||
        indexCount > mesh->IndexCount() - startIndex)
        return D3DERR_INVALIDCALL;
    DoDrawMeshSubset(mesh, attribId, startIndex, indexCount);
    return S_OK;
}
