// The unsaved-changes guard: Escape, the close box and the system's quit request end the program at once
// while the stage has no unsaved changes; otherwise the modal popup "Unsaved changes" asks first, with
// "Save" (ends the program only when the save succeeded), "Discard" and "Cancel" (also Escape).
#pragma once

class CEditor;

class CQuitGuard {
public:
    enum class Request { Escape, Close };

    explicit CQuitGuard(CEditor& editor) : editor_(editor) {}

    // A request to end the program; true when it may end now. Otherwise the popup opens in the next
    // frame. Escape while the popup is asking cancels it.
    bool RequestQuit(Request request);
    // The popup; run once per editor frame, outside every window.
    void Show();
    // True from a refused request until the popup is answered.
    bool IsAsking() const { return openRequested_ || asking_; }

    static constexpr const char* kPopup = "Unsaved changes";

private:
    void Quit();

    CEditor& editor_;
    bool openRequested_ = false;
    bool asking_ = false;
    bool cancelRequested_ = false;
};
