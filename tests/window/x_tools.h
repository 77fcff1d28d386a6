// Small helpers for the tests that drive a real window on the virtual X server: shell commands (xdotool,
// xwininfo, xprop), the X window behind an SDL window, the editor program started in a folder of its own,
// and screenshots to wait for what a frame shows rather than for a fixed time.
#pragma once

#include <sys/types.h>

#include <cstdint>

#include <filesystem>
#include <string>
#include <vector>

struct SDL_Window;

// Runs a shell command and returns what it printed, without the trailing newline.
std::string Shell(const std::string& command);
// The X11 window id of an SDL window, as the X tools write it (decimal).
std::string XWindowId(SDL_Window* window);

// One left-button drag in the window, driven from a frame loop: called every frame, it focuses the window
// and puts the pointer at (fromX, fromY) at frame `first`, presses two frames later, moves in `steps`
// frames (one step each) to (toX, toY) and lets go two frames after: steps + 6 frames in all.
void Drag(const std::string& window, std::uint64_t frame, std::uint64_t first, int steps, int fromX, int fromY,
          int toX, int toY);

// Starts the editor in `folder` with `arguments`; what it says goes to folder/editor.log. Leak checks are
// off there: the GL driver is unloaded before they run (the in-process tests check the program's own code).
pid_t StartEditorIn(const std::filesystem::path& folder, const std::vector<std::string>& arguments = {});
// The editor's X window, once it shows (up to 60 s); "" when it does not.
std::string WaitForEditorWindow();
// Waits up to `seconds` for the child to end: its exit status, or -1 (and the child killed) when it did not.
int WaitForExit(pid_t child, int seconds);

// Screenshots of one window in a folder, compared by ImageMagick. An area is "WxH+X+Y" in window pixels
// ("" for the whole window). VELLUMAR_SHOTS=DIR keeps them in DIR.
class CWindowShots {
public:
    CWindowShots(std::string window, std::filesystem::path folder);

    void Take(const std::string& name) const;
    // Pixels that differ (by more than 5 %) between two shots in the area; -1 when one is missing.
    long Differ(const std::string& a, const std::string& b, const std::string& area) const;
    // Takes `name` until it differs from `base` in more than `pixels` of the area; false after 20 s.
    bool AwaitChange(const std::string& name, const std::string& base, const std::string& area, long pixels) const;
    // Takes `name` until two shots half a second apart agree in the area; false after 20 s.
    bool Settle(const std::string& name, const std::string& area) const;
    // Clicks at (x, y). The editor hands the press and the release to the GUI where they happened, each in
    // a frame of its own, so the click needs no wait for a frame that has seen the pointer there.
    void Click(int x, int y) const;
    // Holds the keys (xdotool names, "ctrl+o") until the area differs from `base` in more than `pixels`.
    bool Hold(const std::string& keys, const std::string& name, const std::string& base, const std::string& area,
              long pixels) const;

private:
    std::string Path(const std::string& name) const;

    std::string window_;
    std::filesystem::path folder_;
};
