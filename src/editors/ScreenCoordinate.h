#pragma once
#include <cmath>
#include <cstdint>

// The editors draw with 16-bit screen coordinates, in which 0x8000 and
// 0x7fff stand for the clip's far edges. A coordinate beyond them (an event
// far outside a zoomed-in view) is held at the edge, never wrapped round
// across the screen.
inline int16_t ToScreenCoordinate(float pixels)
{
    if (!(pixels > -32768.0f))
        return INT16_MIN;
    if (!(pixels < 32767.0f))
        return INT16_MAX;
    return int16_t(pixels);
}
