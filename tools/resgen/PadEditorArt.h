#pragma once

#include "HouseStyle.h"

// The pad editor's skin: its dark editor and panel backgrounds, the light
// pads that the buses tint and the glow of a hit pad, the pad buttons with
// their lamps and direction display, and the tab and mute icons.
namespace PadEditorArt
{
using HouseStyle::cRectF;

enum class eGlyph
{
    Home, Edit, AutoBeat, Outputs, Mute, MuteMode
};
enum class eArrows
{
    Forward, Reverse, ForwardReverse, ReverseForward
};

void DrawEditorBackground(cCanvas& canvas, const cRectF& r);
void DrawPanelFrame(cCanvas& canvas, const cRectF& r);
void DrawPadOutline(cCanvas& canvas, const cRectF& r);
void DrawPanelBackground(cCanvas& canvas, const cRectF& r);
void DrawBusPanelBackground(cCanvas& canvas, const cRectF& r);
void DrawPad(cCanvas& canvas, const cRectF& r);
// The glow of a pad on the bus (0..2).
void DrawLitPad(cCanvas& canvas, const cRectF& r, int bus);
void DrawPadButton(cCanvas& canvas, const cRectF& r, bool pressed);
void DrawLamp(cCanvas& canvas, const cRectF& r);
// A pad button with a column of three lamp sockets on one side.
void DrawLampBack(cCanvas& canvas, const cRectF& r, bool lampsOnLeft, float columnWidth, float pitch);
void DrawDirectionPanel(cCanvas& canvas, const cRectF& r);
void DrawArrows(cCanvas& canvas, const cRectF& r, eArrows arrows);
void DrawRecordMark(cCanvas& canvas, const cRectF& r);
void DrawSeparator(cCanvas& canvas, const cRectF& r);
void DrawConnectorBar(cCanvas& canvas, const cRectF& r);
void DrawSpinButton(cCanvas& canvas, const cRectF& r, bool up);
void DrawSpinBox(cCanvas& canvas, const cRectF& r);
void DrawGlyph(cCanvas& canvas, const cRectF& r, eGlyph glyph);
}
