#include <gtest/gtest.h>

#include "platform/WindowPlacement.h"

namespace
{
struct cPlacementCase
{
    int left, top, clientWidth, clientHeight, borderWidth, borderHeight, workRight, workBottom;
    cWindowFrame expected;
};

TEST(WindowPlacementTest, KeepsTheFrameOnTheWorkArea)
{
    const cPlacementCase cases[] = {
        // Fits: the client area gets exactly the asked size.
        {10, 20, 1024, 768, 8, 30, 1920, 1050, {10, 20, 10 + 1032, 20 + 798}},
        // Too wide for a 1000-pixel work area: moved to 0 and cut at 1000.
        {0, 0, 1024, 768, 0, 0, 1000, 1050, {0, 0, 1000, 768}},
        {50, 0, 1024, 768, 0, 0, 1000, 1050, {0, 0, 1000, 768}},
        // Reaches past the right edge but fits when moved back.
        {600, 0, 480, 320, 10, 10, 1000, 1000, {510, 0, 1000, 330}},
        // The bottom edge works the same way.
        {0, 700, 480, 320, 0, 30, 1920, 900, {0, 550, 480, 900}},
        {0, 100, 1024, 768, 0, 30, 1920, 700, {0, 0, 1024, 700}},
    };
    for (const cPlacementCase& c : cases)
    {
        const cWindowFrame frame = PlaceWindowOnWorkArea(c.left, c.top, c.clientWidth, c.clientHeight,
                                                         c.borderWidth, c.borderHeight, c.workRight, c.workBottom);
        EXPECT_EQ(frame.left, c.expected.left);
        EXPECT_EQ(frame.top, c.expected.top);
        EXPECT_EQ(frame.right, c.expected.right);
        EXPECT_EQ(frame.bottom, c.expected.bottom);
    }
}
} // namespace
