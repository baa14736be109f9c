#pragma once

#include "HouseStyle.h"

// The pasteboard page's art: the "Paste" and "Audition" icons, the plate
// under "Audition", the clip rows' frame, the installed-application box and
// the two application markers.
namespace PasteboardArt
{
// A clipboard with an arrow going into it.
void DrawPasteIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
// A loudspeaker with two sound arcs.
void DrawAuditionIcon(cCanvas& canvas, const HouseStyle::cRectF& r);
// A short shelf with a soft shadow below it.
void DrawUnderAudition(cCanvas& canvas, const HouseStyle::cRectF& r);
// Thin rims for nine-patches without an inner sprite.
void DrawRowFrame(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawHighlightBox(cCanvas& canvas, const HouseStyle::cRectF& r);
// A star and a tick in a ring.
void DrawMarkerA(cCanvas& canvas, const HouseStyle::cRectF& r);
void DrawMarkerB(cCanvas& canvas, const HouseStyle::cRectF& r);
} // namespace PasteboardArt
