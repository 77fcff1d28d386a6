#include "platform/sdl/gl_device.h"

#include <imgui.h>
#include <imgui_impl_opengl3.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/sdl/gl_resources.h"
#include "platform/sdl/gl_surface.h"
#include "platform/sdl/sdl_window_handle.h"

namespace {

GLenum CompareFunc(DWORD func) {
    switch (func) {
        case D3DCMP_NEVER: return GL_NEVER;
        case D3DCMP_LESS: return GL_LESS;
        case D3DCMP_EQUAL: return GL_EQUAL;
        case D3DCMP_GREATER: return GL_GREATER;
        case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
        case D3DCMP_ALWAYS: return GL_ALWAYS;
        default: return GL_LEQUAL;
    }
}

GLenum BlendFactor(DWORD blend) {
    switch (blend) {
        case D3DBLEND_ZERO: return GL_ZERO;
        case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case 7: return GL_DST_ALPHA;             // DESTALPHA
        case 8: return GL_ONE_MINUS_DST_ALPHA;   // INVDESTALPHA
        case 9: return GL_DST_COLOR;             // DESTCOLOR
        case 10: return GL_ONE_MINUS_DST_COLOR;  // INVDESTCOLOR
        case 11: return GL_SRC_ALPHA_SATURATE;   // SRCALPHASAT
        default: return GL_ONE;
    }
}

GLenum AddressMode(DWORD mode) {
    switch (mode) {
        case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        case 4: return GL_CLAMP_TO_BORDER;  // BORDER
        default: return GL_REPEAT;
    }
}

}  // namespace

CGlDevice::CGlDevice(SDL_Window* window, SDL_GLContext context, UINT backBufferWidth, UINT backBufferHeight)
    : CStateDevice(backBufferWidth, backBufferHeight),
      context_{context},
      window_(window),
      width_(backBufferWidth),
      height_(backBufferHeight) {}

CGlDevice::~CGlDevice() {
    // The GL objects go with the members, before the context (see Context); make sure it is the current one.
    SDL_GL_MakeCurrent(window_, context_.handle);
}

bool CGlDevice::Build(std::string& error) {
    const auto w = static_cast<GLsizei>(width_), h = static_cast<GLsizei>(height_);
    colour_ = GlRenderbuffer::Generate();
    glBindRenderbuffer(GL_RENDERBUFFER, colour_.Get());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    depthStencil_ = GlRenderbuffer::Generate();
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencil_.Get());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, w, h);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    framebuffer_ = GlFramebuffer::Generate();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.Get());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_.Get());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil_.Get());
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "cannot create the " + std::to_string(width_) + " x " + std::to_string(height_) + " back buffer";
        return false;
    }
    if (!program_.Build(error)) return false;
    sampler_ = GlSampler::Generate();
    instanceBuffer_ = GlBuffer::Generate();
    draws_.SetSize(width_, height_);

    // The back buffer stays bound for drawing; Present binds it again after the blit.
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    return true;
}

// ---- drawing ----

void CGlDevice::DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    FlushDraws();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.Get());
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, (color & 0xFF) / 255.0f,
                     ((color >> 24) & 0xFF) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        glDepthMask(GL_TRUE);  // a clear writes depth whatever the depth-write state says
        glClearDepth(std::clamp(z, 0.0f, 1.0f));
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_STENCIL) {
        glStencilMask(0xFF);
        glClearStencil(static_cast<GLint>(stencil & 0xFF));
        mask |= GL_STENCIL_BUFFER_BIT;
    }

    // Clears cover the viewport, or the given rectangles within it; rows count from the top.
    const D3DVIEWPORT9& viewport = State().Viewport();
    auto clearRect = [&](LONG x1, LONG y1, LONG x2, LONG y2) {
        x1 = std::max<LONG>(x1, viewport.X);
        y1 = std::max<LONG>(y1, viewport.Y);
        x2 = std::min<LONG>(x2, viewport.X + viewport.Width);
        y2 = std::min<LONG>(y2, viewport.Y + viewport.Height);
        if (x2 <= x1 || y2 <= y1) return;
        glScissor(x1, static_cast<GLint>(height_) - y2, x2 - x1, y2 - y1);
        glClear(mask);
    };
    glEnable(GL_SCISSOR_TEST);
    if (count == 0) {
        clearRect(viewport.X, viewport.Y, viewport.X + viewport.Width, viewport.Y + viewport.Height);
    } else {
        for (DWORD i = 0; i < count; ++i) clearRect(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
    }
    glDisable(GL_SCISSOR_TEST);
}

void CGlDevice::DoEndScene() {
    FlushDraws();
    glFlush();
}

HRESULT CGlDevice::Present(const void*, const void*, HWND, const void*) {
    FlushDraws();
    // The back buffer keeps its size; the window shows it stretched over the whole client area.
    int drawableW = 0, drawableH = 0;
    SDL_GL_GetDrawableSize(window_, &drawableW, &drawableH);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_.Get());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (drawableW > 0 && drawableH > 0) {
        glDisable(GL_SCISSOR_TEST);
        const bool sameSize = drawableW == static_cast<int>(width_) && drawableH == static_cast<int>(height_);
        glBlitFramebuffer(0, 0, static_cast<GLint>(width_), static_cast<GLint>(height_), 0, 0, drawableW, drawableH,
                          GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    }
    SDL_GL_SwapWindow(window_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.Get());
    return S_OK;
}

void CGlDevice::ApplyViewport(const D3DVIEWPORT9& viewport) const {
    glViewport(static_cast<GLint>(viewport.X),
               static_cast<GLint>(height_) - static_cast<GLint>(viewport.Y) - static_cast<GLint>(viewport.Height),
               static_cast<GLsizei>(viewport.Width), static_cast<GLsizei>(viewport.Height));
    glDepthRange(viewport.MinZ, viewport.MaxZ);
}

void CGlDevice::ApplyRasterState(const GlDrawState& draw) const {
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);

    if (draw.zEnable != D3DZB_FALSE) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(CompareFunc(draw.zFunc));
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(draw.zWrite ? GL_TRUE : GL_FALSE);

    // The device's front faces are the clockwise ones; the viewport mapping keeps the winding on screen.
    switch (draw.cullMode) {
        case D3DCULL_NONE:
            glDisable(GL_CULL_FACE);
            break;
        case D3DCULL_CW:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CW);
            glCullFace(GL_FRONT);
            break;
        default:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CW);
            glCullFace(GL_BACK);
            break;
    }

    switch (draw.fillMode) {
        case D3DFILL_POINT: glPolygonMode(GL_FRONT_AND_BACK, GL_POINT); break;
        case D3DFILL_WIREFRAME: glPolygonMode(GL_FRONT_AND_BACK, GL_LINE); break;
        default: glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); break;
    }

    if (draw.blend) {
        glEnable(GL_BLEND);
        glBlendEquation(GL_FUNC_ADD);
        glBlendFunc(BlendFactor(draw.srcBlend), BlendFactor(draw.destBlend));
    } else {
        glDisable(GL_BLEND);
    }
}

FixedFunctionInputs CGlDevice::GatherInputs() const {
    FixedFunctionInputs in;
    const D3DXMATRIX view(State().Transform(D3DTS_VIEW));
    in.projection = D3DXMATRIX(State().Transform(D3DTS_PROJECTION));
    in.normalizeNormals = State().RenderState(D3DRS_NORMALIZENORMALS) != FALSE;
    const D3DVIEWPORT9& viewport = State().Viewport();
    if (viewport.Width > 0 && viewport.Height > 0) {
        in.pixelOffset[0] = 1.0f / static_cast<float>(viewport.Width);
        in.pixelOffset[1] = -1.0f / static_cast<float>(viewport.Height);
    }

    // Meshes carry no vertex colours, so every colour source falls back to the material.
    in.lighting = State().RenderState(D3DRS_LIGHTING) != FALSE;
    in.material = State().Material();
    const DWORD ambient = State().RenderState(D3DRS_AMBIENT);
    in.globalAmbient[0] = ((ambient >> 16) & 0xFF) / 255.0f;
    in.globalAmbient[1] = ((ambient >> 8) & 0xFF) / 255.0f;
    in.globalAmbient[2] = (ambient & 0xFF) / 255.0f;
    in.specular = State().RenderState(D3DRS_SPECULARENABLE) != FALSE;
    in.localViewer = State().RenderState(D3DRS_LOCALVIEWER) != FALSE;

    // Enabled directional lights, lowest index first; the direction is where the light travels.
    for (DWORD index : State().EnabledLights()) {
        if (in.lightCount == kMaxActiveLights) continue;
        const D3DLIGHT9& light = State().Light(index);
        if (light.Type != D3DLIGHT_DIRECTIONAL) continue;
        const D3DVECTOR& d = light.Direction;
        D3DXVECTOR3 camera(d.x * view._11 + d.y * view._21 + d.z * view._31,
                           d.x * view._12 + d.y * view._22 + d.z * view._32,
                           d.x * view._13 + d.y * view._23 + d.z * view._33);
        D3DXVec3Normalize(&camera, &camera);
        const int i = in.lightCount++;
        in.lightToward[i][0] = -camera.x;
        in.lightToward[i][1] = -camera.y;
        in.lightToward[i][2] = -camera.z;
        in.lightDiffuse[i] = light.Diffuse;
        in.lightAmbient[i] = light.Ambient;
        in.lightSpecular[i] = light.Specular;
    }

    // Texture stage 0. A stage that reads a texture when none is bound acts as disabled.
    auto stage = [this](D3DTEXTURESTAGESTATETYPE type) { return State().TextureStageState(0, type); };
    in.colorOp = static_cast<int>(stage(D3DTSS_COLOROP));
    in.colorArg1 = static_cast<int>(stage(D3DTSS_COLORARG1));
    in.colorArg2 = static_cast<int>(stage(D3DTSS_COLORARG2));
    in.alphaOp = static_cast<int>(stage(D3DTSS_ALPHAOP));
    in.alphaArg1 = static_cast<int>(stage(D3DTSS_ALPHAARG1));
    in.alphaArg2 = static_cast<int>(stage(D3DTSS_ALPHAARG2));
    const bool readsTexture = in.colorArg1 == D3DTA_TEXTURE || in.colorArg2 == D3DTA_TEXTURE ||
                              in.alphaArg1 == D3DTA_TEXTURE || in.alphaArg2 == D3DTA_TEXTURE;
    in.stageActive = in.colorOp != D3DTOP_DISABLE && (State().Texture(0) != nullptr || !readsTexture);
    return in;
}

void CGlDevice::GatherDraw(const CGlMeshBuffers* mesh, UINT startIndex, UINT indexCount, GlDrawState& draw) const {
    draw.mesh = mesh;
    draw.startIndex = startIndex;
    draw.indexCount = indexCount;
    draw.viewport = State().Viewport();
    auto rs = [this](D3DRENDERSTATETYPE type) { return State().RenderState(type); };
    draw.zEnable = rs(D3DRS_ZENABLE);
    draw.zFunc = rs(D3DRS_ZFUNC);
    draw.zWrite = rs(D3DRS_ZWRITEENABLE);
    draw.cullMode = rs(D3DRS_CULLMODE);
    draw.fillMode = rs(D3DRS_FILLMODE);
    draw.blend = rs(D3DRS_ALPHABLENDENABLE);
    draw.srcBlend = rs(D3DRS_SRCBLEND);
    draw.destBlend = rs(D3DRS_DESTBLEND);
    auto s = [this](D3DSAMPLERSTATETYPE type) { return State().SamplerState(0, type); };
    draw.minFilter = s(D3DSAMP_MINFILTER);
    draw.mipFilter = s(D3DSAMP_MIPFILTER);
    draw.magFilter = s(D3DSAMP_MAGFILTER);
    draw.addressU = s(D3DSAMP_ADDRESSU);
    draw.addressV = s(D3DSAMP_ADDRESSV);
    draw.inputs = GatherInputs();
    const auto* texture = draw.inputs.stageActive ? dynamic_cast<const CGlTexture*>(State().Texture(0)) : nullptr;
    draw.texture = texture ? texture->Name() : 0;
}

void CGlDevice::ApplySampler(const GlDrawState& draw) const {
    const bool linearMin = draw.minFilter >= D3DTEXF_LINEAR;
    GLenum minFilter = linearMin ? GL_LINEAR : GL_NEAREST;
    if (draw.mipFilter == D3DTEXF_POINT) minFilter = linearMin ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    if (draw.mipFilter >= D3DTEXF_LINEAR) minFilter = linearMin ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    const GLuint sampler = sampler_.Get();
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, draw.magFilter >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressMode(draw.addressU)));
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressMode(draw.addressV)));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, draw.texture);
    glBindSampler(0, sampler);
}

void CGlDevice::DoDrawMeshSubset(CDeviceMeshBuffers* buffers, DWORD, UINT startIndex, UINT indexCount) {
    // Only this device's buffers get here, and it makes only GL ones.
    auto* mesh = static_cast<CGlMeshBuffers*>(buffers);
    if (indexCount == 0) return;

    GlDrawState draw;
    GatherDraw(mesh, startIndex, indexCount, draw);
    const D3DXMATRIX world(State().Transform(D3DTS_WORLD));
    const D3DXMATRIX view(State().Transform(D3DTS_VIEW));
    D3DXMATRIX worldView;
    D3DXMatrixMultiply(&worldView, &world, &view);
    InstanceTransform instance;
    MakeInstanceTransform(worldView, instance);

    if (draws_.Full()) FlushDraws();
    draws_.Add(draw, instance, ScreenBounds(*mesh, worldView, draw.inputs.projection, draw.viewport));
}

ScreenRect CGlDevice::ScreenBounds(const CGlMeshBuffers& mesh, const D3DXMATRIX& worldView,
                                   const D3DXMATRIX& projection, const D3DVIEWPORT9& viewport) const {
    const ScreenRect whole{0, 0, static_cast<int>(width_), static_cast<int>(height_)};
    D3DXMATRIX toClip;
    D3DXMatrixMultiply(&toClip, &worldView, &projection);
    const D3DXVECTOR3 &lo = mesh.BoundsMin(), &hi = mesh.BoundsMax();
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int corner = 0; corner < 8; ++corner) {
        const float x = corner & 1 ? hi.x : lo.x, y = corner & 2 ? hi.y : lo.y, z = corner & 4 ? hi.z : lo.z;
        const float cx = x * toClip._11 + y * toClip._21 + z * toClip._31 + toClip._41;
        const float cy = x * toClip._12 + y * toClip._22 + z * toClip._32 + toClip._42;
        const float cw = x * toClip._14 + y * toClip._24 + z * toClip._34 + toClip._44;
        // A corner at or behind the eye projects nowhere useful: the draw may touch any pixel.
        if (!(cw > 1e-6f) || !std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(cw)) return whole;
        const float px = static_cast<float>(viewport.X) + (cx / cw + 1.0f) * 0.5f * static_cast<float>(viewport.Width);
        const float py = static_cast<float>(viewport.Y) + (1.0f - cy / cw) * 0.5f * static_cast<float>(viewport.Height);
        if (corner == 0) minX = maxX = px, minY = maxY = py;
        minX = std::min(minX, px), maxX = std::max(maxX, px), minY = std::min(minY, py), maxY = std::max(maxY, py);
    }
    // Two pixels of margin cover the half-pixel shift, rounding and the width of lines and points.
    auto column = [&](float v) { return static_cast<int>(std::clamp(v, -4.0f, static_cast<float>(width_) + 4.0f)); };
    auto row = [&](float v) { return static_cast<int>(std::clamp(v, -4.0f, static_cast<float>(height_) + 4.0f)); };
    return {std::max(column(std::floor(minX)) - 2, 0), std::max(row(std::floor(minY)) - 2, 0),
            std::min(column(std::ceil(maxX)) + 2, whole.x1), std::min(row(std::ceil(maxY)) + 2, whole.y1)};
}

void CGlDevice::FlushDraws() {
    if (draws_.Empty()) return;
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.Get());
    for (const CGlDrawQueue::Call& call : draws_.Calls()) {
        const GlDrawState& draw = call.state;
        ApplyViewport(draw.viewport);
        ApplyRasterState(draw);
        ApplySampler(draw);
        program_.Use(draw.inputs);
        // The buffer is given new storage each time, so a call still reading the last contents never waits.
        glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer_.Get());
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(call.instances.size() * sizeof(InstanceTransform)),
                     call.instances.data(), GL_STREAM_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindVertexArray(draw.mesh->VertexArray());
        glDrawElementsInstanced(GL_TRIANGLES, static_cast<GLsizei>(draw.indexCount), GL_UNSIGNED_INT,
                                reinterpret_cast<const void*>(static_cast<std::uintptr_t>(draw.startIndex) * sizeof(std::uint32_t)),
                                static_cast<GLsizei>(call.instances.size()));
        glBindVertexArray(0);
        ++instancedCalls_;
    }
    draws_.Clear();
}

void CGlDevice::RenderGui(ImDrawData* drawData) {
    // Only once the GUI's renderer backend is set up on this context.
    if (!drawData || !ImGui::GetCurrentContext() || !ImGui::GetIO().BackendRendererUserData) return;
    FlushDraws();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.Get());
    ImGui_ImplOpenGL3_RenderDrawData(drawData);
}

// ---- resources ----

IDirect3DTexture9* CGlDevice::DoCreateTexture(UINT width, UINT height, const BYTE* rgba) {
    return new CGlTexture(this, width, height, rgba);
}

IDirect3DTexture9* CGlDevice::DoCreateTextureFromLevels(UINT width, UINT height, UINT levels, const BYTE* const* rgba) {
    return new CGlTexture(this, width, height, levels, rgba);
}

HRESULT CGlDevice::GetDeviceCaps(D3DCAPS9* caps) {
    if (!caps) return D3DERR_INVALIDCALL;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    caps->MaxTextureWidth = caps->MaxTextureHeight = static_cast<DWORD>(maxSize > 0 ? maxSize : 0);
    return S_OK;
}

CDeviceMeshBuffers* CGlDevice::DoCreateMeshBuffers(const MeshVertex* vertices, UINT vertexCount,
                                                   const std::uint32_t* indices, UINT indexCount) {
    return new CGlMeshBuffers(this, vertices, vertexCount, indices, indexCount);
}

std::vector<BYTE> CGlDevice::ReadBackBuffer() {
    FlushDraws();
    const std::size_t rowBytes = std::size_t(width_) * 4;
    std::vector<BYTE> bottomUp(rowBytes * height_);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_.Get());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_), GL_RGBA, GL_UNSIGNED_BYTE,
                 bottomUp.data());
    std::vector<BYTE> topDown(bottomUp.size());
    for (UINT row = 0; row < height_; ++row)
        std::memcpy(&topDown[row * rowBytes], &bottomUp[(height_ - 1 - row) * rowBytes], rowBytes);
    return topDown;
}

HRESULT CGlDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface9** surface) {
    if (!surface || swapChain != 0 || index != 0) return D3DERR_INVALIDCALL;
    *surface = CGlSurface::BackBuffer(this, width_, height_);
    return S_OK;
}

HRESULT CGlDevice::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                               IDirect3DSurface9** surface, HANDLE* shared) {
    // The back buffer's own format, in system memory: what GetRenderTargetData copies into.
    if (!surface || shared || width == 0 || height == 0 || pool != D3DPOOL_SYSTEMMEM ||
        (format != D3DFMT_X8R8G8B8 && format != D3DFMT_A8R8G8B8))
        return D3DERR_INVALIDCALL;
    *surface = CGlSurface::SystemMemory(width, height);
    return S_OK;
}

HRESULT CGlDevice::GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destination) {
    auto* source = static_cast<CGlSurface*>(renderTarget);
    auto* target = static_cast<CGlSurface*>(destination);
    if (!source || !target || !source->IsBackBufferOf(this) || !target->IsLockable() ||
        target->Width() != width_ || target->Height() != height_)
        return D3DERR_INVALIDCALL;
    target->StoreRgba(ReadBackBuffer());
    return S_OK;
}

// ---- the Direct3D object ----

HRESULT CGlDirect3D9::Fail(const std::string& reason) {
    if (error_) *error_ = reason;
    return E_FAIL;
}

HRESULT CGlDirect3D9::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (!mode) return D3DERR_INVALIDCALL;
    SDL_DisplayMode current{};
    if (SDL_GetCurrentDisplayMode(static_cast<int>(adapter), &current) != 0)
        return Fail(std::string("cannot read the display mode: ") + SDL_GetError());
    *mode = {static_cast<UINT>(current.w), static_cast<UINT>(current.h), static_cast<UINT>(current.refresh_rate),
             D3DFMT_X8R8G8B8};
    return S_OK;
}

HRESULT CGlDirect3D9::CreateDevice(UINT, D3DDEVTYPE, HWND focusWindow, DWORD, D3DPRESENT_PARAMETERS* parameters,
                                   IDirect3DDevice9** device) {
    if (!device || !parameters) return D3DERR_INVALIDCALL;
    *device = nullptr;
    SDL_Window* window = ToSdlWindow(parameters->hDeviceWindow ? parameters->hDeviceWindow : focusWindow);
    if (!window) return Fail("no window for the graphics device");
    int windowW = 0, windowH = 0;
    SDL_GetWindowSize(window, &windowW, &windowH);
    if (parameters->BackBufferWidth == 0) parameters->BackBufferWidth = static_cast<UINT>(windowW);
    if (parameters->BackBufferHeight == 0) parameters->BackBufferHeight = static_cast<UINT>(windowH);

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return Fail(std::string("cannot create an OpenGL 3.3 core context: ") + SDL_GetError());
    if (epoxy_gl_version() < 33) {
        SDL_GL_DeleteContext(context);
        return Fail("OpenGL 3.3 or later is needed");
    }
    SDL_GL_SetSwapInterval(1);  // Present waits for the vertical blank

    auto* created = new CGlDevice(window, context, parameters->BackBufferWidth, parameters->BackBufferHeight);
    std::string reason;
    if (!created->Build(reason)) {
        created->Release();
        return Fail(reason);
    }
    *device = created;
    return S_OK;
}
