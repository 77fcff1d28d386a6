#include "app/manager.h"

#include <imgui.h>

#include "editor/editor.h"
#include "input/input.h"
#include "render/camera.h"
#include "render/light.h"
#include "render/view_aids.h"
#include "render/device_error.h"
#include "render/renderer.h"
#include "resource/model_manager.h"
#include "resource/shader_manager.h"
#include "resource/texture_manager.h"
#include "scene/object.h"
#include "scene/pointer.h"
#include "scene/stage.h"

CManager* CManager::instance_ = nullptr;

CManager* CManager::GetInstance() {
    if (!instance_) instance_ = new CManager();
    return instance_;
}

IDirect3DDevice9* CManager::GetDevice() const { return renderer_ ? renderer_->GetDevice() : nullptr; }

int CManager::Init(HWND window, IPlatform* instance) {
    window_ = window;
    platform_ = instance;
    initError_.clear();
    auto fail = [&](const std::string& what) {
        initError_ = what;
        if (instance && !instance->GetLastError().empty()) initError_ += ": " + instance->GetLastError();
        return -1;
    };

    renderer_ = new CRenderer();
    if (HRESULT hr = renderer_->Init(window, instance); FAILED(hr))
        return fail("cannot create the graphics device (" + DeviceErrorText(hr) + ")");

    keyboard_ = new CInputKeyboard();
    if (FAILED(keyboard_->Init(instance, window))) return fail("cannot open the keyboard");

    mouse_ = new CInputMouse();
    if (FAILED(mouse_->Init(instance, window))) return fail("cannot open the mouse");

    if (instance) instance->ShowCursor(true);

    shaderManager_ = new CShaderManager(GetDevice(), instance, window);
    if (loadEffects) shaderManager_->Load();

    stage_ = new CStage();

    textureManager_ = new CTextureManager();
    textureManager_->Load();

    modelManager_ = new CModelManager(GetDevice());
    modelManager_->Load();

    light_ = new CLight();
    light_->Init(GetDevice());

    camera_ = new CCamera();
    camera_->Init(GetDevice(), keyboard_, mouse_);
    // The stage draws and picks with these; the manager owns them.
    stage_->Connect(GetDevice(), modelManager_, {&camera_->mtxView, &camera_->mtxProjection}, mouse_);

    viewAids_ = new CViewAids();
    viewAids_->Init(GetDevice(), camera_);  // without its meshes the view simply has no aids

    pointer_ = CPointer::Create(D3DXVECTOR3(0.0f, 10.0f, 0.0f), {GetDevice(), modelManager_, keyboard_, &camera_->rot.y});
    camera_->SetPointer(pointer_);

    editor_ = new CEditor(stage_->Document());
    editor_->SetParts({instance, GetDevice(), keyboard_, mouse_, stage_, pointer_, camera_, light_, modelManager_,
                       textureManager_, shaderManager_, viewAids_});
    // The editor decides each frame who has the keyboard and the mouse; the camera and pointer follow it.
    camera_->SetInputFocus(&editor_->Focus());
    pointer_->SetInputFocus(&editor_->Focus());
    renderer_->SetParts({stage_, shaderManager_, light_, camera_, &wireframe, viewAids_});
    editor_->Init();
    return 0;
}

void CManager::Uninit() {
    CObject::ReleaseAll();
    pointer_ = nullptr;

    if (camera_) camera_->SetInputFocus(nullptr);  // the editor's focus goes with it
    if (editor_) {
        // The GUI backends hold the device, so they go before the renderer.
        if (ImGui::GetCurrentContext()) {
            if (platform_) platform_->GuiShutdown();
            ImGui::DestroyContext();
        }
        editor_->Uninit();
        delete editor_;
        editor_ = nullptr;
    }
    if (textureManager_) {
        textureManager_->Uninit();
        delete textureManager_;
        textureManager_ = nullptr;
    }
    if (stage_) stage_->Connect(nullptr, nullptr, {}, nullptr);  // the parts it uses go first
    if (modelManager_) {
        modelManager_->Uninit();
        delete modelManager_;
        modelManager_ = nullptr;
    }
    delete viewAids_;  // releases its meshes before the device goes
    viewAids_ = nullptr;
    delete camera_;
    camera_ = nullptr;
    delete light_;
    light_ = nullptr;
    if (stage_) {
        stage_->Uninit();
        delete stage_;
        stage_ = nullptr;
    }
    if (shaderManager_) {
        shaderManager_->Uninit();
        delete shaderManager_;
        shaderManager_ = nullptr;
    }
    if (keyboard_) {
        keyboard_->Uninit();
        delete keyboard_;
        keyboard_ = nullptr;
    }
    if (mouse_) {
        mouse_->Uninit();
        delete mouse_;
        mouse_ = nullptr;
    }
    if (renderer_) {
        renderer_->Uninit();
        delete renderer_;
        renderer_ = nullptr;
    }
    delete this;
    instance_ = nullptr;
}
