#pragma once

#include <cstdint>

// The frame timing the whole program reads: UI animations step by the frame
// period once per drawn frame; auto-repeats count frames of 1/30 s.
extern float gFrameRate;
extern float gFramePeriod;
// Frames in 1/30 s: 2 at 60 frames per second.
extern int32_t gFrameMultiple;

void SetFrameTiming(float framesPerSecond);
