#include "ProjectPageArt.h"

#include <algorithm>

using namespace HouseStyle;

namespace ProjectPageArt
{
namespace
{
const cColour kInk = cColour::FromARGB(0xff303030);

float Stroke(const cRectF& r) { return std::max(1.5f, r.Width() * 0.09f); }

// A sheet with a folded corner; returns its body.
cRectF DrawSheet(cCanvas& canvas, const cRectF& r)
{
    const float w = r.Height() * 0.7f;
    const cRectF page = {r.CentreX() - w * 0.5f, r.y0 + 1.0f, r.CentreX() + w * 0.5f, r.y1 - 1.0f};
    const float fold = page.Width() * 0.3f;
    canvas.FillPolygon({page.x0, page.y0, page.x1 - fold, page.y0, page.x1, page.y0 + fold, page.x1, page.y1, page.x0,
                        page.y1},
                       kLabel);
    canvas.FillPolygon({page.x1 - fold, page.y0, page.x1 - fold, page.y0 + fold, page.x1, page.y0 + fold}, kEdge);
    return page;
}

// A disk: a square body with a shutter and a label.
cRectF DrawDisk(cCanvas& canvas, const cRectF& r)
{
    const float side = std::min(r.Width(), r.Height()) * 0.8f;
    const cRectF d = {r.CentreX() - side * 0.5f, r.CentreY() - side * 0.5f, r.CentreX() + side * 0.5f,
                      r.CentreY() + side * 0.5f};
    canvas.FillRoundRect(d.x0, d.y0, d.x1, d.y1, side * 0.1f, kLabel);
    canvas.FillRect(d.x0 + side * 0.25f, d.y0, d.x1 - side * 0.25f, d.y0 + side * 0.32f, kInk);
    canvas.FillRect(d.x0 + side * 0.18f, d.y0 + side * 0.55f, d.x1 - side * 0.18f, d.y1 - side * 0.08f, kWhite);
    return d;
}

// A folder: a tab and a body.
cRectF DrawFolder(cCanvas& canvas, const cRectF& r)
{
    const float top = r.y0 + r.Height() * 0.22f, bottom = r.y1 - r.Height() * 0.12f;
    const float left = r.x0 + r.Width() * 0.08f, right = r.x1 - r.Width() * 0.08f;
    canvas.FillRoundRect(left, top - r.Height() * 0.1f, left + r.Width() * 0.4f, top + 2.0f, 1.5f, kEdge);
    canvas.FillRoundRect(left, top, right, bottom, 2.0f, kLabel);
    return {left, top, right, bottom};
}

void DrawArrow(cCanvas& canvas, float x, float y0, float y1, float head, float stroke, const cColour& colour)
{
    const float dir = y1 < y0 ? 1.0f : -1.0f;
    canvas.FillLine(x, y0, x, y1, stroke, colour);
    canvas.FillLine(x, y1, x - head, y1 + head * dir, stroke, colour);
    canvas.FillLine(x, y1, x + head, y1 + head * dir, stroke, colour);
}

void DrawPlus(cCanvas& canvas, float cx, float cy, float half, float stroke)
{
    canvas.FillLine(cx - half, cy, cx + half, cy, stroke, kValue);
    canvas.FillLine(cx, cy - half, cx, cy + half, stroke, kValue);
}

void DrawShare(cCanvas& canvas, const cRectF& r, float stroke)
{
    const float dot = r.Width() * 0.12f;
    const float ax = r.x0 + r.Width() * 0.25f, ay = r.CentreY();
    const float bx = r.x1 - r.Width() * 0.25f, by0 = r.y0 + r.Height() * 0.25f, by1 = r.y1 - r.Height() * 0.25f;
    canvas.FillLine(ax, ay, bx, by0, stroke, kLabel);
    canvas.FillLine(ax, ay, bx, by1, stroke, kLabel);
    canvas.FillCircle(ax, ay, dot, kValue);
    canvas.FillCircle(bx, by0, dot, kLabel);
    canvas.FillCircle(bx, by1, dot, kLabel);
}

void DrawEnvelope(cCanvas& canvas, const cRectF& r, float stroke)
{
    const cRectF e = {r.x0 + r.Width() * 0.1f, r.y0 + r.Height() * 0.25f, r.x1 - r.Width() * 0.1f,
                      r.y1 - r.Height() * 0.2f};
    canvas.FillRect(e.x0, e.y0, e.x1, e.y1, kLabel);
    canvas.FillLine(e.x0, e.y0, e.CentreX(), e.CentreY(), stroke, kInk);
    canvas.FillLine(e.x1, e.y0, e.CentreX(), e.CentreY(), stroke, kInk);
}
} // namespace

void DrawIcon(cCanvas& canvas, const cRectF& r, eIcon icon)
{
    const float stroke = Stroke(r);
    switch (icon)
    {
    case eIcon::Save:
    {
        DrawDisk(canvas, r);
        break;
    }
    case eIcon::SaveAs:
    {
        const cRectF d = DrawDisk(canvas, {r.x0, r.y0, r.x1 - r.Width() * 0.15f, r.y1 - r.Height() * 0.15f});
        DrawPlus(canvas, d.x1, d.y1, r.Width() * 0.18f, stroke);
        break;
    }
    case eIcon::New:
    {
        const cRectF page = DrawSheet(canvas, r);
        DrawPlus(canvas, page.CentreX(), page.CentreY() + page.Height() * 0.1f, page.Width() * 0.28f, stroke);
        break;
    }
    case eIcon::Export:
    {
        const cRectF f = DrawFolder(canvas, r);
        DrawArrow(canvas, f.CentreX(), f.y1 - 1.0f, r.y0 + 1.0f, r.Width() * 0.18f, stroke, kValue);
        break;
    }
    case eIcon::Load:
    {
        const cRectF f = DrawFolder(canvas, r);
        DrawArrow(canvas, f.CentreX(), r.y0 + 1.0f, f.y1 - 2.0f, r.Width() * 0.18f, stroke, kValue);
        break;
    }
    case eIcon::Share: DrawShare(canvas, r, stroke); break;
    case eIcon::Email: DrawEnvelope(canvas, r, stroke); break;
    }
}

// Flat, so that stretching it over a whole row keeps its edges sharp.
void DrawCheckBackground(cCanvas& canvas, const cRectF& r) { canvas.FillRect(r.x0, r.y0, r.x1, r.y1, kLit); }
} // namespace ProjectPageArt
