#pragma once

// Suspends the calling thread for about the given number of milliseconds.
void SleepMilliseconds(int milliseconds);
