#pragma once

#include "HouseStyle.h"

// The art of the main screen: the status bar with its buttons and
// song-position screen, the main menu with its instrument grid, the
// on-screen keyboard's done key and the instrument packages' icons.
namespace MainScreenArt
{
enum class eGlyph
{
    Back, Menu, Stop, Play, Record, Tempo, Quantize, Click, Song, Manage, Loop, Clock, Done, Mixer, Synth, Pads
};

// White (or, for the transport, coloured) line art that fills the box.
void DrawGlyph(cCanvas& canvas, const HouseStyle::cRectF& box, eGlyph glyph, const cColour& colour);
// The transport keeps its own colours so stop, play and record differ at a glance.
cColour TransportColour(eGlyph glyph);

void DrawStatusBarBackground(cCanvas& canvas, const HouseStyle::cRectF& box);
void DrawLitButton(cCanvas& canvas, const HouseStyle::cRectF& box);
// A dark read-out panel with a rim, for the song-position screen.
void DrawScreenFrame(cCanvas& canvas, const HouseStyle::cRectF& box, float radius);
// The light panel the main menu drops down on.
void DrawMenuPanel(cCanvas& canvas, const HouseStyle::cRectF& box, float radius);
void DrawGridRow(cCanvas& canvas, const HouseStyle::cRectF& box);
void DrawGridCell(cCanvas& canvas, const HouseStyle::cRectF& box);
void DrawCellHighlight(cCanvas& canvas, const HouseStyle::cRectF& box);
void DrawLevelBar(cCanvas& canvas, const HouseStyle::cRectF& box);
// A blinking mark on the record button: a dot while recording, a cross while erasing.
void DrawRecordIndicator(cCanvas& canvas, const HouseStyle::cRectF& box, bool erasing);
// The navigation button's dark rounded slot and its white arrows.
void DrawNavBackground(cCanvas& canvas, const HouseStyle::cRectF& box);
void DrawNavArrow(cCanvas& canvas, const HouseStyle::cRectF& box, bool up);
} // namespace MainScreenArt
