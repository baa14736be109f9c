#pragma once

#include "HouseStyle.h"

// The sampler's Resample and Sample tabs: their panel and sunk status
// backgrounds, the "REC" icon and the capture meter's strip and frame.
namespace SamplerPanelArt
{
// A dark brushed panel with a raised rim.
void DrawBackground(cCanvas& canvas, const HouseStyle::cRectF& r, float scale);
// A recessed well the status lines sit in.
void DrawShadowRect(cCanvas& canvas, const HouseStyle::cRectF& r, float scale);
// A red dot in a ring.
void DrawRecordIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
// White segments, three lit pixels in four, tinted when drawn.
void DrawMeterStrip(cCanvas& canvas, const HouseStyle::cRectF& r, float scale);
void DrawMeterFrame(cCanvas& canvas, const HouseStyle::cRectF& r);
} // namespace SamplerPanelArt
