// The unsaved-changes guard: whatever would drop the stage's unsaved changes (quitting, "Open...",
// "Recent", "LoadText") runs at once while there are none; otherwise the modal popup "Unsaved changes"
// asks first and keeps the action pending: "Save" runs it once the save has worked, "Discard" runs it
// without saving, "Cancel" (also Escape) drops it.
#pragma once

#include <functional>
#include <string>

class CEditor;

class CUnsavedGuard {
public:
    enum class Request { Escape, Close };

    explicit CUnsavedGuard(CEditor& editor) : editor_(editor) {}

    // A request to end the program; true when it may end now. Otherwise the popup opens in the next
    // frame. Escape while the popup is asking cancels it.
    bool RequestQuit(Request request);
    // Runs `action` now when nothing is unsaved and returns true. Otherwise the popup asks in the next
    // frame, saying `what` the action does to the changes ("Opening forest.txt replaces them."); "Discard"
    // removes the recovery file and runs `discard` (`action` when empty). False while another question is
    // pending: the new action is dropped.
    bool Ask(const std::string& what, std::function<void()> action, std::function<void()> discard = {});
    // The popup; run once per editor frame, outside every window.
    void Show();
    // True from a refused request until the popup is answered.
    bool IsAsking() const { return openRequested_ || asking_; }
    // What the pending action does to the changes ("" when nothing is pending).
    const std::string& What() const { return what_; }

    static constexpr const char* kPopup = "Unsaved changes";

private:
    void Quit();
    void Drop();

    CEditor& editor_;
    bool openRequested_ = false;
    bool asking_ = false;
    bool cancelRequested_ = false;
    std::string what_;
    std::function<void()> action_;
    std::function<void()> discard_;
};
