// The "File" menu of the main window: the design's "SaveText", "LoadText" and "SaveJson" on the current
// stage file, and "Open...", "Recent", "Save As..." and "Export JSON As..." to work on any stage file.
// Every command's outcome is shown in the main window; a failure opens a popup naming the file, line and
// reason, and changes nothing.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "editor/recent_files.h"
#include "platform/file_dialog.h"
#include "stagefile/file_identity.h"
#include "stagefile/file_result.h"

class CEditor;

class CFileMenu {
public:
    // Reads the recent files from the settings file and takes the platform's file dialog, or makes the
    // editor's own.
    explicit CFileMenu(CEditor& editor);
    ~CFileMenu();

    // The menu bar with the "File" menu; run right after the main window begins.
    void ShowMenuBar();
    // The current stage file's name.
    void ShowFileName();
    // The line that tells the last command's outcome, the error popup of a failed command, and the file
    // dialog while it is open.
    void ShowOutcome();

    // ---- the commands behind the menu items ----
    // On the current stage file (Data/FILE/stage.txt and stage.json until a file is chosen). A save over
    // a file that another program changed since it was read or written asks first (unless `overDiskChange`)
    // and fails meanwhile; `then` runs after the save has worked, also when it waited for that answer.
    FileResult SaveText(std::function<void()> then = {}, bool overDiskChange = false);
    FileResult LoadText();
    FileResult SaveJson();
    // Replaces the stage with the file's groups; the file becomes the current one.
    FileResult OpenFile(const std::string& path);
    // Replaces the stage with the current file's groups, as "Open..." does (undoable); the tag list too.
    FileResult Reload();
    // The menu's way to the commands that drop the stage: with unsaved changes the "Unsaved changes" popup
    // asks first. "Discard" before "LoadText" reloads the file instead of adding its objects to the stage.
    void RequestOpen(const std::string& path);
    void RequestLoadText();
    // Asks for a file to save to; `then` runs once the save there has worked.
    void AskSaveAs(std::function<void()> then);
    // Saves the stage to the file, which becomes the current one.
    FileResult SaveAs(const std::string& path);
    // Exports the editor's groups to the file; the current file stays.
    FileResult ExportJsonAs(const std::string& path);

    IFileDialog& Dialog() { return *dialog_; }
    // Escape: closes the file dialog without an answer; false when it was not open.
    bool CancelDialog();
    // Escape: closes the error popup; false when there is none.
    bool DismissError();
    const CRecentFiles& Recent() const { return recent_; }

    // What the main window shows after the last command ("" before any).
    const std::string& Status() const { return status_; }
    // The failure waiting for (or shown in) the error popup.
    bool HasError() const { return !error_.ok; }
    const FileResult& Error() const { return error_; }

    static constexpr const char* kErrorPopup = "File error";

    // Shows a successful command's summary, or queues the popup for a failed one.
    void Report(const FileResult& result, const char* verb, const char* preposition);
    // Adds to the status line what the summary leaves out.
    void AddToStatus(const std::string& text) { status_ += text; }

private:
    enum class Asking { Nothing, Open, SaveAs, ExportJson };
    void Ask(Asking what);
    void ShowRecentMenu();
    // Ctrl+O asks for a file to open, Ctrl+Shift+S for one to save to.
    void HandleKeys();
    // The file joins the recent files; a settings file that cannot be written is reported on the status line.
    void Remember(const std::string& path);
    // Replaces the stage with the file's groups as one undoable step named `what`; with `choose` the file
    // becomes the current one.
    FileResult Replace(const std::string& path, const char* what, bool choose);
    // The current file was read or written: its identity on disk is now `identity`.
    void TakeIdentity(const FileIdentity& identity);

    CEditor& editor_;
    std::unique_ptr<IFileDialog> dialog_;
    Asking asking_ = Asking::Nothing;
    CRecentFiles recent_;
    std::string status_;
    FileResult error_;  // ok while there is nothing to show
    bool openErrorPopup_ = false;
    bool dismissError_ = false;  // Escape: the error popup closes in the next frame
    std::function<void()> afterSaveAs_;  // runs once the save of the open "Save As" dialog has worked
};
