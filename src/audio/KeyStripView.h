#pragma once
#include "base/Math.h"

// What the piano roll tells an instrument drawing its key strip each frame:
// where the strip and the note area lie on screen (pixels, y growing
// downward) and which ticks and notes are visible. Notes may be fractional;
// the lowest visible note sits at the strip's bottom edge.
struct cKeyStripView
{
    cRect strip;
    cRect noteArea;
    float firstTick = 0.0f;
    float tickSpan = 0.0f;
    float lowestNote = 0.0f;
    float noteSpan = 0.0f;
    float gridEndTick = 0.0f;
};
