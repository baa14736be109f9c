#include <gtest/gtest.h>

#include "platform/FrameTiming.h"

namespace
{
TEST(FrameTimingTest, StoresRatePeriodAndFramesPerThirtiethOfASecond)
{
    struct cCase
    {
        float rate;
        int32_t multiple;
    };
    const cCase cases[] = {{60.0f, 2}, {30.0f, 1}, {50.0f, 1}, {89.0f, 2}, {90.0f, 3}, {120.0f, 4}};
    for (const cCase& c : cases)
    {
        SetFrameTiming(c.rate);
        EXPECT_FLOAT_EQ(gFrameRate, c.rate);
        EXPECT_FLOAT_EQ(gFramePeriod, 1.0f / c.rate);
        EXPECT_EQ(gFrameMultiple, c.multiple) << c.rate;
    }
    SetFrameTiming(60.0f);
}
} // namespace
