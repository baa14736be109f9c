#pragma once

#include "HouseStyle.h"

// The mixing desk's, the chain editor's and the effect chooser's art.
namespace MixingDeskArt
{
void DrawCheek(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawStrip(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawMasterStrip(cCanvas& canvas, const HouseStyle::cRectF& r);
// A chain's state: empty outline, dim (every effect off), lit (some on).
void DrawFxState(cCanvas& canvas, const HouseStyle::cRectF& r, int state);
// White art, tinted by the desk: an "M" and an "S" on a button.
void DrawMute(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawSolo(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawFaderTrack(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawFaderThumb(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawFaderGlow(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawSlotButton(cCanvas& canvas, const HouseStyle::cRectF& r, bool lit);
void DrawConnector(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawInsertMarker(cCanvas& canvas, const HouseStyle::cRectF& r);
// White art: a dashed slot with a plus.
void DrawEmptySlot(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawNodeStrip(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawHighlight(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawNoneIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
} // namespace MixingDeskArt
