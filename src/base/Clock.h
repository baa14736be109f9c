#pragma once

#include <cstdint>

// The program's high-resolution clock. Its tick is one nanosecond of the
// monotonic system clock, which never jumps or wraps; callers convert ticks to
// seconds as ticks x GetMillisecondsPerTick() x 0.001.
int64_t GetTicks();
int64_t GetTicksPerSecond();
double GetMillisecondsPerTick();
double GetMilliseconds();
