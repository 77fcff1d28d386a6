// When the frame loop may rest: frames run while anything changes (a message came, a key or button is
// held, the mouse moved, the camera still turns, a drag, typing, an autosave under way) and for a short
// while after, so the GUI settles (popups size themselves, hover states follow); then no frame is drawn or
// presented until the next message, and only the timed work runs, once a second.
#pragma once

#include <cstdint>

#include "d3d/win_types.h"

class CManager;

class CFrameActivity {
public:
    static constexpr DWORD kSettleTime = 500;       // ms of frames after the last change
    static constexpr unsigned kSettleFrames = 30;   // and at least this many frames
    static constexpr DWORD kTimerPeriod = 1000;     // ms between two runs of the timed work while resting

    explicit CFrameActivity(DWORD now) : lastChange_(now), lastTick_(now) {}

    // Something changed at `now`: frames run again.
    void Changed(DWORD now);
    // After each frame: whether it left something changing.
    void FrameDone(DWORD now, bool changing);
    // True once the settling frames and time have passed since the last change.
    bool Resting(DWORD now) const;
    // While resting: true when the timed work is due at `now` (and counts it as done).
    bool TickDue(DWORD now);
    // While resting: ms until the timed work is due.
    DWORD UntilTick(DWORD now) const;

private:
    DWORD lastChange_;
    DWORD lastTick_;
    unsigned framesSinceChange_ = 0;
};

// True when the frame just run leaves the picture changing by itself or under the user's hands.
bool FrameLeavesChange(const CManager& manager);
