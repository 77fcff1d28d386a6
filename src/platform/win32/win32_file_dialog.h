// The system's own file dialog (GetOpenFileNameW / GetSaveFileNameW). It asks while Open runs, blocking
// the frame as a Windows user expects, and hands the answer out at the next Show. The time spent in it is
// taken out of the platform's clock, so the frame after it is not one long frame.
#pragma once

#include <string>

#include "platform/file_dialog.h"

class CWin32Platform;

class CWin32FileDialog : public IFileDialog {
public:
    explicit CWin32FileDialog(CWin32Platform& platform) : platform_(platform) {}

    void Open(const FileDialogRequest& request) override;
    bool IsOpen() const override { return false; }  // never open between two frames
    void Cancel() override { answered_ = false; }
    bool Show(std::string* path) override;

private:
    CWin32Platform& platform_;
    bool answered_ = false;
    std::string answer_;
};
