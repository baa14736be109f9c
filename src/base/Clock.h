#pragma once

#include <cstdint>

// The program's high-resolution clock. Its tick is one nanosecond of the
// monotonic system clock, which never jumps or wraps; callers convert ticks to
// seconds as ticks x GetMillisecondsPerTick() x 0.001.
int64_t GetTicks();
int64_t GetTicksPerSecond();
double GetMillisecondsPerTick();
double GetMilliseconds();
// Sleeps until the clock reads at least ticks (an absolute time, so a wake-up
// that comes late is not added to the next wait); returns at once for a time
// already past.
void SleepUntilTicks(int64_t ticks);
