#include "editor/unsaved_guard.h"

#include <imgui.h>

#include "platform/platform.h"
#include "document/edit_history.h"
#include "editor/autosave.h"
#include "editor/editor.h"
#include "editor/file_menu.h"

bool CUnsavedGuard::RequestQuit(Request request) {
    if (IsAsking()) {
        if (request == Request::Escape) {
            cancelRequested_ = asking_;
            if (openRequested_) Drop();
        }
        return false;
    }
    // Nothing unsaved: the caller ends the program itself.
    CEditHistory& history = *editor_.GetHistory();
    history.End();
    if (!history.IsModified()) return true;
    Ask("Quitting loses them.", [this] { Quit(); });
    return false;
}

bool CUnsavedGuard::Ask(const std::string& what, std::function<void()> action,
                        std::function<void()> discard) {
    if (IsAsking()) return false;
    CEditHistory& history = *editor_.GetHistory();
    history.End();  // a drag under way counts as an edit
    if (!history.IsModified()) {
        action();
        return true;
    }
    what_ = what;
    action_ = std::move(action);
    discard_ = discard ? std::move(discard) : action_;
    openRequested_ = true;
    return false;
}

void CUnsavedGuard::Quit() {
    if (IPlatform* platform = editor_.Parts().platform) platform->PostQuitMessage(0);
}

void CUnsavedGuard::Drop() {
    openRequested_ = asking_ = false;
    what_.clear();
    action_ = discard_ = nullptr;
}

void CUnsavedGuard::Show() {
    if (openRequested_) {
        ImGui::OpenPopup(kPopup);
        openRequested_ = false;
        asking_ = true;
    }
    if (!asking_) return;
    ImGui::SetNextWindowSize(ImVec2(460, 0), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal(kPopup, nullptr, 0)) {
        Drop();
        return;
    }
    bool close = cancelRequested_;
    cancelRequested_ = false;
    ImGui::TextWrapped("The stage %s has changes that are not saved. %s",
                       editor_.CurrentFile().TextPath().c_str(), what_.c_str());
    // The answer is carried out after the popup has closed: it may open a popup of its own.
    std::function<void()> run, afterSave;
    if (ImGui::Button("Save")) {
        afterSave = action_;
        close = true;
    }
    ImGui::SameLine();
    if (ImGui::Button("Discard")) {
        editor_.GetAutosave()->Remove();
        run = discard_;
        close = true;
    }
    ImGui::SameLine();
    if (ImGui::Button("Cancel")) close = true;
    if (close) {
        ImGui::CloseCurrentPopup();
        Drop();
    }
    ImGui::EndPopup();
    // A failed save keeps the action from running; the file error popup then tells why. A file changed on
    // disk asks first, and the action waits for that answer too.
    if (afterSave) editor_.GetFileMenu()->SaveText(std::move(afterSave));
    if (run) run();
}
