// The one owner of every subsystem. Everything reaches everything else through its accessors.
#pragma once

#include <string>

#include "platform/platform.h"

class CLight;
class CViewAids;
class CCamera;
class CInputKeyboard;
class CInputMouse;
class CRenderer;
class CTextureManager;
class CEditor;
class CModelManager;
class CPointer;
class CShaderManager;
class CStage;

class CManager {
public:
    // The process-wide instance, created on first use.
    static CManager* GetInstance();

    // Builds every subsystem in a fixed order; -1 when the renderer or an input device cannot be made.
    // `instance` is the platform the program runs on (real window or headless).
    int Init(HWND window, IPlatform* instance);
    // Destroys every member in a fixed order, then the instance itself.
    void Uninit();

    CLight* GetLight() const { return light_; }
    CViewAids* GetViewAids() const { return viewAids_; }
    CCamera* GetCamera() const { return camera_; }
    CInputKeyboard* GetKeyboard() const { return keyboard_; }
    CInputMouse* GetMouse() const { return mouse_; }
    CRenderer* GetRenderer() const { return renderer_; }
    CTextureManager* GetTextureManager() const { return textureManager_; }
    CEditor* GetEditor() const { return editor_; }
    CModelManager* GetModelManager() const { return modelManager_; }
    CPointer* GetPointer() const { return pointer_; }
    CShaderManager* GetShaderManager() const { return shaderManager_; }
    CStage* GetStage() const { return stage_; }
    HWND GetWindow() const { return window_; }
    IPlatform* GetPlatform() const { return platform_; }
    // The device of the renderer, or null before it exists.
    IDirect3DDevice9* GetDevice() const;

    bool wireframe = false;
    // Set before Init: false leaves the effect catalog empty (no effect is compiled, so no warning box).
    bool loadEffects = true;

    // What stopped the last failed Init, for the start-up error message.
    const std::string& GetInitError() const { return initError_; }

private:
    CManager() = default;
    ~CManager() = default;

    CLight* light_ = nullptr;
    CViewAids* viewAids_ = nullptr;
    CCamera* camera_ = nullptr;
    CInputKeyboard* keyboard_ = nullptr;
    CInputMouse* mouse_ = nullptr;
    CRenderer* renderer_ = nullptr;
    CTextureManager* textureManager_ = nullptr;
    CEditor* editor_ = nullptr;
    CModelManager* modelManager_ = nullptr;
    CPointer* pointer_ = nullptr;  // owned by the object lists
    CShaderManager* shaderManager_ = nullptr;
    CStage* stage_ = nullptr;
    HWND window_ = nullptr;
    IPlatform* platform_ = nullptr;
    std::string initError_;

    static CManager* instance_;
};
