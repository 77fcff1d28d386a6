#include "platform/headless/recording_device.h"

#include <imgui.h>

#include <algorithm>

#include <string>
#include <vector>

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

CRecordingDevice::CRecordingDevice() : CStateDevice(kBackBufferWidth, kBackBufferHeight) {}

CRecordingDevice::~CRecordingDevice() { *alive_ = false; }

// Every Set* call (and GetMaterial) is logged, whether or not it succeeds; CStateDevice keeps the state.

HRESULT CRecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    Record("SetRenderState", {state, value});
    return CStateDevice::SetRenderState(state, value);
}


HRESULT CRecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    Record("SetSamplerState", {sampler, type, value});
    return CStateDevice::SetSamplerState(sampler, type, value);
}


HRESULT CRecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    Record("SetTextureStageState", {stage, type, value});
    return CStateDevice::SetTextureStageState(stage, type, value);
}


HRESULT CRecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    Record("SetTransform", {state});
    return CStateDevice::SetTransform(state, matrix);
}


HRESULT CRecordingDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
    Record("SetLight", {index});
    return CStateDevice::SetLight(index, light);
}


HRESULT CRecordingDevice::LightEnable(DWORD index, BOOL enable) {
    Record("LightEnable", {index, enable});
    return CStateDevice::LightEnable(index, enable);
}


HRESULT CRecordingDevice::SetMaterial(const D3DMATERIAL9* material) {
    Record("SetMaterial");
    return CStateDevice::SetMaterial(material);
}

HRESULT CRecordingDevice::GetMaterial(D3DMATERIAL9* material) {
    Record("GetMaterial");
    return CStateDevice::GetMaterial(material);
}

HRESULT CRecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    Record("SetTexture", {stage}, texture ? "texture" : "null");
    return CStateDevice::SetTexture(stage, texture);
}


HRESULT CRecordingDevice::SetViewport(const D3DVIEWPORT9* viewport) {
    Record("SetViewport");
    return CStateDevice::SetViewport(viewport);
}


HRESULT CRecordingDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    Record("Clear", {count, flags, color, static_cast<long long>(z), stencil});
    return CStateDevice::Clear(count, rects, flags, color, z, stencil);
}

HRESULT CRecordingDevice::BeginScene() {
    Record("BeginScene");
    if (beginSceneFails_) return E_FAIL;
    return CStateDevice::BeginScene();
}

HRESULT CRecordingDevice::EndScene() {
    Record("EndScene");
    return CStateDevice::EndScene();
}

HRESULT CRecordingDevice::Present(const void*, const void*, HWND, const void*) {
    Record("Present");
    return loss_ == Loss::None ? S_OK : D3DERR_DEVICELOST;
}

HRESULT CRecordingDevice::TestCooperativeLevel() {
    Record("TestCooperativeLevel");
    if (loss_ == Loss::Lost) return D3DERR_DEVICELOST;
    return loss_ == Loss::Resettable ? D3DERR_DEVICENOTRESET : S_OK;
}

HRESULT CRecordingDevice::Reset(D3DPRESENT_PARAMETERS* parameters) {
    Record("Reset");
    if (loss_ == Loss::Lost) return D3DERR_DEVICELOST;
    if (!parameters || defaultPoolObjects > 0) return E_INVALIDARG;
    ResetState();
    loss_ = Loss::None;
    return S_OK;
}

HRESULT CRecordingDevice::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                                  IDirect3DVertexDeclaration9** declaration) {
    Record("CreateVertexDeclaration");
    return CStateDevice::CreateVertexDeclaration(elements, declaration);
}

HRESULT CRecordingDevice::CreateTextureFromPixels(UINT width, UINT height, const BYTE* rgba,
                                                  IDirect3DTexture9** texture) {
    Record("CreateTexture", {width, height});
    return CStateDevice::CreateTextureFromPixels(width, height, rgba, texture);
}

IDirect3DTexture9* CRecordingDevice::DoCreateTexture(UINT width, UINT height, const BYTE* rgba) {
    return new CRecordedTexture(this, width, height, rgba);
}

CDeviceMeshBuffers* CRecordingDevice::DoCreateMeshBuffers(const MeshVertex*, UINT vertexCount, const std::uint32_t*,
                                                          UINT indexCount) {
    return new CDeviceMeshBuffers(this, vertexCount, indexCount);
}

HRESULT CRecordingDevice::DrawMeshSubset(IMeshBuffers* buffers, DWORD attribId, UINT startIndex, UINT indexCount) {
    Record("DrawSubset", {attribId});
    return CStateDevice::DrawMeshSubset(buffers, attribId, startIndex, indexCount);
}

void CRecordingDevice::DoDrawMeshSubset(CDeviceMeshBuffers*, DWORD attribId, UINT, UINT) {
    if (!recording_) return;
    draws_.push_back({attribId, State().Material(), State().Texture(0), D3DXMATRIX(State().Transform(D3DTS_WORLD)),
                      State().RenderState(D3DRS_FILLMODE)});
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

void CRecordingDevice::Record(const char* name, std::initializer_list<long long> args, const char* word) {
    if (!recording_) return;
    LogEntry entry{name, static_cast<std::uint8_t>(args.size()), {}, word};
    std::copy(args.begin(), args.end(), entry.args.begin());
    log_.push_back(entry);
}

std::vector<std::string> CRecordingDevice::Log() const {
    std::vector<std::string> lines;
    lines.reserve(log_.size());
    for (const LogEntry& entry : log_) {
        std::string line = entry.name;
        if (entry.argCount > 0 || entry.word) {
            line += '(';
            for (std::uint8_t i = 0; i < entry.argCount; ++i) {
                if (i > 0) line += ',';
                line += std::to_string(entry.args[i]);
            }
            if (entry.word) line += std::string(entry.argCount > 0 ? "," : "") + entry.word;
            line += ')';
        }
        lines.push_back(std::move(line));
    }
    return lines;
}
