// Mouse button presses and releases as the window reported them, handed to the GUI at most one change per
// button a frame, each with the point where it happened. The GUI looks at the buttons once a frame: without
// the queue a click pressed and released between two frames would be lost, and a release would be seen
// wherever the pointer has gone since (over a menu item, which a release there chooses).
#pragma once

#include <deque>

class CMouseButtonQueue {
public:
    static constexpr int kButtons = 5;  // left, right, middle, X1, X2

    // A press (down) or release of `button` at (x, y) in client-area pixels; other buttons are ignored.
    void Push(int button, bool down, float x, float y);

    // Applies to `held` the events this frame may see, oldest first, stopping before a second change of a
    // button. Returns true when it applied any, with (x, y) the point of the last one.
    bool Apply(bool (&held)[kButtons], float& x, float& y);

    bool Empty() const { return events_.empty(); }
    void Clear() { events_.clear(); }

private:
    struct Event {
        int button;
        bool down;
        float x, y;
    };
    std::deque<Event> events_;
};
