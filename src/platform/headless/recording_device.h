// A Direct3D 9 device that draws nothing: it keeps the device state and makes the checks of the OpenGL
// device (CStateDevice: a state holds until set again, and a call the real device refuses fails here too)
// and appends every call to a log that tests read.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "d3d/d3dx9.h"
#include "d3d/state_device.h"

struct ImDrawData;

class CRecordingDevice : public CStateDevice {
public:
    static constexpr UINT kBackBufferWidth = 1280;
    static constexpr UINT kBackBufferHeight = 720;

    // One DrawMeshSubset call with the state it was drawn with.
    struct DrawRecord {
        DWORD attribId;
        D3DMATERIAL9 material;
        IDirect3DBaseTexture9* texture;
        D3DXMATRIX world;
        DWORD fillMode;
    };

    CRecordingDevice();

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const void* sourceRect, const void* destRect, HWND destWindow, const void* dirtyRegion) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;
    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT CreateTextureFromPixels(UINT width, UINT height, const BYTE* rgba, IDirect3DTexture9** texture) override;
    HRESULT DrawMeshSubset(IMeshBuffers* buffers, DWORD attribId, UINT startIndex, UINT indexCount) override;
    void RenderGui(ImDrawData* drawData);

    // ---- for tests ----
    // Every call so far, as text such as "SetRenderState(22,3)" or "SetTexture(0,null)".
    std::vector<std::string> Log() const;
    void ClearLog() {
        log_.clear();
        draws_.clear();
    }
    const std::vector<DrawRecord>& Draws() const { return draws_; }
    DWORD RenderState(D3DRENDERSTATETYPE state) const { return State().RenderState(state); }
    DWORD SamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const { return State().SamplerState(sampler, type); }
    DWORD TextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const {
        return State().TextureStageState(stage, type);
    }
    bool HasLight(DWORD index) const { return State().HasLight(index); }
    bool IsLightEnabled(DWORD index) const { return State().IsLightEnabled(index); }
    IDirect3DBaseTexture9* BoundTexture(DWORD stage) const { return State().Texture(stage); }
    void SetBeginSceneFails(bool fails) { beginSceneFails_ = fails; }
    // A lost device: Present says so, and TestCooperativeLevel says whether it may be reset yet. Like the
    // original, Reset refuses while anything holds objects in the default pool, and a reset device has
    // every state at its default.
    enum class Loss { None, Lost, Resettable };
    void SetLoss(Loss loss) { loss_ = loss; }
    int defaultPoolObjects = 0;
    // While off, calls still change the state but are neither logged nor kept as draw records (for
    // benchmarks, where the journal of a long run would measure only itself).
    void SetRecording(bool on) { recording_ = on; }
    int LiveTextures() const { return liveTextures_; }
    int GuiDrawLists() const { return guiDrawLists_; }
    // Turns false when the device is destroyed; lets tests check what still held it at shut-down.
    std::shared_ptr<const bool> AliveFlag() const { return alive_; }

protected:
    ~CRecordingDevice() override;

    void DoClear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override {}
    IDirect3DTexture9* DoCreateTexture(UINT width, UINT height, const BYTE* rgba) override;
    CDeviceMeshBuffers* DoCreateMeshBuffers(const MeshVertex* vertices, UINT vertexCount, const std::uint32_t* indices,
                                            UINT indexCount) override;
    void DoDrawMeshSubset(CDeviceMeshBuffers* buffers, DWORD attribId, UINT startIndex, UINT indexCount) override;

private:
    // One logged call, kept compact so that drawing many objects stays cheap; Log() spells them out.
    struct LogEntry {
        const char* name;
        std::uint8_t argCount;
        std::array<long long, 5> args;
        const char* word;  // a last argument written as a word, or null
    };
    void Record(const char* name, std::initializer_list<long long> args = {}, const char* word = nullptr);

    bool beginSceneFails_ = false;
    Loss loss_ = Loss::None;
    bool recording_ = true;
    int liveTextures_ = 0;
    int guiDrawLists_ = 0;
    std::vector<LogEntry> log_;
    std::vector<DrawRecord> draws_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    friend class CRecordedTexture;
};

// The Direct3D object of the headless platform. It can be told to refuse given (type, flags) attempts so
// the device-creation fallback can be tested.
class CRecordingDirect3D9 : public RefCounted<IDirect3D9> {
public:
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;

    std::set<std::pair<DWORD, DWORD>> refused;     // (type, behaviour flags) pairs that fail
    std::vector<std::pair<DWORD, DWORD>> attempts;  // every CreateDevice call, in order
    D3DPRESENT_PARAMETERS lastParameters{};
    bool failDisplayMode = false;
    CRecordingDevice* lastDevice = nullptr;  // not owned
};
