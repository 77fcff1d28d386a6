#include "editor/file_menu.h"

#include <imgui.h>

#include "app/manager.h"
#include "editor/editor.h"
#include "scene/stage.h"
#include "stagefile/stage_json.h"

namespace {

std::string Plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

}  // namespace

void CFileMenu::ShowMenuBar() {
    if (!ImGui::BeginMenuBar()) return;
    if (ImGui::BeginMenu("File")) {
        if (ImGui::MenuItem("SaveText"))
            SaveText();
        else if (ImGui::MenuItem("LoadText"))
            LoadText();
        else if (ImGui::MenuItem("SaveJson"))
            SaveJson();
        ImGui::EndMenu();
    }
    ImGui::EndMenuBar();
}

FileResult CFileMenu::SaveText() {
    CStage* stage = CManager::GetInstance()->GetStage();
    FileResult result = stage ? stage->SaveText() : FileResult{false, "Data/FILE/stage.txt", 0, "no stage"};
    Report(result, "Saved", "to");
    return result;
}

FileResult CFileMenu::LoadText() {
    CStage* stage = CManager::GetInstance()->GetStage();
    FileResult result = stage ? stage->LoadText(&editor_.groups, "stage.txt")
                              : FileResult{false, "Data/FILE/stage.txt", 0, "no stage"};
    // A failed load changed nothing, the tag list included.
    if (result.ok) editor_.MergeTagsFromGroups();
    Report(result, "Loaded", "from");
    return result;
}

FileResult CFileMenu::SaveJson() {
    FileResult result = ::SaveJson(&editor_.groups, "stage.json");
    Report(result, "Exported", "to");
    return result;
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
}

void CFileMenu::ShowOutcome() {
    if (!status_.empty()) ImGui::TextWrapped("%s", status_.c_str());

    // The popup is opened here, at the main window's level, not inside the menu that ran the command.
    if (openErrorPopup_) {
        ImGui::OpenPopup(kErrorPopup);
        openErrorPopup_ = false;
    }
    ImGui::SetNextWindowSize(ImVec2(420, 0), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal(kErrorPopup, nullptr, 0)) return;
    ImGui::TextWrapped("File: %s", error_.path.c_str());
    if (error_.line > 0)
        ImGui::Text("Line: %d", error_.line);
    else
        ImGui::TextUnformatted("Line: -");
    ImGui::TextWrapped("Reason: %s", error_.message.c_str());
    ImGui::TextUnformatted("Nothing was changed.");
    if (ImGui::Button("Close")) {
        error_ = FileResult{};
        ImGui::CloseCurrentPopup();
    }
    ImGui::EndPopup();
}
