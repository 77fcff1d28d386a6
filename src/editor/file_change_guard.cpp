#include "editor/file_change_guard.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "document/edit_history.h"
#include "editor/editor.h"
#include "editor/file_menu.h"
#include "editor/unsaved_guard.h"

void CFileChangeGuard::Update(DWORD now) {
    CCurrentFile& current = editor_.CurrentFile();
    if (watch_.Poll(current.TextPath(), current.Identity(), now)) offerDue_ = true;
    if (!watch_.Changed()) offerDue_ = false;
    if (offerDue_ && Idle() && !editor_.GetHistory()->IsModified()) {
        offerDue_ = false;
        Open(Asking::Reload);
    }
}

bool CFileChangeGuard::Idle() const {
    // Nothing under way: no drag, no typing, no button held, no question or dialog open.
    return !IsAsking() && !editor_.GetHistory()->IsContinuousOpen() && !editor_.IsTypingText() &&
           !ImGui::IsAnyMouseDown() && !ImGui::GetTopMostPopupModal() &&
           !editor_.GetFileMenu()->Dialog().IsOpen() && !editor_.GetUnsavedGuard()->IsAsking();
}

bool CFileChangeGuard::ConfirmSave(std::function<void()> then) {
    CCurrentFile& current = editor_.CurrentFile();
    if (watch_.Check(current.TextPath(), current.Identity()) != FileChange::Changed) return true;
    offerDue_ = false;
    then_ = std::move(then);
    Open(Asking::Save);
    return false;
}

void CFileChangeGuard::Forget() {
    watch_.Reset();
    offerDue_ = false;
}

void CFileChangeGuard::Open(Asking what) {
    asking_ = what;
    openRequested_ = true;
}

void CFileChangeGuard::Close() {
    asking_ = Asking::Nothing;
    openRequested_ = dismiss_ = false;
    then_ = nullptr;
}

bool CFileChangeGuard::Dismiss() {
    if (!IsAsking()) return false;
    dismiss_ = true;
    return true;
}

std::string CFileChangeGuard::Notice() const {
    if (!watch_.Changed()) return {};
    return editor_.CurrentFile().DisplayName() +
           " changed on disk since it was opened or saved here; saving asks first.";
}

void CFileChangeGuard::Show() {
    if (openRequested_) {
        ImGui::OpenPopup(kPopup);
        openRequested_ = false;
    }
    if (!IsAsking()) return;
    ImGui::SetNextWindowSize(ImVec2(480, 0), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal(kPopup, nullptr, 0)) {
        Close();
        return;
    }
    const std::string path = editor_.CurrentFile().TextPath();
    CFileMenu& menu = *editor_.GetFileMenu();
    bool close = dismiss_;
    // The answer is carried out after the popup has closed: it may open a popup or a dialog of its own.
    std::function<void()> answer;
    if (asking_ == Asking::Reload) {
        ImGui::TextWrapped(
            "%s changed on disk since it was opened or saved here. The stage has no unsaved changes.",
            path.c_str());
        if (ImGui::Button("Reload")) answer = [&menu] { menu.Reload(); };
        ImGui::SameLine();
        if (ImGui::Button("Ignore")) close = true;
    } else {
        ImGui::TextWrapped(
            "%s changed on disk since it was opened or saved here. Saving now replaces what the "
            "other program wrote.",
            path.c_str());
        std::function<void()> then = then_;
        if (ImGui::Button("Overwrite")) answer = [&menu, then] { menu.SaveText(then, true); };
        ImGui::SameLine();
        if (ImGui::Button("Save As...")) answer = [&menu, then] { menu.AskSaveAs(then); };
        ImGui::SameLine();
        if (ImGui::Button("Reload")) answer = [&menu] { menu.Reload(); };
        ImGui::SameLine();
        if (ImGui::Button("Cancel")) close = true;
    }
    if (close || answer) {
        ImGui::CloseCurrentPopup();
        Close();
    }
    ImGui::EndPopup();
    if (answer) answer();
}
