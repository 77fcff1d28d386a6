#include "editor/editor.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>

#include "app/manager.h"
#include "editor/autosave.h"
#include "editor/creation_panel.h"
#include "editor/edit_history.h"
#include "editor/edit_menu.h"
#include "editor/file_change_guard.h"
#include "editor/file_menu.h"
#include "editor/gizmo.h"
#include "editor/object_list.h"
#include "editor/recovery_prompt.h"
#include "editor/tag_controls.h"
#include "editor/tag_panel.h"
#include "editor/unsaved_guard.h"
#include "scene/stage.h"
#include "stagefile/stage_text_reader.h"

int CEditor::Init() {
    tags.push_back("TEST");
    tagControls_ = new CTagControls(*this);
    creationPanel_ = new CCreationPanel(*this);
    objectList_ = new CObjectList(*this);
    fileMenu_ = new CFileMenu(*this);
    tagPanel_ = new CTagPanel(*this);
    editMenu_ = new CEditMenu(*this);
    history_ = new CEditHistory(*this);
    unsavedGuard_ = new CUnsavedGuard(*this);
    fileChangeGuard_ = new CFileChangeGuard(*this);
    autosave_ = new CAutosave(*this);
    recoveryPrompt_ = new CRecoveryPrompt(*this);
    gizmo_ = new CGizmo(*this);
    return 0;
}

void CEditor::Uninit() {
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
    delete history_;
    history_ = nullptr;
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
    tags.clear();
    groups.clear();
}

bool CEditor::IsTypingText() const {
    ImGuiContext* context = ImGui::GetCurrentContext();
    if (!context) return false;
    // Inside a GUI frame the library has turned the last frame's text focus into WantTextInput; between
    // frames (where the pointer moves) the request the last frame left for the next one says the same.
    if (context->WithinFrameScope) return context->IO.WantTextInput;
    return context->WantTextInputNextFrame > 0;
}

bool CEditor::DismissPopup() {
    if (fileMenu_ && (fileMenu_->CancelDialog() || fileMenu_->DismissError())) return true;
    if (catalogProblemsOpen_) return dismissCatalogProblems_ = true;
    if (fileChangeGuard_ && fileChangeGuard_->Dismiss()) return true;
    return recoveryPrompt_ && recoveryPrompt_->Dismiss();
}

void CEditor::AddTag(const std::string& name) {
    history_->Begin("Add tag");
    tags.push_back(name);
}

bool CEditor::RenameSelectedTag(const std::string& newName) {
    const std::string old = tags[tagIndex];
    // Renaming a tag to its own name would erase its group below.
    if (newName.empty() || newName == old) return false;
    history_->Begin("Rename tag");
    history_->TouchGroup(old);
    history_->TouchGroup(newName);
    mirrorValid_ = false;
    auto it = groups.find(old);
    if (it != groups.end()) {
        groups[newName] = it->second;
        groups.erase(old);
    }
    // The stage's group moves with it: left under the old name it would be drawn and saved a second time,
    // and stay behind as a ghost once the renamed objects are moved.
    if (CStage* stage = CManager::GetInstance()->GetStage()) {
        StageGroups& stageGroups = stage->Groups();
        auto staged = stageGroups.find(old);
        if (staged != stageGroups.end()) {
            stageGroups[newName] = std::move(staged->second);
            stageGroups.erase(staged);
            stage->SetTagVisible(newName, stage->IsTagVisible(old));
            stage->SetTagLocked(newName, stage->IsTagLocked(old));
            stage->SetTagVisible(old, true);
            stage->SetTagLocked(old, false);
        }
    }
    tags[tagIndex] = newName;
    return true;
}

std::string CEditor::CopyTagGroup(int source, int target) {
    const int count = static_cast<int>(tags.size());
    if (source < 0 || source >= count || target < 0 || target >= count) return {};
    auto it = groups.find(tags[source]);
    if (it == groups.end() || tags[source] == tags[target]) return {};
    const std::string& tag = tags[target];
    CStage* stage = CManager::GetInstance()->GetStage();
    if (stage) {
        // The stage file must still be able to hold the stage.
        std::size_t objects = it->second.size();
        for (const auto& [name, group] : stage->Groups())
            if (name != tag) objects += group.size();
        if (objects > kMaxStageRecords)
            return "Not copied: the stage would hold " + std::to_string(objects) + " objects, more than the " +
                   std::to_string(kMaxStageRecords) + " a stage file can hold.";
    }
    history_->Begin("Copy group");
    history_->TouchGroup(tag);
    mirrorValid_ = false;
    groups[tag] = it->second;
    // The stage takes the copy at once: drawn, saved and undone with the working copy, whether or not the
    // target is ever selected.
    if (stage) stage->Groups()[tag] = it->second;
    return {};
}

void CEditor::MergeTagsFromGroups() {
    mirrorValid_ = false;  // a load replaced the working copy
    for (const auto& entry : groups)
        if (std::find(tags.begin(), tags.end(), entry.first) == tags.end()) tags.push_back(entry.first);
    tagIndex = static_cast<int>(tags.size()) - 1;
}

void CEditor::ReplaceTagsFromGroups() {
    mirrorValid_ = false;
    tags.clear();
    for (const auto& entry : groups) tags.push_back(entry.first);
    if (tags.empty()) tags.push_back("TEST");
    tagIndex = 0;
}

void CEditor::MirrorSelectedGroup() {
    CStage* stage = CManager::GetInstance()->GetStage();
    if (!stage) return;
    const std::string& tag = SelectedTag();
    stage->Groups()[tag] = groups[tag];
    mirroredTag_ = tag;
    mirrorValid_ = true;
}

void CEditor::RefreshGroup(const std::string& tag) {
    CStage* stage = CManager::GetInstance()->GetStage();
    if (!stage) return;
    groups[tag] = stage->Groups()[tag];
}
