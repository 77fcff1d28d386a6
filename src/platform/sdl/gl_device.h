// The graphics device of the real window: the device interface the editor draws through, on an OpenGL 3.3
// core context. It keeps every state as the original device does (a state holds until set again, the Get*
// calls return what was last set), draws into an offscreen 1280 x 720 back buffer and presents it scaled to
// the window.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "d3d/d3dx9.h"
#include "d3d/device_state.h"
#include "platform/sdl/gl_fixed_function.h"
#include "platform/sdl/gl_objects.h"

struct ImDrawData;

class CGlTexture;

class CGlDevice : public RefCounted<IDirect3DDevice9> {
public:
    // Takes ownership of `context`, which must be current. Build must succeed before the device is used.
    CGlDevice(SDL_Window* window, SDL_GLContext context, UINT backBufferWidth, UINT backBufferHeight);
    // Creates the back buffer and the fixed-function program; false with the reason in `error`.
    bool Build(std::string& error);

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const void* sourceRect, const void* destRect, HWND destWindow, const void* dirtyRegion) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;
    HRESULT CreateTextureFromPixels(UINT width, UINT height, const BYTE* rgba, IDirect3DTexture9** texture) override;
    HRESULT CreateTextureFromLevels(UINT width, UINT height, UINT levels, const BYTE* const* rgba,
                                    IDirect3DTexture9** texture) override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** surface, HANDLE* shared) override;
    HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destination) override;
    HRESULT CreateMeshBuffers(const MeshVertex* vertices, UINT vertexCount, const std::uint32_t* indices,
                              UINT indexCount, IMeshBuffers** buffers) override;
    HRESULT DrawMeshSubset(IMeshBuffers* buffers, DWORD attribId, UINT startIndex, UINT indexCount) override;
    // Draws the GUI's draw lists over the scene, as the GUI's renderer backend does on Direct3D 9.
    void RenderGui(ImDrawData* drawData);

    UINT BackBufferWidth() const { return width_; }
    UINT BackBufferHeight() const { return height_; }
    // The back buffer's pixels as 8-bit RGBA, rows top to bottom (for tests and screenshots).
    std::vector<BYTE> ReadBackBuffer() const;

    // A texture that goes away while bound is unbound first.
    void ForgetTexture(IDirect3DBaseTexture9* texture);

protected:
    ~CGlDevice() override;

private:
    void ApplyRasterState() const;
    void ApplyViewport() const;
    FixedFunctionInputs GatherInputs() const;
    void ApplySampler(const CGlTexture* texture) const;

    // Declared first so it goes last: every GL object below is deleted while its context still exists.
    struct Context {
        SDL_GLContext handle;
        ~Context() { SDL_GL_DeleteContext(handle); }
    };

    Context context_;
    SDL_Window* window_;
    UINT width_, height_;

    GlFramebuffer framebuffer_;
    GlRenderbuffer colour_;
    GlRenderbuffer depthStencil_;
    CGlFixedFunction program_;
    GlSampler sampler_;

    // Keeps the bound textures' pointers without owning them; a texture unbinds itself when it goes.
    CDeviceState state_;
    bool inScene_ = false;
};

// The Direct3D object of the real window: reports the display mode and makes the OpenGL device.
class CGlDirect3D9 : public RefCounted<IDirect3D9> {
public:
    // `error` receives the reason a creation failed; it must outlive this object.
    explicit CGlDirect3D9(std::string* error) : error_(error) {}

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;

private:
    HRESULT Fail(const std::string& reason);
    std::string* error_;
};
