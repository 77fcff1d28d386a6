// The graphics device of the real window: the device interface the editor draws through, on an OpenGL 3.3
// core context. It keeps every state as the original device does (a state holds until set again, the Get*
// calls return what was last set), draws into an offscreen 1280 x 720 back buffer and presents it scaled to
// the window.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "d3d/d3dx9.h"
#include "d3d/state_device.h"
#include "platform/sdl/gl_draw_batch.h"
#include "platform/sdl/gl_fixed_function.h"
#include "platform/sdl/gl_objects.h"

struct ImDrawData;

class CGlMeshBuffers;
class CGlTexture;

class CGlDevice : public CStateDevice {
public:
    // Takes ownership of `context`, which must be current. Build must succeed before the device is used.
    CGlDevice(SDL_Window* window, SDL_GLContext context, UINT backBufferWidth, UINT backBufferHeight);
    // Creates the back buffer and the fixed-function program; false with the reason in `error`.
    bool Build(std::string& error);

    HRESULT Present(const void* sourceRect, const void* destRect, HWND destWindow, const void* dirtyRegion) override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** surface, HANDLE* shared) override;
    HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destination) override;
    // Draws the GUI's draw lists over the scene, as the GUI's renderer backend does on Direct3D 9.
    void RenderGui(ImDrawData* drawData);

    // The back buffer's pixels as 8-bit RGBA, rows top to bottom (for tests and screenshots), once every
    // draw asked for has reached it.
    std::vector<BYTE> ReadBackBuffer();

    // Sends the draws held back, as few instanced calls. Anything that draws other than a mesh, reads
    // pixels or deletes a resource a draw may use does this first.
    void FlushDraws();
    // The buffer the per-instance matrices go through; every mesh's vertex array reads it.
    GLuint InstanceBuffer() const { return instanceBuffer_.Get(); }
    // How many GL draw calls the meshes have taken so far.
    std::size_t InstancedCalls() const { return instancedCalls_; }

protected:
    ~CGlDevice() override;

    void DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    void DoEndScene() override;
    IDirect3DTexture9* DoCreateTexture(UINT width, UINT height, const BYTE* rgba) override;
    IDirect3DTexture9* DoCreateTextureFromLevels(UINT width, UINT height, UINT levels, const BYTE* const* rgba) override;
    CDeviceMeshBuffers* DoCreateMeshBuffers(const MeshVertex* vertices, UINT vertexCount, const std::uint32_t* indices,
                                            UINT indexCount) override;
    void DoDrawMeshSubset(CDeviceMeshBuffers* buffers, DWORD attribId, UINT startIndex, UINT indexCount) override;

private:
    void ApplyRasterState(const GlDrawState& draw) const;
    void ApplyViewport(const D3DVIEWPORT9& viewport) const;
    FixedFunctionInputs GatherInputs() const;
    void GatherDraw(const CGlMeshBuffers* mesh, UINT startIndex, UINT indexCount, GlDrawState& draw) const;
    void ApplySampler(const GlDrawState& draw) const;
    // The back buffer's pixels the mesh's bounds may cover, drawn with these matrices into the viewport.
    ScreenRect ScreenBounds(const CGlMeshBuffers& mesh, const D3DXMATRIX& worldView, const D3DXMATRIX& projection,
                            const D3DVIEWPORT9& viewport) const;

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
    GlBuffer instanceBuffer_;
    CGlDrawQueue draws_;
    std::size_t instancedCalls_ = 0;
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
