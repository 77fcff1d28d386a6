#include "editor/recovery_prompt.h"

#include <imgui.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "base/system_names.h"
#include "document/edit_history.h"
#include "editor/autosave.h"
#include "editor/editor.h"
#include "editor/file_menu.h"

namespace fs = std::filesystem;

namespace {

std::string LocalTime(fs::file_time_type when) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(std::chrono::file_clock::to_sys(when)));
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

}  // namespace

bool CRecoveryPrompt::FindRecoveryFile() {
    const std::string stageFile = editor_.CurrentFile().TextPath();
    const std::string recovery = editor_.GetAutosave()->Path();
    std::error_code error;
    fs::file_time_type recoveryTime = fs::last_write_time(PathFromUtf8(recovery), error);
    if (error) return false;
    fs::file_time_type stageTime = fs::last_write_time(PathFromUtf8(stageFile), error);
    bool stageExists = !error;
    if (stageExists && recoveryTime <= stageTime) return false;  // saved after it was written
    message_ = "Unsaved changes were kept in\n  " + recovery + " (" + LocalTime(recoveryTime) + ")\nwhich is newer than\n  " +
               stageFile + (stageExists ? " (" + LocalTime(stageTime) + ")" : std::string(" (missing)"));
    return true;
}

void CRecoveryPrompt::Show() {
    if (!checked_) {
        checked_ = true;
        offered_ = FindRecoveryFile();
        if (offered_) ImGui::OpenPopup(kPopup);
    }
    if (!offered_) return;
    // A fixed place, clear of the main window.
    ImGui::SetNextWindowPos(ImVec2(kLeft, kTop), ImGuiCond_Appearing);
    ImGui::SetNextWindowSize(ImVec2(560, 0), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal(kPopup, nullptr, 0)) {
        if (dismiss_) offered_ = dismiss_ = false;
        return;
    }
    ImGui::TextUnformatted(message_.c_str());
    // Escape leaves the choice for later: the file is offered again at the next start.
    bool close = dismiss_;
    if (dismiss_) offered_ = dismiss_ = false;
    if (ImGui::Button("Recover")) {
        Recover();
        close = true;
    }
    ImGui::SameLine();
    if (ImGui::Button("Discard")) {
        Discard();
        close = true;
    }
    if (close) ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
}

FileResult CRecoveryPrompt::Recover() {
    offered_ = false;
    const std::string path = editor_.GetAutosave()->Path();
    // The recovery file holds the whole stage: it replaces what the stage file gave, and the stage file
    // stays the current one.
    FileResult result = editor_.Document().OpenText(path, "Recover");
    // The recovered stage is not what the stage file holds; the recovery file stays until a save.
    if (result.ok) editor_.GetHistory()->MarkUnsaved();
    CFileMenu& menu = *editor_.GetFileMenu();
    menu.Report(result, "Recovered", "from");
    if (result.ok)
        menu.AddToStatus(", in place of the stage read from " + editor_.CurrentFile().TextPath() +
                         "; not saved there yet");
    return result;
}

bool CRecoveryPrompt::Dismiss() {
    if (!offered_) return false;
    dismiss_ = true;
    return true;
}

void CRecoveryPrompt::Discard() {
    offered_ = false;
    editor_.GetAutosave()->Remove();
}
