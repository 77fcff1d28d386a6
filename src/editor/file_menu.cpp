#include "editor/file_menu.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "base/system_names.h"
#include "document/edit_history.h"
#include "editor/autosave.h"
#include "editor/edit_menu.h"
#include "editor/selection_menu.h"
#include "editor/editor.h"
#include "editor/shortcuts.h"
#include "editor/view_menu.h"
#include "editor/file_change_guard.h"
#include "editor/gui_file_dialog.h"
#include "editor/unsaved_guard.h"
#include "input/input.h"
#include "stagefile/stage_json.h"

namespace {

std::string Plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

}  // namespace

CFileMenu::CFileMenu(CEditor& editor) : editor_(editor) {
    if (IPlatform* platform = editor_.Parts().platform) dialog_.reset(platform->CreateFileDialog());
    if (!dialog_) dialog_ = std::make_unique<CGuiFileDialog>();
    recent_.Load(CRecentFiles::DefaultSettingsPath());
    if (!recent_.Problem().empty()) status_ = recent_.Problem();
}

CFileMenu::~CFileMenu() = default;

void CFileMenu::ShowMenuBar() {
    if (!ImGui::BeginMenuBar()) return;
    if (ImGui::BeginMenu("File")) {
        if (ImGui::MenuItem("SaveText", ShortcutKeys(EditorCommand::Save)))
            SaveText();
        else if (ImGui::MenuItem("LoadText"))
            RequestLoadText();
        else if (ImGui::MenuItem("SaveJson"))
            SaveJson();
        ImGui::Separator();
        if (ImGui::MenuItem("Open...", ShortcutKeys(EditorCommand::Open))) Ask(Asking::Open);
        ShowRecentMenu();
        if (ImGui::MenuItem("Save As...", ShortcutKeys(EditorCommand::SaveAs)))
            Ask(Asking::SaveAs);
        else if (ImGui::MenuItem("Export JSON As..."))
            Ask(Asking::ExportJson);
        ImGui::EndMenu();
    }
    editor_.GetEditMenu()->ShowMenu();
    editor_.GetSelectionMenu()->ShowMenu();
    editor_.GetViewMenu()->ShowMenu();
    editor_.ShowWindowMenu();
    ImGui::EndMenuBar();
    HandleKeys();
}

void CFileMenu::HandleKeys() {
    CInputKeyboard* keyboard = editor_.Parts().keyboard;
    // Keys typed into a text field belong to it; a modal window (the dialog itself) has the user's attention.
    if (!keyboard || editor_.Focus().typing || editor_.Focus().modalPopup) return;
    if (ShortcutPressed(EditorCommand::Open, *keyboard)) Ask(Asking::Open);
    if (ShortcutPressed(EditorCommand::SaveAs, *keyboard)) Ask(Asking::SaveAs);
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
    if (!chosen.empty()) RequestOpen(chosen);  // after the loop: opening reorders the list
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
    afterSaveAs_ = nullptr;
    dialog_->Open(request);
}

void CFileMenu::AskSaveAs(std::function<void()> then) {
    Ask(Asking::SaveAs);
    afterSaveAs_ = std::move(then);
}

void CFileMenu::RequestOpen(const std::string& path) {
    const std::string name = Utf8FromPath(PathFromUtf8(path).filename());
    editor_.GetUnsavedGuard()->Ask("Opening " + name + " replaces them.", [this, path] { OpenFile(path); });
}

void CFileMenu::RequestLoadText() {
    editor_.GetUnsavedGuard()->Ask(
        "\"LoadText\" adds the file's objects to them; after \"Discard\" the stage is the "
        "file's alone.",
        [this] { LoadText(); }, [this] { Reload(); });
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
    afterSaveAs_ = nullptr;
    return true;
}

void CFileMenu::ShowFileName() {
    const CCurrentFile& current = editor_.CurrentFile();
    // A "*" before the name while the stage differs from what was last saved or loaded.
    ImGui::Text("Stage: %s%s", editor_.GetHistory()->IsModified() ? "*" : "", current.DisplayName().c_str());
    if (ImGui::IsItemHovered()) ImGui::SetTooltip("%s", current.TextPath().c_str());
}

FileResult CFileMenu::SaveText(std::function<void()> then, bool overDiskChange) {
    const CCurrentFile& current = editor_.CurrentFile();
    if (!overDiskChange && !editor_.GetFileChangeGuard()->ConfirmSave(then)) {
        status_ =
            "Not saved yet: " + current.TextPath() + " changed on disk since it was opened or saved here.";
        return Failure(current.TextPath(), "the file changed on disk since it was opened or saved here");
    }
    FileResult result = editor_.Document().SaveTextFile(current.TextPath());
    if (result.ok) {
        TakeIdentity(ReadFileIdentity(current.TextPath()));
        editor_.GetHistory()->MarkSaved();
        editor_.GetAutosave()->Remove();  // the stage file now holds everything
    }
    Report(result, "Saved", "to");
    if (result.ok && current.IsChosen()) Remember(current.Chosen());
    if (result.ok && then) then();
    return result;
}

FileResult CFileMenu::LoadText() {
    CStageDocument& document = editor_.Document();
    const CCurrentFile& current = document.CurrentFile();
    CEditHistory& history = document.History();
    // Loading adds the file's objects to what the stage holds: only a load into an empty, unchanged
    // stage leaves it equal to the file.
    bool fresh = !history.IsModified() && document.ObjectCount() == 0;
    // Taken before the read: a change made meanwhile is then seen as a change.
    const FileIdentity identity = ReadFileIdentity(current.TextPath());
    FileResult result = document.LoadText(current.TextPath());
    if (result.ok) TakeIdentity(identity);
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
    FileResult result = Replace(path, "Open", true);
    Report(result, "Opened", "from");
    if (result.ok) Remember(path);
    return result;
}

FileResult CFileMenu::Reload() {
    const CCurrentFile& current = editor_.CurrentFile();
    FileResult result = Replace(current.TextPath(), "Reload", false);
    Report(result, "Reloaded", "from");
    return result;
}

FileResult CFileMenu::Replace(const std::string& path, const char* what, bool choose) {
    CStageDocument& document = editor_.Document();
    // The file the stage then comes from, as it is on disk before the read (as LoadText).
    CCurrentFile file = document.CurrentFile();
    if (choose) file.Choose(path);
    file.SetIdentity(ReadFileIdentity(path));
    FileResult result = document.OpenText(path, what, &file);
    if (result.ok) {
        editor_.GetFileChangeGuard()->Forget();
        document.History().MarkSaved();  // the stage is now what the file holds
    }
    return result;
}

FileResult CFileMenu::SaveAs(const std::string& path) {
    FileResult result = editor_.Document().SaveTextFile(path);
    if (result.ok) {
        editor_.GetAutosave()->Remove();  // the recovery file of the stage file that was current
        editor_.CurrentFile().Choose(path);
        TakeIdentity(ReadFileIdentity(path));
        editor_.GetHistory()->MarkSaved();
    }
    Report(result, "Saved", "to");
    if (result.ok) Remember(path);
    return result;
}

void CFileMenu::TakeIdentity(const FileIdentity& identity) {
    editor_.CurrentFile().SetIdentity(identity);
    editor_.GetFileChangeGuard()->Forget();
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

    std::string chosen;
    if (dialog_->Show(&chosen)) {
        const Asking what = asking_;
        asking_ = Asking::Nothing;
        std::function<void()> then = std::move(afterSaveAs_);
        afterSaveAs_ = nullptr;
        if (what == Asking::Open) RequestOpen(chosen);
        if (what == Asking::SaveAs && SaveAs(chosen).ok && then) then();
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
