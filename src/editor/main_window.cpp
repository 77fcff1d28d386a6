// The editor's frame: the main window "Hello, world!" with its panels, and the second window.
#include <imgui.h>

#include <tuple>

#include "document/edit_history.h"
#include "editor/autosave.h"
#include "editor/creation_panel.h"
#include "editor/edit_menu.h"
#include "editor/editor.h"
#include "editor/file_change_guard.h"
#include "editor/file_menu.h"
#include "editor/gizmo.h"
#include "editor/model_palette.h"
#include "editor/outliner.h"
#include "editor/recovery_prompt.h"
#include "editor/selection_panel.h"
#include "editor/selection_menu.h"
#include "editor/tag_controls.h"
#include "editor/tag_panel.h"
#include "editor/unsaved_guard.h"
#include "editor/view_menu.h"
#include "editor/window_layout.h"
#include "platform/platform.h"
#include "resource/asset_reload.h"
#include "resource/model_manager.h"
#include "resource/shader_manager.h"
#include "resource/texture_manager.h"
#include "scene/stage.h"

bool CEditor::Update(bool showMain, bool showAnother) {
    BeginFrame();
    PlaceNextWindow(kMainWindowPlace, ImGuiCond_Once);  // every run starts with the main window here

    ImGuiStyle& style = ImGui::GetStyle();
    style.Colors[ImGuiCol_WindowBg] = ImVec4(0.0f, 0.0f, 0.1f, 0.4f);
    style.Colors[ImGuiCol_TitleBgActive] = ImVec4(0.5f, 0.7f, 0.0f, 1.0f);

    if (!showMain) return false;
    // Before the panels, so the inspector shows where a gizmo drag put the object this frame.
    gizmo_->Update(SelectedTag());
    focus_.gizmoHoldsMouse = gizmo_->HoldsMouse();
    ShowMainWindow(showAnother);
    if (showTags) tagPanel_->Show(&showTags);
    if (showOutliner) outliner_->Show(&showOutliner);
    if (showModelPalette) modelPalette_->Show(&showModelPalette);
    if (showInspector) inspector_->Show(&showInspector);
    ShowStatusBar();
    viewMenu_->ShowOverlays();
    if (showAnother) ShowAnotherWindow(showAnother);
    ShowCatalogProblems();
    recoveryPrompt_->Show();
    unsavedGuard_->Show();
    fileChangeGuard_->Show();
    if (IPlatform* platform = parts_.platform) {
        autosave_->Update(platform->TimeGetTime());
        fileChangeGuard_->Update(platform->TimeGetTime());
        ReloadAssets(platform->TimeGetTime(), CAssetReload::kSlice);
    }
    return showAnother;
}

bool CEditor::Tick(DWORD now) {
    if (!autosave_ || !fileChangeGuard_) return false;
    auto shown = [this] {
        return std::make_tuple(fileChangeGuard_->IsAsking(), fileChangeGuard_->Notice(), autosave_->Writes(),
                               autosave_->LastResult().ok);
    };
    const auto before = shown();
    autosave_->Update(now);
    fileChangeGuard_->Update(now);
    // Resting: a larger share of the files, once a second, so a change made meanwhile wakes the frames.
    const bool reloading = ReloadAssets(now, CAssetReload::kSlice * 16);
    return shown() != before || IsWorking() || reloading;
}

bool CEditor::ReloadAssets(DWORD now, std::size_t slice) {
    if (!assetReload_) return false;
    CStage* stage = parts_.stage;
    assetReload_->Connect({parts_.models, parts_.textures, parts_.shaders, stage ? stage->TextureCache() : nullptr});
    ReloadOutcome outcome = assetReload_->Update(now, slice);
    if (outcome.modelsChanged && stage) stage->FindNewModels();
    reloadProblems_.insert(reloadProblems_.end(), outcome.problems.begin(), outcome.problems.end());
    return !outcome.reloaded.empty() || assetReload_->IsWaiting();
}

bool CEditor::IsWorking() const {
    return (gizmo_ && gizmo_->IsDragging()) || focus_.typing ||
           (autosave_ && (autosave_->IsCopying() || autosave_->IsWriting()));
}

void CEditor::ShowMainWindow(bool& showAnother) {
    // Everything below runs also while the window is collapsed.
    ImGui::Begin("Hello, world!", nullptr, ImGuiWindowFlags_MenuBar);
    fileMenu_->ShowMenuBar();
    editMenu_->HandleKeys();
    selectionMenu_->HandleKeys();
    viewMenu_->HandleKeys();

    ImGuiIO& io = ImGui::GetIO();
    ImGui::Text("Application average %.3f ms/frame (%.1f FPS)", 1000.0f / io.Framerate, io.Framerate);
    fileMenu_->ShowFileName();
    const std::string notice = fileChangeGuard_->Notice();
    if (!notice.empty()) ImGui::TextWrapped("%s", notice.c_str());
    if (!autosave_->LastResult().ok) ImGui::TextWrapped("Autosave failed: %s", autosave_->LastResult().Describe().c_str());
    fileMenu_->ShowOutcome();

    MirrorSelectedGroup();
    tagControls_->Show();
    ImGui::Separator();
    const std::string tag = SelectedTag();  // the panel works on this frame's tag
    creationPanel_->Show(tag);
    ImGui::Checkbox("Another Window", &showAnother);
    ImGui::End();
    // The list has written the group back: this frame's edit is complete in both copies.
    document_.History().EndFrame();
}

void CEditor::ShowAnotherWindow(bool& showAnother) {
    ImGui::Begin("Another Window", &showAnother, 0);
    ImGui::Text("Hello from another window!");
    if (ImGui::Button("Close Me")) showAnother = false;
    ImGui::End();
}

void CEditor::ShowCatalogProblems() {
    static constexpr const char* kPopup = "Catalog problems";
    if (!catalogProblemsShown_) {
        catalogProblemsShown_ = true;
        auto gather = [this](const std::vector<std::string>& problems) {
            catalogProblems_.insert(catalogProblems_.end(), problems.begin(), problems.end());
        };
        if (CModelManager* models = parts_.models) gather(models->GetProblems());
        if (CTextureManager* textures = parts_.textures) gather(textures->GetProblems());
        if (CShaderManager* shaders = parts_.shaders) gather(shaders->GetProblems());
        catalogEntryProblems_ = catalogProblems_.size();
        if (!catalogProblems_.empty()) ImGui::OpenPopup(kPopup);
        catalogProblemsOpen_ = !catalogProblems_.empty();
    }
    // Textures are loaded when first drawn, and files are reloaded when changed: a new failure opens the
    // popup again.
    if (CStage* stage = parts_.stage) {
        std::vector<std::string> textures = stage->TakeTextureProblems();
        textures.insert(textures.end(), reloadProblems_.begin(), reloadProblems_.end());
        reloadProblems_.clear();
        if (!textures.empty()) {
            catalogProblems_.insert(catalogProblems_.end(), textures.begin(), textures.end());
            if (!catalogProblemsOpen_) ImGui::OpenPopup(kPopup);
            catalogProblemsOpen_ = true;
        }
    }
    if (!catalogProblemsOpen_) return;
    ImGui::SetNextWindowSize(ImVec2(640, 0), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal(kPopup, nullptr, 0)) {
        catalogProblemsOpen_ = dismissCatalogProblems_ = false;
        return;
    }
    for (std::size_t i = 0; i < catalogProblems_.size(); ++i) {
        if (i == 0 && catalogEntryProblems_ > 0) ImGui::TextUnformatted("These catalog entries were left out:");
        if (i == catalogEntryProblems_) ImGui::TextUnformatted("These textures cannot be loaded:");
        ImGui::BulletText("%s", catalogProblems_[i].c_str());
    }
    if (ImGui::Button("Close") || dismissCatalogProblems_) {
        ImGui::CloseCurrentPopup();
        catalogProblemsOpen_ = dismissCatalogProblems_ = false;
    }
    ImGui::EndPopup();
}
