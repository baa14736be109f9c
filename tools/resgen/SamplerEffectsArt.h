#pragma once

#include "HouseStyle.h"

// The sampler's Effects tab: the control strip, the end cheeks, the process
// button's icon and the clip LEDs above the cheek's meter.
namespace SamplerEffectsArt
{
void DrawStrip(cCanvas& canvas, const HouseStyle::cRectF& r);
// A tall rounded column with grooves at its ends, stretched in the middle.
void DrawCheek(cCanvas& canvas, const HouseStyle::cRectF& r);
// A waveform passing through an effect box and coming out changed.
void DrawProcessIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
// The housing holding both clip LEDs, unlit, in its two halves.
void DrawMeterHousing(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawClipLed(cCanvas& canvas, const HouseStyle::cRectF& r);
// Segments of the pitch, each lit but for a two-pixel gap below it.
void DrawMeterStrip(cCanvas& canvas, const HouseStyle::cRectF& r, int segments, float pitch);
} // namespace SamplerEffectsArt
