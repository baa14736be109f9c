#pragma once

#include "HouseStyle.h"

// The art of the sequencer editors' rolls: the toolbar's icons, the song
// roll's track-header icons, its ruler and toolbar backgrounds, the loop
// region, the drag handles and the follow and scroll-mode icons.
namespace RollArt
{
enum class eRollGlyph
{
    Tools, History, Zoom, Select, Draw, Delete, Copy, More, Edit, Mute, Solo, Input, Panel, Follow, ScrollMode,
    GroupMarker
};

// White line art that fills the box.
void DrawRollGlyph(cCanvas& canvas, const HouseStyle::cRectF& box, eRollGlyph glyph, const cColour& colour);
void DrawToolbarBackground(cCanvas& canvas, const HouseStyle::cRectF& box);
void DrawRulerBackground(cCanvas& canvas, const HouseStyle::cRectF& box);
// The bar under the ruler between the loop's ends, capped at both.
void DrawLoopRegion(cCanvas& canvas, const HouseStyle::cRectF& box);
// A round grip with arrows: across (move), a bracket with an arrow out of it
// (resize) or up and down (track move).
enum class eHandle { Move, Resize, TrackMove };
void DrawDragHandle(cCanvas& canvas, const HouseStyle::cRectF& box, eHandle handle);
} // namespace RollArt
