// What our two devices, the OpenGL one and the recording one, answer alike: the state a device keeps, with
// the checks the original device makes on every call that sets or reads it, scenes that do not nest, and
// the arguments of clears, draws and the textures and buffers a device makes. A call that one of them
// refuses the other refuses too, with D3DERR_INVALIDCALL, so a test on the recording device fails where the
// real one would. A device adds only the work of a call that passed the checks (the Do* members).
#pragma once

#include "d3d/d3dx9.h"
#include "d3d/device_state.h"

class CStateDevice;

// Mesh buffers made by a state device: they know their device and sizes, so a draw can be checked.
class CDeviceMeshBuffers : public RefCounted<IMeshBuffers> {
public:
    CDeviceMeshBuffers(const CStateDevice* device, UINT vertexCount, UINT indexCount)
        : device_(device), vertexCount_(vertexCount), indexCount_(indexCount) {}
    const CStateDevice* Device() const { return device_; }
    UINT VertexCount() const { return vertexCount_; }
    UINT IndexCount() const { return indexCount_; }

private:
    const CStateDevice* device_;
    UINT vertexCount_, indexCount_;
};

class CStateDevice : public RefCounted<IDirect3DDevice9> {
public:
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    // Only the three light types exist.
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
    // Enabling a light never set gives the default one: white, directional, along +z.
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    // Asking about a light never set fails.
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    // The viewport must lie within the back buffer, with 0 <= MinZ <= MaxZ <= 1.
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    // Something to clear, and the rectangles when a count is given.
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;
    // Pixels and a size within the device's limit (GetDeviceCaps); with levels, a chain no longer than
    // the size allows and every level given.
    HRESULT CreateTextureFromPixels(UINT width, UINT height, const BYTE* rgba, IDirect3DTexture9** texture) override;
    HRESULT CreateTextureFromLevels(UINT width, UINT height, UINT levels, const BYTE* const* rgba,
                                    IDirect3DTexture9** texture) override;
    // Every index names one of the vertices.
    HRESULT CreateMeshBuffers(const MeshVertex* vertices, UINT vertexCount, const std::uint32_t* indices,
                              UINT indexCount, IMeshBuffers** buffers) override;
    // Buffers this device made, and indices within them.
    HRESULT DrawMeshSubset(IMeshBuffers* buffers, DWORD attribId, UINT startIndex, UINT indexCount) override;

    // Unbinds a texture that goes away while bound.
    void ForgetTexture(IDirect3DBaseTexture9* texture) { state_.ForgetTexture(texture); }
    UINT BackBufferWidth() const { return width_; }
    UINT BackBufferHeight() const { return height_; }

protected:
    CStateDevice(UINT backBufferWidth, UINT backBufferHeight);

    const CDeviceState& State() const { return state_; }
    // Every state back at the original device's defaults, as after a reset.
    void ResetState();
    bool InScene() const { return inScene_; }

    virtual void DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;
    virtual void DoEndScene() {}
    virtual IDirect3DTexture9* DoCreateTexture(UINT width, UINT height, const BYTE* rgba) = 0;
    // Without an override, only the first level is kept.
    virtual IDirect3DTexture9* DoCreateTextureFromLevels(UINT width, UINT height, UINT levels, const BYTE* const* rgba);
    virtual CDeviceMeshBuffers* DoCreateMeshBuffers(const MeshVertex* vertices, UINT vertexCount,
                                                    const std::uint32_t* indices, UINT indexCount) = 0;
    virtual void DoDrawMeshSubset(CDeviceMeshBuffers* buffers, DWORD attribId, UINT startIndex, UINT indexCount) = 0;

private:
    UINT width_, height_;
    // Keeps the bound textures' pointers without owning them.
    CDeviceState state_;
    bool inScene_ = false;
};
