// Owns the graphics device, sets its fixed states once, and runs each frame's draw sequence.
#pragma once

#include <functional>
#include <utility>

#include "platform/platform.h"

class CCamera;
class CLight;
class CShaderManager;
class CStage;
class CViewAids;

// What the draw and a device reset reach besides the device. The manager hands them over once it has
// made them; a null part is left out.
struct RendererParts {
    CStage* stage = nullptr;                 // its visible groups are drawn after the object lists
    CShaderManager* shaders = nullptr;       // its effects let go of the device around a reset
    CLight* light = nullptr;                 // applied again to a reset device
    CCamera* camera = nullptr;               // its view and projection set again on a reset device
    const bool* wireframe = nullptr;         // the F2 switch: the fill mode a reset device gets
    CViewAids* viewAids = nullptr;           // the grid, outlines and axis indicator, over the stage
};

class CRenderer {
public:
    CRenderer() = default;
    ~CRenderer();
    CRenderer(const CRenderer&) = delete;
    CRenderer& operator=(const CRenderer&) = delete;

    // `instance` is the platform that supplies the Direct3D object.
    HRESULT Init(HWND window, IPlatform* instance);
    // Clear, scene (objects, the stage's "TEST" group, the GUI), present. A lost device draws nothing until
    // it can be reset; then it is reset with the same present parameters and its states are set again.
    void Draw();
    void Uninit();
    void SetParts(const RendererParts& parts) { parts_ = parts; }
    IDirect3DDevice9* GetDevice() const { return device_; }
    const D3DPRESENT_PARAMETERS& GetPresentParameters() const { return parameters_; }
    bool IsDeviceLost() const { return lost_; }
    // False leaves the GUI out of the picture; its windows are still built and answer as usual.
    void SetGuiDrawn(bool drawn) { guiDrawn_ = drawn; }
    // Runs after EndScene and before Present, while the back buffer still holds the finished frame.
    void SetBeforePresent(std::function<void()> hook) { beforePresent_ = std::move(hook); }

private:
    // The states set once at start-up, which a reset device has forgotten.
    void SetFixedStates();
    // True when the device may draw again: not lost, or lost and now reset.
    bool Restore();

    IPlatform* platform_ = nullptr;
    RendererParts parts_;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    D3DPRESENT_PARAMETERS parameters_{};
    bool lost_ = false;
    bool guiDrawn_ = true;
    std::function<void()> beforePresent_;
};
