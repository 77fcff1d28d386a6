#include "editor/quit_guard.h"

#include <imgui.h>

#include "app/manager.h"
#include "editor/autosave.h"
#include "editor/edit_history.h"
#include "editor/editor.h"
#include "editor/file_menu.h"

bool CQuitGuard::RequestQuit(Request request) {
    if (IsAsking()) {
        if (request == Request::Escape) {
            cancelRequested_ = asking_;
            openRequested_ = false;
        }
        return false;
    }
    CEditHistory& history = *editor_.GetHistory();
    history.End();  // a drag under way counts as an edit
    if (!history.IsModified()) return true;
    openRequested_ = true;
    return false;
}

void CQuitGuard::Quit() {
    if (IPlatform* platform = CManager::GetInstance()->GetPlatform()) platform->PostQuitMessage(0);
}

void CQuitGuard::Show() {
    if (openRequested_) {
        ImGui::OpenPopup(kPopup);
        openRequested_ = false;
        asking_ = true;
    }
    if (!asking_) return;
    ImGui::SetNextWindowSize(ImVec2(460, 0), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal(kPopup, nullptr, 0)) {
        asking_ = false;
        return;
    }
    bool close = cancelRequested_;
    cancelRequested_ = false;
    ImGui::TextWrapped("The stage %s has changes that are not saved.", editor_.CurrentFile().TextPath().c_str());
    if (ImGui::Button("Save")) {
        // A failed save keeps the editor open; the file error popup then tells why.
        if (editor_.GetFileMenu()->SaveText().ok) Quit();
        close = true;
    }
    ImGui::SameLine();
    if (ImGui::Button("Discard")) {
        editor_.GetAutosave()->Remove();
        Quit();
        close = true;
    }
    ImGui::SameLine();
    if (ImGui::Button("Cancel")) close = true;
    if (close) {
        ImGui::CloseCurrentPopup();
        asking_ = false;
    }
    ImGui::EndPopup();
}
