#include "app/application.h"

#include <imgui.h>

#include <cstdio>

#include "app/manager.h"
#include "editor/editor.h"
#include "editor/file_menu.h"
#include "editor/quit_guard.h"
#include "editor/gizmo.h"
#include "input/input.h"
#include "render/camera.h"
#include "render/renderer.h"
#include "scene/object.h"

bool StartEditor(IPlatform& platform, std::string& error) {
    HWND window = platform.GetWindow();
    if (!window) {
        error = "cannot create the main window";
        if (!platform.GetLastError().empty()) error += ": " + platform.GetLastError();
        return false;
    }
    CManager* manager = CManager::GetInstance();
    if (manager->Init(window, &platform) < 0) {
        error = manager->GetInitError();
        manager->Uninit();  // nothing runs on a half-built manager
        return false;
    }
    platform.ShowWindow();

    ImGui::CreateContext();
    ImGui::StyleColorsDark();
    if (!platform.GuiInit(manager->GetDevice())) {
        error = "cannot set up the GUI";
        StopEditor();
        return false;
    }
    return true;
}

void StopEditor() { CManager::GetInstance()->Uninit(); }

CFrameLoop::CFrameLoop(IPlatform& platform) : platform_(platform), clock_(platform.TimeGetTime()) {}

int CFrameLoop::Run(const std::function<void(std::uint64_t)>& afterFrame) {
    for (;;) {
        PlatformMessage message;
        if (platform_.PeekMessage(message)) {
            if (message.kind == PlatformMessage::Kind::Quit) return message.exitCode;
            Dispatch(message);
            continue;  // every waiting message is handled before a frame
        }
        DWORD now = platform_.TimeGetTime();
        DWORD elapsed = now - clock_;  // unsigned: the wrap of the counter is harmless
        if (elapsed < kFrameInterval) {
            platform_.WaitMessage(kFrameInterval - elapsed);
            continue;
        }
        clock_ = now;  // a late frame delays the next one; missed frames are not made up
        RunFrame();
        if (afterFrame) afterFrame(frames_);
    }
}

void CFrameLoop::Dispatch(const PlatformMessage& message) {
    if (platform_.GuiProcessMessage(message)) return;
    bool escape = message.kind == PlatformMessage::Kind::KeyDown && message.key == DIK_ESCAPE;
    if (message.kind != PlatformMessage::Kind::Close && !escape) return;
    CEditor* editor = CManager::GetInstance()->GetEditor();
    CQuitGuard* guard = editor ? editor->GetQuitGuard() : nullptr;
    // Escape in another popup (the file dialog, a file error, the recovery popup) closes that popup, not the
    // editor; in "Unsaved changes" the guard takes it as Cancel.
    if (escape && editor && !(guard && guard->IsAsking()) && editor->DismissPopup()) return;
    // Escape during a gizmo drag only puts the object back (the drag reads the key in the next frame).
    if (escape && editor && editor->GetGizmo() && editor->GetGizmo()->IsDragging()) return;
    // With unsaved changes the editor asks first; the answer ends the program from the editor's frame.
    if (!guard || guard->RequestQuit(escape ? CQuitGuard::Request::Escape : CQuitGuard::Request::Close))
        platform_.PostQuitMessage(0);
}

void CFrameLoop::RunFrame() {
    CManager* manager = CManager::GetInstance();
    if (CInputKeyboard* keyboard = manager->GetKeyboard()) keyboard->Update();
    if (CInputMouse* mouse = manager->GetMouse()) mouse->Update();

    CObject::UpdateAll();

    if (CEditor* editor = manager->GetEditor())
        editor->showAnotherWindow = editor->Update(editor->showMainWindow, editor->showAnotherWindow);

    if (CCamera* camera = manager->GetCamera()) camera->Update();

    CInputKeyboard* keyboard = manager->GetKeyboard();
    IDirect3DDevice9* device = manager->GetDevice();
    CEditor* editor = manager->GetEditor();
    bool typing = editor && editor->IsTypingText();  // keys typed into a text field act on that field only
    if (keyboard && keyboard->GetTrigger(DIK_F2) && !typing) {
        manager->wireframe = !manager->wireframe;
        if (device) device->SetRenderState(D3DRS_FILLMODE, manager->wireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    }

    if (CRenderer* renderer = manager->GetRenderer()) renderer->Draw();
    if (CCamera* camera = manager->GetCamera()) camera->SetCamera();
    ++frames_;
}

int RunEditor(IPlatform& platform, const std::string& stageFile,
              const std::function<void(const std::string& text)>& report) {
    auto fail = [&](const std::string& reason) {
        const std::string text = "Vellumar: " + reason;
        if (report)
            report(text);
        else
            std::fprintf(stderr, "%s\n", text.c_str());
    };
    std::string error;
    if (!StartEditor(platform, error)) {
        fail(error);
        return 1;
    }
    if (!stageFile.empty()) {
        CEditor* editor = CManager::GetInstance()->GetEditor();
        FileResult opened = editor ? editor->GetFileMenu()->OpenFile(stageFile)
                                   : FileResult{false, stageFile, 0, "no editor", 0, 0};
        if (!opened.ok) {
            fail(opened.Describe());
            StopEditor();
            return 2;
        }
    }
    int exitCode = CFrameLoop(platform).Run();
    StopEditor();
    return exitCode;
}
