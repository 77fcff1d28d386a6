#include "editor/file_menu.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "app/manager.h"
#include "editor/autosave.h"
#include "editor/edit_history.h"
#include "editor/edit_menu.h"
#include "editor/editor.h"
#include "editor/gui_file_dialog.h"
#include "input/input.h"
#include "scene/stage.h"
#include "stagefile/stage_json.h"

namespace {

std::string Plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

FileResult NoStage(const std::string& path) { return FileResult{false, path, 0, "no stage", 0, 0}; }

std::size_t ObjectCount(const StageGroups& groups) {
    std::size_t count = 0;
    for (const auto& entry : groups) count += entry.second.size();
    return count;
}

}  // namespace

CFileMenu::CFileMenu(CEditor& editor) : editor_(editor) {
    if (IPlatform* platform = CManager::GetInstance()->GetPlatform()) dialog_.reset(platform->CreateFileDialog());
    if (!dialog_) dialog_ = std::make_unique<CGuiFileDialog>();
    recent_.Load(CRecentFiles::DefaultSettingsPath());
    if (!recent_.Problem().empty()) status_ = recent_.Problem();
}

CFileMenu::~CFileMenu() = default;

void CFileMenu::ShowMenuBar() {
    if (!ImGui::BeginMenuBar()) return;
    if (ImGui::BeginMenu("File")) {
        if (ImGui::MenuItem("SaveText", "Ctrl+S"))
            SaveText();
        else if (ImGui::MenuItem("LoadText"))
            LoadText();
        else if (ImGui::MenuItem("SaveJson"))
            SaveJson();
        ImGui::Separator();
        if (ImGui::MenuItem("Open...", "Ctrl+O")) Ask(Asking::Open);
        ShowRecentMenu();
        if (ImGui::MenuItem("Save As...", "Ctrl+Shift+S"))
            Ask(Asking::SaveAs);
        else if (ImGui::MenuItem("Export JSON As..."))
            Ask(Asking::ExportJson);
        ImGui::EndMenu();
    }
    editor_.GetEditMenu()->ShowMenu();
    ImGui::EndMenuBar();
    HandleKeys();
}

void CFileMenu::HandleKeys() {
    CInputKeyboard* keyboard = CManager::GetInstance()->GetKeyboard();
    // Keys typed into a text field belong to it; a modal window (the dialog itself) has the user's attention.
    if (!keyboard || editor_.IsTypingText() || ImGui::GetTopMostPopupModal()) return;
    const bool control = keyboard->GetPress(DIK_LCONTROL) || keyboard->GetPress(DIK_RCONTROL);
    const bool shift = keyboard->GetPress(DIK_LSHIFT) || keyboard->GetPress(DIK_RSHIFT);
    if (control && !shift && keyboard->GetTrigger(DIK_O)) Ask(Asking::Open);
    if (control && shift && keyboard->GetTrigger(DIK_S)) Ask(Asking::SaveAs);
}

void CFileMenu::ShowRecentMenu() {
    if (!ImGui::BeginMenu("Recent", !recent_.Files().empty())) return;
    std::string chosen;
    for (std::size_t i = 0; i < recent_.Files().size(); ++i) {
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::MenuItem(recent_.Files()[i].c_str())) chosen = recent_.Files()[i];
        ImGui::PopID();
    }
    ImGui::EndMenu();
    if (!chosen.empty()) OpenFile(chosen);  // after the loop: opening reorders the list
}

void CFileMenu::Ask(Asking what) {
    const CCurrentFile& current = editor_.CurrentFile();
    FileDialogRequest request;
    request.mode = what == Asking::Open ? FileDialogRequest::Mode::Open : FileDialogRequest::Mode::Save;
    if (what == Asking::ExportJson) {
        request.title = "Export JSON As";
        request.filterName = "Stage JSON files (*.json)";
        request.extension = ".json";
        request.initialPath = current.JsonPath();
    } else {
        request.title = what == Asking::Open ? "Open Stage" : "Save Stage As";
        request.filterName = "Stage files (*.txt)";
        request.extension = ".txt";
        request.initialPath = current.TextPath();
    }
    asking_ = what;
    dialog_->Open(request);
}

bool CFileMenu::DismissError() {
    if (!HasError()) return false;
    dismissError_ = true;
    return true;
}

bool CFileMenu::CancelDialog() {
    if (!dialog_->IsOpen()) return false;
    dialog_->Cancel();
    asking_ = Asking::Nothing;
    return true;
}

void CFileMenu::ShowFileName() {
    const CCurrentFile& current = editor_.CurrentFile();
    // A "*" before the name while the stage differs from what was last saved or loaded.
    ImGui::Text("Stage: %s%s", editor_.GetHistory()->IsModified() ? "*" : "", current.DisplayName().c_str());
    if (ImGui::IsItemHovered()) ImGui::SetTooltip("%s", current.TextPath().c_str());
}

FileResult CFileMenu::SaveText() {
    const CCurrentFile& current = editor_.CurrentFile();
    CStage* stage = CManager::GetInstance()->GetStage();
    FileResult result = stage ? stage->SaveTextFile(current.TextPath()) : NoStage(current.TextPath());
    if (result.ok) {
        editor_.GetHistory()->MarkSaved();
        editor_.GetAutosave()->Remove();  // the stage file now holds everything
    }
    Report(result, "Saved", "to");
    if (result.ok && current.IsChosen()) Remember(current.Chosen());
    return result;
}

FileResult CFileMenu::LoadText() {
    const CCurrentFile& current = editor_.CurrentFile();
    CStage* stage = CManager::GetInstance()->GetStage();
    if (!stage) return NoStage(current.TextPath());
    CEditHistory& history = *editor_.GetHistory();
    // Loading adds the file's objects to what the stage holds: only a load into an empty, unchanged
    // stage leaves it equal to the file.
    bool fresh = !history.IsModified() && ObjectCount(stage->Groups()) == 0;
    history.Begin("LoadText");
    history.TouchAllGroups();
    FileResult result = stage->LoadTextFile(&editor_.groups, current.TextPath());
    // A failed load changed nothing, the tag list included.
    if (result.ok) editor_.MergeTagsFromGroups();
    history.End();
    if (result.ok && fresh) history.MarkSaved();
    Report(result, "Loaded", "from");
    if (result.ok && current.IsChosen()) Remember(current.Chosen());
    return result;
}

FileResult CFileMenu::SaveJson() {
    FileResult result = SaveJsonFile(editor_.groups, editor_.CurrentFile().JsonPath());
    Report(result, "Exported", "to");
    return result;
}

FileResult CFileMenu::OpenFile(const std::string& path) {
    CStage* stage = CManager::GetInstance()->GetStage();
    if (!stage) return NoStage(path);
    CEditHistory& history = *editor_.GetHistory();
    history.Begin("Open");
    history.TouchAllGroups();
    FileResult result = stage->OpenTextFile(&editor_.groups, path);
    if (result.ok) {
        editor_.ReplaceTagsFromGroups();
        // Undoing the open brings back the file the earlier stage came from, so a save cannot write it
        // over the opened one.
        const std::string before = editor_.CurrentFile().Chosen();
        CCurrentFile& current = editor_.CurrentFile();
        history.AddChange([&current, before] { current.Choose(before); }, [&current, path] { current.Choose(path); },
                          before.size() + path.size());
        current.Choose(path);
    }
    history.End();
    if (result.ok) history.MarkSaved();  // the stage is now what the file holds
    Report(result, "Opened", "from");
    if (result.ok) Remember(path);
    return result;
}

FileResult CFileMenu::SaveAs(const std::string& path) {
    CStage* stage = CManager::GetInstance()->GetStage();
    FileResult result = stage ? stage->SaveTextFile(path) : NoStage(path);
    if (result.ok) {
        editor_.GetAutosave()->Remove();  // the recovery file of the stage file that was current
        editor_.CurrentFile().Choose(path);
        editor_.GetHistory()->MarkSaved();
    }
    Report(result, "Saved", "to");
    if (result.ok) Remember(path);
    return result;
}

FileResult CFileMenu::ExportJsonAs(const std::string& path) {
    FileResult result = SaveJsonFile(editor_.groups, path);
    Report(result, "Exported", "to");
    return result;
}

void CFileMenu::Remember(const std::string& path) {
    FileResult saved = recent_.Add(path);
    if (!saved.ok) status_ += " (the recent files could not be kept: " + saved.Describe() + ")";
}

void CFileMenu::Report(const FileResult& result, const char* verb, const char* preposition) {
    if (!result.ok) {
        error_ = result;
        openErrorPopup_ = true;
        status_ = "Failed: " + result.Describe();
        return;
    }
    status_ = std::string(verb) + " " + Plural(result.objects, "object") + " in " + Plural(result.groups, "group") +
              " " + preposition + " " + result.path;
    if (result.inPlace)
        status_ += " (not atomic: the folder takes no new files, so the file was rewritten in place)";
}

void CFileMenu::ShowOutcome() {
    if (!status_.empty()) ImGui::TextWrapped("%s", status_.c_str());

    // The dialog is modal: the scene behind it takes no drags.
    if (dialog_->IsOpen()) editor_.mouseOverWindow = true;
    std::string chosen;
    if (dialog_->Show(&chosen)) {
        const Asking what = asking_;
        asking_ = Asking::Nothing;
        if (what == Asking::Open) OpenFile(chosen);
        if (what == Asking::SaveAs) SaveAs(chosen);
        if (what == Asking::ExportJson) ExportJsonAs(chosen);
    }

    // The popup is opened here, at the main window's level, not inside the menu that ran the command.
    if (openErrorPopup_) {
        ImGui::OpenPopup(kErrorPopup);
        openErrorPopup_ = false;
    }
    ImGui::SetNextWindowSize(ImVec2(420, 0), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal(kErrorPopup, nullptr, 0)) {
        if (dismissError_) error_ = FileResult{};
        dismissError_ = false;
        return;
    }
    ImGui::TextWrapped("File: %s", error_.path.c_str());
    if (error_.line > 0)
        ImGui::Text("Line: %d", error_.line);
    else
        ImGui::TextUnformatted("Line: -");
    ImGui::TextWrapped("Reason: %s", error_.message.c_str());
    ImGui::TextUnformatted("Nothing was changed.");
    if (ImGui::Button("Close") || dismissError_) {
        error_ = FileResult{};
        dismissError_ = false;
        ImGui::CloseCurrentPopup();
    }
    ImGui::EndPopup();
}
