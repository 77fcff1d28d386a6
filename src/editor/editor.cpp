#include "editor/editor.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "document/edit_history.h"
#include "editor/autosave.h"
#include "resource/asset_reload.h"
#include "editor/creation_panel.h"
#include "editor/edit_menu.h"
#include "editor/file_change_guard.h"
#include "editor/file_menu.h"
#include "editor/gizmo.h"
#include "editor/model_palette.h"
#include "editor/outliner.h"
#include "editor/object_list.h"
#include "editor/recovery_prompt.h"
#include "editor/selection_panel.h"
#include "editor/selection_menu.h"
#include "editor/tag_controls.h"
#include "editor/tag_panel.h"
#include "editor/unsaved_guard.h"
#include "editor/view_menu.h"
#include "input/input.h"
#include "platform/platform.h"

CEditor::CEditor(CStageDocument& document)
    : document_(document), groups(document.WorkingGroups()), tags(document.Tags()), tagIndex(document.TagIndex()) {}

int CEditor::Init() {
    tagControls_ = new CTagControls(*this);
    creationPanel_ = new CCreationPanel(*this);
    objectList_ = new CObjectList(*this);
    fileMenu_ = new CFileMenu(*this);
    tagPanel_ = new CTagPanel(*this);
    editMenu_ = new CEditMenu(*this);
    viewMenu_ = new CViewMenu(*this);
    unsavedGuard_ = new CUnsavedGuard(*this);
    fileChangeGuard_ = new CFileChangeGuard(*this);
    autosave_ = new CAutosave(*this);
    recoveryPrompt_ = new CRecoveryPrompt(*this);
    gizmo_ = new CGizmo(*this);
    outliner_ = new COutliner(*this);
    selectionMenu_ = new CSelectionMenu(*this);
    modelPalette_ = new CModelPalette(*this);
    assetReload_ = new CAssetReload();
    inspector_ = new CSelectionPanel(*this);
    return 0;
}

void CEditor::Uninit() {
    delete inspector_;
    inspector_ = nullptr;
    delete modelPalette_;  // releases its pictures while the device is still there
    modelPalette_ = nullptr;
    delete assetReload_;
    assetReload_ = nullptr;
    delete outliner_;
    outliner_ = nullptr;
    delete selectionMenu_;
    selectionMenu_ = nullptr;
    delete tagPanel_;
    tagPanel_ = nullptr;
    delete recoveryPrompt_;
    recoveryPrompt_ = nullptr;
    delete autosave_;  // waits for a write under way
    autosave_ = nullptr;
    delete fileChangeGuard_;
    fileChangeGuard_ = nullptr;
    delete unsavedGuard_;
    unsavedGuard_ = nullptr;
    delete viewMenu_;
    viewMenu_ = nullptr;
    delete editMenu_;
    editMenu_ = nullptr;
    delete gizmo_;
    gizmo_ = nullptr;
    delete fileMenu_;
    fileMenu_ = nullptr;
    delete objectList_;
    objectList_ = nullptr;
    delete creationPanel_;
    creationPanel_ = nullptr;
    delete tagControls_;
    tagControls_ = nullptr;
    // The history's own changes may refer to the panels that are gone now.
    document_.History().Clear();
    tags.clear();
    groups.clear();
}

void CEditor::BeginFrame() {
    if (ImGuiContext* context = ImGui::GetCurrentContext(); context && context->WithinFrameScope) return;
    if (parts_.platform) parts_.platform->GuiNewFrame();
    ImGui::NewFrame();
    DecideFocus();
}

void CEditor::DecideFocus() {
    const ImGuiIO& io = ImGui::GetIO();
    // The library has just turned the last frame's text focus and hovering into these.
    focus_.typing = io.WantTextInput;
    focus_.modalPopup = ImGui::GetTopMostPopupModal() != nullptr;
    // Over any window, dragging one, or with a popup open, the mouse is the GUI's, not the camera's.
    focus_.mouseOverWindow = io.WantCaptureMouse;
    // Until the gizmo's update this frame, its hold from the last one.
    focus_.gizmoHoldsMouse = gizmo_ && gizmo_->HoldsMouse();
    // A popup that opened under a selection rectangle ends it: its release would select what was there.
    if (focus_.modalPopup && selectionMenu_) selectionMenu_->CancelRect();
    // Shift with the left button draws a selection rectangle rather than turning the camera.
    const CInputKeyboard* keyboard = parts_.keyboard;
    const bool shift = keyboard && (keyboard->GetPress(DIK_LSHIFT) || keyboard->GetPress(DIK_RSHIFT));
    focus_.selectingRect = (selectionMenu_ && selectionMenu_->IsDrawingRect()) || shift;
}

bool CEditor::DismissPopup() {
    if (fileMenu_ && (fileMenu_->CancelDialog() || fileMenu_->DismissError())) return true;
    if (catalogProblemsOpen_) return dismissCatalogProblems_ = true;
    if (fileChangeGuard_ && fileChangeGuard_->Dismiss()) return true;
    return recoveryPrompt_ && recoveryPrompt_->Dismiss();
}
