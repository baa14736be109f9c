#include "SampleEditorArt.h"

#include <algorithm>

using namespace HouseStyle;

namespace SampleEditorArt
{
namespace
{
const cColour kBarTop = cColour::FromARGB(0xff2e2e2e);
const cColour kBarBottom = cColour::FromARGB(0xff161616);
const cColour kRulerTop = cColour::FromARGB(0xff3c3c3c);
const cColour kRulerBottom = cColour::FromARGB(0xff242424);
const cColour kBoxFace = cColour::FromARGB(0xffd6d6d6);
const cColour kBoxRim = cColour::FromARGB(0xff7a7a7a);
} // namespace

void DrawButton(cCanvas& canvas, const cRectF& r, bool pressed) { DrawButtonFace(canvas, r.Inset(1.0f), 3.0f, pressed); }

void DrawBottomBar(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cPaint::Vertical(kBarTop, kBarBottom, r.y0, r.y1));
    canvas.FillRect(r.x0, r.y0, r.x1, r.y0 + 1.0f, kEdge);
}

void DrawRuler(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cPaint::Vertical(kRulerTop, kRulerBottom, r.y0, r.y1));
    canvas.FillRect(r.x0, r.y1 - 1.0f, r.x1, r.y1, kBlack);
}

void DrawAmplitudeBox(cCanvas& canvas, const cRectF& r) { DrawPanel(canvas, r.Inset(1.0f), 4.0f, kBoxFace, kBoxRim); }

void DrawHandle(cCanvas& canvas, const cRectF& r, bool start)
{
    const cRectF body = r.Inset(1.0f);
    DrawShadow(canvas, body, 3.0f);
    canvas.FillRoundRect(body.x0, body.y0, body.x1, body.y1, 3.0f, cPaint::Vertical(kValue, kLit, body.y0, body.y1));
    const float stroke = std::max(1.5f, body.Width() * 0.1f);
    const float inset = body.Width() * 0.3f;
    const float top = body.y0 + body.Height() * 0.22f, bottom = body.y1 - body.Height() * 0.22f;
    // The bracket's spine is on the side away from the selection.
    const float spine = start ? body.x0 + inset : body.x1 - inset;
    const float tip = start ? body.x1 - inset : body.x0 + inset;
    canvas.FillLine(spine, top, spine, bottom, stroke, kWhite);
    canvas.FillLine(spine, top, tip, top, stroke, kWhite);
    canvas.FillLine(spine, bottom, tip, bottom, stroke, kWhite);
}

void DrawScrollModeIcon(cCanvas& canvas, const cRectF& r)
{
    const float cy = r.CentreY(), w = std::max(1.5f, r.Width() * 0.1f);
    const float left = r.x0 + r.Width() * 0.12f, right = r.x1 - r.Width() * 0.12f;
    const float head = r.Width() * 0.25f;
    canvas.FillLine(left, cy, right, cy, w, kWhite);
    canvas.FillLine(left, cy, left + head, cy - head, w, kWhite);
    canvas.FillLine(left, cy, left + head, cy + head, w, kWhite);
    canvas.FillLine(right, cy, right - head, cy - head, w, kWhite);
    canvas.FillLine(right, cy, right - head, cy + head, w, kWhite);
}
} // namespace SampleEditorArt
