// The seam for asking the user which file to open or save to. The editor draws its own dialog with the
// GUI library; a platform with a dialog of its own (GetOpenFileName / GetSaveFileName on Windows) hands one
// out through IPlatform::CreateFileDialog instead.
#pragma once

#include <string>

struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string title;        // the dialog's caption, e.g. "Open Stage"
    std::string filterName;   // e.g. "Stage files (*.txt)"
    std::string extension;    // e.g. ".txt": the files listed, and added to a saved name that has none
    std::string initialPath;  // a file or folder to start in; "" for the working directory
};

class IFileDialog {
public:
    virtual ~IFileDialog() = default;

    // Starts asking. A blocking system dialog may ask right here and keep the answer for the next Show.
    virtual void Open(const FileDialogRequest& request) = 0;
    virtual bool IsOpen() const = 0;
    // Closes the dialog without an answer (the user pressed Escape).
    virtual void Cancel() = 0;
    // Called once per GUI frame, at the main window's level. True once, in the frame in which the user
    // chose a file (*path is then set); a cancelled dialog closes without an answer.
    virtual bool Show(std::string* path) = 0;
};
