// The editor's own file dialog, drawn with the GUI library as a modal window: the folder's path with an
// "Up" button, its folders and the files that pass the filter, a file name field and the filter choice.
// Clicking a folder opens it; clicking a file puts its name in the field; a double click or the
// "Open" / "Save" button chooses. Saving over an existing file asks first.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_dialog.h"

class CGuiFileDialog : public IFileDialog {
public:
    void Open(const FileDialogRequest& request) override;
    bool IsOpen() const override { return open_; }
    void Cancel() override { cancelled_ = open_; }
    bool Show(std::string* path) override;

    // ---- what the window shows, for tests ----
    const std::filesystem::path& Folder() const { return folder_; }
    struct Entry {
        std::string name;
        bool folder = false;
    };
    const std::vector<Entry>& Entries() const { return entries_; }
    const std::string& Message() const { return message_; }

    // The window's name as the GUI library knows it: the request's title.
    std::string WindowName() const { return request_.title.empty() ? "File" : request_.title; }
    static constexpr const char* kNameField = "File name";

private:
    void EnterFolder(const std::filesystem::path& folder);
    // Lists the folder: sub-folders first, then the files that pass the filter, each in name order.
    void Refresh();
    // Takes the typed name (relative to the folder shown, or absolute). Returns true when it chose a file.
    bool Accept(std::string* path);
    bool ShowList(std::string* path);

    FileDialogRequest request_;
    bool open_ = false;
    bool openPopup_ = false;
    bool cancelled_ = false;  // closed at the next Show, inside the GUI frame
    std::filesystem::path folder_;
    std::vector<Entry> entries_;
    char name_[1024] = {};
    int filter_ = 0;  // 0: the request's files, 1: every file
    std::string message_;
    std::string confirmReplace_;  // the file a save would replace, while asking
};
