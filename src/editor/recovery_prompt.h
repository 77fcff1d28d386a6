// At start-up, a recovery file newer than the stage file (left by an editor that ended without saving) is
// offered in a popup that names both files and their times: "Recover" replaces the stage with it (the
// stage file stays the current one, and the stage counts as unsaved), "Discard" deletes it.
#pragma once

#include <string>

#include "stagefile/file_result.h"

class CEditor;

class CRecoveryPrompt {
public:
    explicit CRecoveryPrompt(CEditor& editor) : editor_(editor) {}

    // Run once per editor frame, outside every window; looks for the file in the first frame.
    void Show();
    // The commands behind the buttons.
    FileResult Recover();
    void Discard();
    // Escape: closes the popup and keeps the recovery file; false when the popup is not shown.
    bool Dismiss();

    bool IsOffered() const { return offered_; }
    // The popup's text: both files and their times.
    const std::string& Message() const { return message_; }

    static constexpr const char* kPopup = "Recover unsaved changes";
    // Where the popup opens, in client pixels.
    static constexpr float kLeft = 420.0f, kTop = 240.0f;

private:
    // True when the recovery file exists and is newer than the stage file (or the stage file is gone).
    bool FindRecoveryFile();

    CEditor& editor_;
    bool checked_ = false;
    bool offered_ = false;
    bool dismiss_ = false;  // Escape: the popup closes in the next frame
    std::string message_;
};
