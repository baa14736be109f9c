#pragma once

#include "HouseStyle.h"

// The sample editor's skin: its buttons, the bottom bar, the ruler strip,
// the amplitude box, the two selection handles and the scroll-mode icon.
namespace SampleEditorArt
{
// Flat bevelled cells that stand edge to edge along the bars.
void DrawButton(cCanvas& canvas, const HouseStyle::cRectF& r, bool pressed);
// Dark, lit by a thin line along its top; stretched across by its middle column.
void DrawBottomBar(cCanvas& canvas, const HouseStyle::cRectF& r);
// Even across, so it stretches over any width; white labels read on it.
void DrawRuler(cCanvas& canvas, const HouseStyle::cRectF& r);
// A light field for the dark "x%d" text, stretched down by its middle row.
void DrawAmplitudeBox(cCanvas& canvas, const HouseStyle::cRectF& r);
// A tab in the lit colour with a bracket opening towards the selection.
void DrawHandle(cCanvas& canvas, const HouseStyle::cRectF& r, bool start);
// A double-headed arrow: drag to scroll. White art for tinting.
void DrawScrollModeIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
} // namespace SampleEditorArt
