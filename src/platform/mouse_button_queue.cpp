#include "platform/mouse_button_queue.h"

void CMouseButtonQueue::Push(int button, bool down, float x, float y) {
    if (button < 0 || button >= kButtons) return;
    events_.push_back({button, down, x, y});
}

bool CMouseButtonQueue::Apply(bool (&held)[kButtons], float& x, float& y) {
    bool changed[kButtons] = {};
    bool applied = false;
    while (!events_.empty()) {
        const Event& event = events_.front();
        if (held[event.button] != event.down) {
            if (changed[event.button]) break;  // the next frame sees it, so that this one sees the first change
            held[event.button] = event.down;
            changed[event.button] = true;
        }
        x = event.x;
        y = event.y;
        applied = true;
        events_.pop_front();
    }
    return applied;
}
