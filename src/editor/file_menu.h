// The "File" menu of the main window: save the stage as text, load it back, export the JSON. Every
// command's outcome is shown in the main window; a failure opens a popup naming the file, line and reason.
#pragma once

#include <string>

#include "stagefile/file_result.h"

class CEditor;

class CFileMenu {
public:
    explicit CFileMenu(CEditor& editor) : editor_(editor) {}

    // The menu bar with the "File" menu; run right after the main window begins.
    void ShowMenuBar();
    // The line that tells the last command's outcome, and the error popup of a failed command.
    void ShowOutcome();

    // ---- the commands behind the menu items ----
    FileResult SaveText();
    FileResult LoadText();
    FileResult SaveJson();

    // What the main window shows after the last command ("" before any).
    const std::string& Status() const { return status_; }
    // The failure waiting for (or shown in) the error popup.
    bool HasError() const { return !error_.ok; }
    const FileResult& Error() const { return error_; }

    static constexpr const char* kErrorPopup = "File error";

private:
    // Shows a successful command's summary, or queues the popup for a failed one.
    void Report(const FileResult& result, const char* verb, const char* preposition);

    CEditor& editor_;
    std::string status_;
    FileResult error_;  // ok while there is nothing to show
    bool openErrorPopup_ = false;
};
