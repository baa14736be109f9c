#pragma once

#include "HouseStyle.h"

// The piano roll's art: its three drag handles, the repeat region of a
// shared pattern, and the "Qtz" and "Done" icons. Its ruler and scroll-mode
// icon are the sample editor's.
namespace PianoRollArt
{
enum class eHandle
{
    kMove,
    kLength,
    kValue,
};

// A lit tab carrying the handle's arrows: both ways along time to move,
// towards a bar to resize, up and down to shift values.
void DrawHandle(cCanvas& canvas, const HouseStyle::cRectF& r, eHandle handle);
// An amber band with a brighter top edge, stretched over the repeat.
void DrawLoopRegion(cCanvas& canvas, const HouseStyle::cRectF& r);
// Notes pulled onto grid lines. White art for tinting.
void DrawQuantizeIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
// A tick. White art for tinting.
void DrawDoneIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
} // namespace PianoRollArt
