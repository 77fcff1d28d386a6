#include "editor/gui_file_dialog.h"

#include <imgui.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

namespace {
void CopyName(char* buffer, std::size_t size, const std::string& text) {
    std::strncpy(buffer, text.c_str(), size - 1);
    buffer[size - 1] = '\0';
}
}  // namespace

void CGuiFileDialog::Open(const FileDialogRequest& request) {
    request_ = request;
    open_ = true;
    openPopup_ = true;
    cancelled_ = false;
    message_.clear();
    confirmReplace_.clear();
    filter_ = 0;
    std::error_code error;
    fs::path start = request.initialPath.empty() ? fs::current_path(error) : fs::absolute(request.initialPath, error);
    std::string name;
    if (!fs::is_directory(start, error)) {
        name = start.filename().string();
        start = start.parent_path();
    }
    if (!fs::is_directory(start, error)) start = fs::current_path(error);
    CopyName(name_, sizeof name_, request.mode == FileDialogRequest::Mode::Save ? name : "");
    EnterFolder(start);
}

void CGuiFileDialog::EnterFolder(const fs::path& folder) {
    folder_ = folder.lexically_normal();
    if (folder_.filename().empty() && folder_.has_parent_path() && folder_.parent_path() != folder_)
        folder_ = folder_.parent_path();  // "levels/" is "levels"

    Refresh();
}

void CGuiFileDialog::Refresh() {
    entries_.clear();
    std::error_code error;
    fs::directory_iterator it(folder_, fs::directory_options::skip_permission_denied, error);
    if (error) {
        message_ = "Cannot list " + folder_.string() + ": " + error.message();
        return;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;  // hidden files
        std::error_code typeError;
        const bool folder = it->is_directory(typeError);
        if (!folder) {
            if (!it->is_regular_file(typeError)) continue;
            if (filter_ == 0 && !request_.extension.empty() && it->path().extension() != request_.extension) continue;
        }
        entries_.push_back(Entry{name, folder});
    }
    // Folders first, then files, each in name order as people read it (case aside).
    auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    std::sort(entries_.begin(), entries_.end(), [&](const Entry& a, const Entry& b) {
        if (a.folder != b.folder) return a.folder;
        const std::string la = lower(a.name), lb = lower(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
}

bool CGuiFileDialog::Accept(std::string* path) {
    const std::string typed = name_;
    if (typed.empty()) {
        message_ = "Type a file name or choose a file.";
        return false;
    }
    fs::path chosen = fs::path(typed).is_absolute() ? fs::path(typed) : folder_ / typed;
    chosen = chosen.lexically_normal();
    std::error_code error;
    if (fs::is_directory(chosen, error)) {
        CopyName(name_, sizeof name_, "");
        EnterFolder(chosen);
        return false;
    }
    if (request_.mode == FileDialogRequest::Mode::Open) {
        if (!fs::exists(chosen, error)) {
            message_ = "There is no file " + chosen.string() + ".";
            return false;
        }
    } else {
        if (!request_.extension.empty() && !chosen.has_extension()) chosen += request_.extension;
        if (!fs::is_directory(chosen.parent_path(), error)) {
            message_ = "There is no folder " + chosen.parent_path().string() + ".";
            return false;
        }
        if (fs::exists(chosen, error) && confirmReplace_ != chosen.string()) {
            confirmReplace_ = chosen.string();  // asked below the field; a second "Save" replaces it
            message_.clear();
            return false;
        }
    }
    *path = chosen.string();
    open_ = false;
    return true;
}

bool CGuiFileDialog::ShowList(std::string* path) {
    bool chosen = false;
    ImGui::BeginChild("Entries", ImVec2(0, 260), true, 0);
    fs::path enter;
    // Only the entries in view are built.
    ImGuiListClipper clipper;
    clipper.Begin(static_cast<int>(entries_.size()));
    while (clipper.Step()) {
        for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row) {
            const std::size_t i = static_cast<std::size_t>(row);
            const Entry& entry = entries_[i];
            const std::string label = entry.folder ? entry.name + "/" : entry.name;
            ImGui::PushID(static_cast<int>(i));
            const bool selected = !entry.folder && entry.name == name_;
            if (ImGui::Selectable(label.c_str(), selected, ImGuiSelectableFlags_AllowDoubleClick, ImVec2(0, 0))) {
                if (entry.folder) {
                    enter = folder_ / entry.name;
                } else {
                    CopyName(name_, sizeof name_, entry.name);
                    confirmReplace_.clear();
                    message_.clear();
                    if (ImGui::IsMouseDoubleClicked(0)) chosen = Accept(path);
                }
            }
            ImGui::PopID();
        }
    }
    ImGui::EndChild();
    if (!enter.empty()) EnterFolder(enter);  // after the loop: the list changes
    return chosen;
}

bool CGuiFileDialog::Show(std::string* path) {
    if (!open_) return false;
    const std::string window = WindowName();
    if (openPopup_) {
        ImGui::OpenPopup(window.c_str());
        openPopup_ = false;
    }
    ImGui::SetNextWindowSize(ImVec2(620, 0), ImGuiCond_Appearing);
    if (!ImGui::BeginPopupModal(window.c_str(), nullptr, 0)) {
        open_ = false;  // closed by the library (it never is while open_ holds)
        return false;
    }
    bool chosen = false;
    const bool saving = request_.mode == FileDialogRequest::Mode::Save;

    if (ImGui::Button("Up") && folder_.has_parent_path() && folder_.parent_path() != folder_)
        EnterFolder(folder_.parent_path());
    ImGui::SameLine();
    ImGui::TextUnformatted(folder_.string().c_str());

    chosen = ShowList(path);

    if (ImGui::InputText(kNameField, name_, sizeof name_, ImGuiInputTextFlags_EnterReturnsTrue) && !chosen)
        chosen = Accept(path);
    if (ImGui::IsItemEdited()) confirmReplace_.clear();

    const std::string filters[2] = {request_.filterName.empty() ? "Matching files" : request_.filterName,
                                    "All files (*)"};
    ImGui::SetNextItemWidth(240);
    if (ImGui::BeginCombo("Files of type", filters[filter_].c_str(), 0)) {
        for (int i = 0; i < 2; ++i)
            if (ImGui::Selectable(filters[i].c_str(), filter_ == i, 0, ImVec2(0, 0)) && filter_ != i) {
                filter_ = i;
                Refresh();
            }
        ImGui::EndCombo();
    }

    if (!confirmReplace_.empty())
        ImGui::TextWrapped("%s already exists. Press \"Save\" again to replace it.", confirmReplace_.c_str());
    if (!message_.empty()) ImGui::TextWrapped("%s", message_.c_str());

    if (ImGui::Button(saving ? "Save" : "Open") && !chosen) chosen = Accept(path);
    ImGui::SameLine();
    if (ImGui::Button("Cancel") || cancelled_) open_ = false;
    if (!open_) ImGui::CloseCurrentPopup();
    ImGui::EndPopup();
    return chosen;
}
