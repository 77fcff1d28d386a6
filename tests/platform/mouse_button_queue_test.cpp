#include "platform/mouse_button_queue.h"

#include <gtest/gtest.h>

// A double click between two frames reaches the GUI as four frames, one change each, at its own point;
// another button changes in the same frame, a press while held holds nothing back, unknown buttons drop.
TEST(MouseButtonQueue, HandsOutOneChangePerButtonAFrameAtItsPoint) {
    CMouseButtonQueue queue;
    bool held[CMouseButtonQueue::kButtons] = {};
    float x = 0, y = 0;
    const float points[4] = {25, 26, 38, 39};
    for (int i = 0; i < 4; ++i) queue.Push(0, i % 2 == 0, points[i], 48);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(queue.Apply(held, x, y));
        EXPECT_EQ(held[0], i % 2 == 0);
        EXPECT_EQ(x, points[i]);
    }
    EXPECT_FALSE(queue.Apply(held, x, y));

    queue.Push(0, true, 1, 1);
    queue.Push(0, true, 2, 2);
    queue.Push(1, true, 3, 3);
    queue.Push(7, true, 4, 4);
    ASSERT_TRUE(queue.Apply(held, x, y));
    EXPECT_TRUE(held[0] && held[1]);
    EXPECT_EQ(x, 3);
    EXPECT_TRUE(queue.Empty());
}
