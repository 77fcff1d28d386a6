#include "app/application.h"

#include <imgui.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/manager.h"
#include "app/picture_file.h"
#include "editor/editor.h"
#include "editor/file_menu.h"
#include "editor/gizmo.h"
#include "editor/shortcuts.h"
#include "editor/unsaved_guard.h"
#include "input/input.h"
#include "render/camera.h"
#include "render/light.h"
#include "render/renderer.h"
#include "render/view_aids.h"
#include "scene/object.h"
#include "scene/stage.h"

bool StartEditor(IPlatform& platform, std::string& error, const PictureRequest& picture) {
    HWND window = platform.GetWindow();
    if (!window) {
        error = "cannot create the main window";
        if (!platform.GetLastError().empty()) error += ": " + platform.GetLastError();
        return false;
    }
    CManager* manager = CManager::GetInstance();
    // Effects draw nothing on their own; leaving them out gives every platform the same fixed-function picture.
    manager->loadEffects = picture.path.empty();
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

CFrameLoop::CFrameLoop(IPlatform& platform)
    : platform_(platform), clock_(platform.TimeGetTime()), activity_(clock_) {}

int CFrameLoop::Run(const std::function<void(std::uint64_t)>& afterFrame) {
    for (;;) {
        PlatformMessage message;
        if (platform_.PeekMessage(message)) {
            if (message.kind == PlatformMessage::Kind::Quit) return message.exitCode;
            Dispatch(message);
            activity_.Changed(platform_.TimeGetTime());
            continue;  // every waiting message is handled before a frame
        }
        DWORD now = platform_.TimeGetTime();
        DWORD elapsed = now - clock_;  // unsigned: the wrap of the counter is harmless
        if (elapsed < kFrameInterval) {
            platform_.WaitMessage(kFrameInterval - elapsed);
            continue;
        }
        if (restWhenIdle_ && activity_.Resting(now)) {
            CEditor* editor = CManager::GetInstance()->GetEditor();
            if (activity_.TickDue(now) && editor && editor->Tick(now)) {
                activity_.Changed(now);
                continue;
            }
            platform_.WaitMessage(activity_.UntilTick(now));
            continue;
        }
        clock_ = now;  // a late frame delays the next one; missed frames are not made up
        RunFrame();
        if (afterFrame) afterFrame(frames_);
        activity_.FrameDone(platform_.TimeGetTime(), FrameLeavesChange(*CManager::GetInstance()));
    }
}

void CFrameLoop::Dispatch(const PlatformMessage& message) {
    if (platform_.GuiProcessMessage(message)) return;
    bool escape = message.kind == PlatformMessage::Kind::KeyDown && message.key == DIK_ESCAPE;
    if (message.kind != PlatformMessage::Kind::Close && !escape) return;
    CEditor* editor = CManager::GetInstance()->GetEditor();
    CUnsavedGuard* guard = editor ? editor->GetUnsavedGuard() : nullptr;
    // Escape in another popup (the file dialog, a file error, the recovery popup) closes that popup, not the
    // editor; in "Unsaved changes" the guard takes it as Cancel.
    if (escape && editor && !(guard && guard->IsAsking()) && editor->DismissPopup()) return;
    // Escape during a gizmo drag only puts the object back (the drag reads the key in the next frame).
    if (escape && editor && editor->GetGizmo() && editor->GetGizmo()->IsDragging()) return;
    // With unsaved changes the editor asks first; the answer ends the program from the editor's frame.
    if (!guard || guard->RequestQuit(escape ? CUnsavedGuard::Request::Escape : CUnsavedGuard::Request::Close))
        platform_.PostQuitMessage(0);
}

void CFrameLoop::RunFrame() {
    CManager* manager = CManager::GetInstance();
    if (CInputKeyboard* keyboard = manager->GetKeyboard()) keyboard->Update();
    if (CInputMouse* mouse = manager->GetMouse()) mouse->Update();

    // The GUI frame begins before anything moves, so the pointer and the camera follow this frame's focus.
    if (CEditor* editor = manager->GetEditor()) editor->BeginFrame();
    CObject::UpdateAll();

    if (CEditor* editor = manager->GetEditor())
        editor->showAnotherWindow = editor->Update(editor->showMainWindow, editor->showAnotherWindow);

    if (CCamera* camera = manager->GetCamera()) camera->Update();

    CInputKeyboard* keyboard = manager->GetKeyboard();
    IDirect3DDevice9* device = manager->GetDevice();
    CEditor* editor = manager->GetEditor();
    bool typing = editor && editor->Focus().typing;  // keys typed into a text field act on that field only
    if (keyboard && ShortcutPressed(EditorCommand::FillMode, *keyboard) && !typing) {
        manager->wireframe = !manager->wireframe;
        if (device) device->SetRenderState(D3DRS_FILLMODE, manager->wireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    }

    if (CRenderer* renderer = manager->GetRenderer()) renderer->Draw();
    if (CCamera* camera = manager->GetCamera()) camera->SetCamera();
    ++frames_;
}

const char* const kEditorUsage = "usage: vellumar [--headless [FRAMES]] [--picture OUT.png [--select INDEX]] [FILE]\n";

namespace {

template <class Number>
bool ReadNumber(const char* text, Number& value) {
    const char* end = text + std::strlen(text);
    auto [last, error] = std::from_chars(text, end, value);
    return error == std::errc() && last == end && last != text;
}

// Sets up the picture run: the scene alone, the selection, and the write after the last frame.
bool PreparePicture(IPlatform& platform, const PictureRequest& picture, int& exitCode) {
    CManager* manager = CManager::GetInstance();
    CRenderer* renderer = manager->GetRenderer();
    CStage* stage = manager->GetStage();
    CEditor* editor = manager->GetEditor();
    if (!renderer || !stage || !editor) return false;
    // The picture is the stage as lit by the three scene lights alone, whatever the view settings say.
    if (CLight* light = manager->GetLight()) light->SetFillLight(false);
    if (CViewAids* aids = manager->GetViewAids()) aids->SetShown(false);
    if (picture.select >= 0) {
        const std::string& tag = editor->SelectedTag();
        const std::size_t count = stage->Groups()[tag].size();
        if (static_cast<std::size_t>(picture.select) >= count) {
            std::fprintf(stderr, "Vellumar: --select %d: the group \"%s\" holds %zu objects\n", picture.select,
                         tag.c_str(), count);
            return false;
        }
        stage->Select(picture.select);
    }
    renderer->SetGuiDrawn(false);
    auto drawn = std::make_shared<unsigned>(0);
    renderer->SetBeforePresent([&platform, &exitCode, picture, drawn, renderer] {
        if (++*drawn != picture.frames) return;
        std::string error;
        if (SaveBackBufferPng(renderer->GetDevice(), renderer->GetPresentParameters(), picture.path, error)) {
            exitCode = 0;
        } else {
            std::fprintf(stderr, "Vellumar: cannot write the picture %s: %s\n", picture.path.c_str(), error.c_str());
            exitCode = 1;
        }
        platform.PostQuitMessage(exitCode);
    });
    return true;
}

}  // namespace

bool ParseEditorArguments(int argc, const char* const* argv, EditorArguments& arguments) {
    int next = 1;
    while (next < argc && std::strncmp(argv[next], "--", 2) == 0) {
        const char* option = argv[next++];
        if (std::strcmp(option, "--headless") == 0) {
            arguments.headless = true;
            // A number after it is the frame count; anything else is the stage file.
            if (next < argc && ReadNumber(argv[next], arguments.headlessFrames)) ++next;
            else arguments.headlessFrames = 180;
        } else if (std::strcmp(option, "--picture") == 0 && next < argc && argv[next][0] != '\0') {
            arguments.picture.path = argv[next++];
        } else if (std::strcmp(option, "--select") == 0 && next < argc && ReadNumber(argv[next], arguments.picture.select) &&
                   arguments.picture.select >= 0) {
            ++next;
        } else {
            return false;
        }
    }
    if (next < argc) arguments.stageFile = argv[next++];
    if (arguments.picture.path.empty() && arguments.picture.select >= 0) return false;
    return next == argc && (arguments.stageFile.empty() || arguments.stageFile[0] != '-');
}

int RunEditor(IPlatform& platform, const std::string& stageFile,
              const std::function<void(const std::string& text)>& report, const PictureRequest& picture) {
    auto fail = [&](const std::string& reason) {
        const std::string text = "Vellumar: " + reason;
        if (report)
            report(text);
        else
            std::fprintf(stderr, "%s\n", text.c_str());
    };
    std::string error;
    if (!StartEditor(platform, error, picture)) {
        fail(error);
        return 1;
    }
    if (!stageFile.empty()) {
        CEditor* editor = CManager::GetInstance()->GetEditor();
        FileResult opened = editor ? editor->GetFileMenu()->OpenFile(stageFile)
                                   : FileResult(Failure(stageFile, "no editor"));
        if (!opened.ok) {
            fail(opened.Describe());
            StopEditor();
            return 2;
        }
    }
    const bool takePicture = !picture.path.empty();
    int pictureExit = 1;
    if (takePicture && !PreparePicture(platform, picture, pictureExit)) {
        StopEditor();
        return 2;
    }
    CFrameLoop loop(platform);
    loop.SetRestWhenIdle(!takePicture);
    int exitCode = loop.Run();
    StopEditor();
    return takePicture ? pictureExit : exitCode;
}
