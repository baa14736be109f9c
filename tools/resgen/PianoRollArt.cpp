#include "PianoRollArt.h"

#include <algorithm>

using namespace HouseStyle;

namespace PianoRollArt
{
namespace
{
const cColour kLoopFill = cColour::FromARGB(0xff5a4a2a);
const cColour kLoopEdge = cColour::FromARGB(0xffba8400);

void Arrow(cCanvas& canvas, float x0, float y0, float x1, float y1, float head, float width)
{
    canvas.FillLine(x0, y0, x1, y1, width, kWhite);
    const float dx = x1 - x0, dy = y1 - y0;
    const float length = std::max(std::abs(dx) + std::abs(dy), 1.0f);
    const float ux = dx / length, uy = dy / length;
    // The two strokes of the head, at right angles to each other.
    canvas.FillLine(x1, y1, x1 - head * (ux + uy), y1 - head * (uy - ux), width, kWhite);
    canvas.FillLine(x1, y1, x1 - head * (ux - uy), y1 - head * (uy + ux), width, kWhite);
}
} // namespace

void DrawHandle(cCanvas& canvas, const cRectF& r, eHandle handle)
{
    const cRectF body = r.Inset(1.0f);
    DrawShadow(canvas, body, 3.0f);
    canvas.FillRoundRect(body.x0, body.y0, body.x1, body.y1, 3.0f, cPaint::Vertical(kValue, kLit, body.y0, body.y1));
    const float stroke = std::max(1.5f, body.Width() * 0.09f);
    const float cx = body.CentreX(), cy = body.CentreY();
    const float reach = body.Width() * 0.32f, head = body.Width() * 0.16f;
    switch (handle)
    {
    case eHandle::kMove:
        Arrow(canvas, cx, cy, cx - reach, cy, head, stroke);
        Arrow(canvas, cx, cy, cx + reach, cy, head, stroke);
        break;
    case eHandle::kLength:
        Arrow(canvas, cx - reach, cy, cx + reach * 0.6f, cy, head, stroke);
        canvas.FillLine(cx + reach, cy - reach, cx + reach, cy + reach, stroke, kWhite);
        break;
    case eHandle::kValue:
        Arrow(canvas, cx, cy, cx, cy - reach, head, stroke);
        Arrow(canvas, cx, cy, cx, cy + reach, head, stroke);
        break;
    }
}

void DrawLoopRegion(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRect(r.x0, r.y0, r.x1, r.y1, kLoopFill);
    canvas.FillRect(r.x0, r.y0, r.x1, r.y0 + std::max(1.0f, r.Height() * 0.12f), kLoopEdge);
}

void DrawQuantizeIcon(cCanvas& canvas, const cRectF& r)
{
    const float line = std::max(1.0f, r.Width() * 0.05f);
    const float bar = std::max(2.0f, r.Height() * 0.14f);
    const float step = r.Width() * 0.3f;
    for (int i = 0; i < 3; ++i)
    {
        const float x = r.x0 + r.Width() * 0.2f + step * float(i);
        canvas.FillRect(x, r.y0 + r.Height() * 0.1f, x + line, r.y1 - r.Height() * 0.1f, kWhite);
        // A note starting on each line, one row higher each time.
        const float y = r.y1 - r.Height() * (0.3f + 0.22f * float(i));
        canvas.FillRect(x, y, x + step * 0.75f, y + bar, kWhite);
    }
}

void DrawDoneIcon(cCanvas& canvas, const cRectF& r)
{
    const float w = std::max(2.0f, r.Width() * 0.12f);
    const float x0 = r.x0 + r.Width() * 0.18f, y0 = r.y0 + r.Height() * 0.55f;
    const float x1 = r.x0 + r.Width() * 0.42f, y1 = r.y1 - r.Height() * 0.2f;
    const float x2 = r.x1 - r.Width() * 0.15f, y2 = r.y0 + r.Height() * 0.22f;
    canvas.FillLine(x0, y0, x1, y1, w, kWhite);
    canvas.FillLine(x1, y1, x2, y2, w, kWhite);
}
} // namespace PianoRollArt
