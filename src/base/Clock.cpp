#include "base/Clock.h"

#include <cerrno>
#include <time.h>

namespace
{
constexpr int64_t kTicksPerSecond = 1000000000;
constexpr double kMillisecondsPerTick = 1000.0 / kTicksPerSecond;
}

int64_t GetTicks()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * kTicksPerSecond + now.tv_nsec;
}

int64_t GetTicksPerSecond()
{
    return kTicksPerSecond;
}

double GetMillisecondsPerTick()
{
    return kMillisecondsPerTick;
}

void SleepUntilTicks(int64_t ticks)
{
    const timespec until{static_cast<time_t>(ticks / kTicksPerSecond), static_cast<long>(ticks % kTicksPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR)
    {
    }
}

double GetMilliseconds()
{
    return static_cast<double>(GetTicks()) * kMillisecondsPerTick;
}
