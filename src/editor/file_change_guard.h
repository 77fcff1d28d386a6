// The current stage file changed on disk by another program since the editor last read or wrote it. The
// editor looks with one stat a second (a hash only when size or time differ). While it is idle with no
// unsaved changes it offers to reload ("Reload" or "Ignore"); with unsaved changes the main window says so.
// A save over such a change asks first: "Overwrite", "Save As...", "Reload" (undoable, like "Open...") or
// "Cancel".
#pragma once

#include <functional>
#include <string>

#include "d3d/win_types.h"
#include "stagefile/file_identity.h"

class CEditor;

class CFileChangeGuard {
public:
    explicit CFileChangeGuard(CEditor& editor) : editor_(editor) {}

    // Once per editor frame, with the editor's clock.
    void Update(DWORD now);
    // Before a save: true when the file is as it was last read or written (or gone, or never read).
    // Otherwise the popup asks in the next frame, and `then` waits for its answer (it runs after a save).
    bool ConfirmSave(std::function<void()> then);
    // The file's identity was taken again: a change seen before is forgotten.
    void Forget();
    // The popup; run once per editor frame, outside every window.
    void Show();
    // Escape: the popup closes as "Cancel" / "Ignore"; false when it is not shown.
    bool Dismiss();
    bool IsAsking() const { return asking_ != Asking::Nothing; }
    bool IsAskingBeforeSave() const { return asking_ == Asking::Save; }
    // The main window's line while a change is known ("" otherwise).
    std::string Notice() const;

    static constexpr const char* kPopup = "File changed on disk";

private:
    enum class Asking { Nothing, Reload, Save };
    void Open(Asking what);
    void Close();
    bool Idle() const;

    CEditor& editor_;
    CFileWatch watch_;
    bool offerDue_ =
        false;  // a change seen; offered to reload once the editor is idle and nothing is unsaved
    Asking asking_ = Asking::Nothing;
    bool openRequested_ = false;
    bool dismiss_ = false;
    std::function<void()> then_;
};
