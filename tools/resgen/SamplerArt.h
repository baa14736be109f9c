#pragma once

#include "HouseStyle.h"

// The sampler page's transport: flat buttons standing edge to edge and
// their stop, play and loop icons.
namespace SamplerArt
{
void DrawTransportButton(cCanvas& canvas, const HouseStyle::cRectF& r, bool pressed);
// White art for tinting.
void DrawStopIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawPlayIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawLoopIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
} // namespace SamplerArt
