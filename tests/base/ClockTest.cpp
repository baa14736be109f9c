#include "base/Clock.h"

#include <gtest/gtest.h>

#include <time.h>

TEST(Clock, NonDecreasingAndInStep)
{
    EXPECT_DOUBLE_EQ(GetMillisecondsPerTick() * static_cast<double>(GetTicksPerSecond()), 1000.0);
    int64_t previous = GetTicks();
    for (int i = 0; i < 10000; ++i)
    {
        const int64_t now = GetTicks();
        ASSERT_GE(now, previous);
        previous = now;
    }

    const int64_t start = GetTicks();
    const timespec pause{0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    const double elapsedSeconds = static_cast<double>(GetTicks() - start) * GetMillisecondsPerTick() * 0.001;
    EXPECT_GE(elapsedSeconds, 0.019);
    EXPECT_LT(elapsedSeconds, 1.0);
}
