#include "platform/mouse_button_queue.h"

#include <gtest/gtest.h>

namespace {

struct Frame {
    bool applied;
    bool left;
    float x, y;
};

Frame NextFrame(CMouseButtonQueue& queue, bool (&held)[CMouseButtonQueue::kButtons]) {
    float x = -1, y = -1;
    bool applied = queue.Apply(held, x, y);
    return {applied, held[0], x, y};
}

}  // namespace

// A click pressed and released between two frames reaches the GUI as a press in one frame and the
// release in the next, each where it happened; a double click takes four frames.
TEST(MouseButtonQueue, ClicksBetweenFramesArriveOneChangeAFrameAtTheirPoints) {
    CMouseButtonQueue queue;
    bool held[CMouseButtonQueue::kButtons] = {};
    queue.Push(0, true, 25, 48);
    queue.Push(0, false, 26, 48);
    queue.Push(0, true, 38, 89);
    queue.Push(0, false, 38, 90);

    Frame f = NextFrame(queue, held);
    EXPECT_TRUE(f.applied && f.left);
    EXPECT_EQ(f.x, 25);
    f = NextFrame(queue, held);
    EXPECT_TRUE(f.applied && !f.left);
    EXPECT_EQ(f.x, 26);
    f = NextFrame(queue, held);
    EXPECT_TRUE(f.left);
    EXPECT_EQ(f.y, 89);
    f = NextFrame(queue, held);
    EXPECT_TRUE(f.applied && !f.left);
    EXPECT_EQ(f.y, 90);
    EXPECT_TRUE(queue.Empty());
    EXPECT_FALSE(NextFrame(queue, held).applied);
}

// Different buttons change in the same frame; an event that changes nothing (a second press while held)
// does not hold back the next one; unknown buttons are dropped.
TEST(MouseButtonQueue, OtherButtonsShareAFrame) {
    CMouseButtonQueue queue;
    bool held[CMouseButtonQueue::kButtons] = {};
    queue.Push(0, true, 1, 1);
    queue.Push(0, true, 2, 2);
    queue.Push(1, true, 3, 3);
    queue.Push(7, true, 4, 4);
    queue.Push(-1, true, 4, 4);
    Frame f = NextFrame(queue, held);
    EXPECT_TRUE(held[0] && held[1]);
    EXPECT_EQ(f.x, 3);
    EXPECT_TRUE(queue.Empty());
}
