#include "MixdownArt.h"

#include <algorithm>
#include <cmath>

using namespace HouseStyle;

namespace MixdownArt
{
namespace
{
const cColour kPage = cColour::FromARGB(0xffe8e8e8);
const cColour kPageFold = cColour::FromARGB(0xffa8a8a8);
const cColour kInk = cColour::FromARGB(0xff303030);

// The page's body; the art goes inside the returned rectangle.
cRectF DrawPage(cCanvas& canvas, const cRectF& r)
{
    const float w = r.Height() * 0.75f;
    const cRectF page = {r.CentreX() - w * 0.5f, r.y0 + 1.0f, r.CentreX() + w * 0.5f, r.y1 - 1.0f};
    const float fold = page.Width() * 0.32f;
    canvas.FillPolygon({page.x0, page.y0, page.x1 - fold, page.y0, page.x1, page.y0 + fold, page.x1, page.y1, page.x0,
                        page.y1},
                       kPage);
    canvas.FillPolygon({page.x1 - fold, page.y0, page.x1 - fold, page.y0 + fold, page.x1, page.y0 + fold}, kPageFold);
    return {page.x0 + page.Width() * 0.14f, page.y0 + fold + 1.0f, page.x1 - page.Width() * 0.14f,
            page.y1 - page.Width() * 0.14f};
}

void DrawWave(cCanvas& canvas, const cRectF& box, const cColour& colour)
{
    const float stroke = std::max(1.0f, box.Width() * 0.08f);
    const int steps = 12;
    float px = box.x0, py = box.CentreY();
    for (int i = 1; i <= steps; ++i)
    {
        const float t = float(i) / float(steps);
        const float x = box.x0 + t * box.Width();
        const float y = box.CentreY() - std::sin(t * 6.2831853f * 1.5f) * box.Height() * 0.4f * (1.0f - t * 0.5f);
        canvas.FillLine(px, py, x, y, stroke, colour);
        px = x;
        py = y;
    }
}
} // namespace

void DrawMixdownIcon(cCanvas& canvas, const cRectF& r)
{
    const float stroke = std::max(1.5f, r.Width() * 0.1f);
    const float cx = r.CentreX();
    const float top = r.y0 + r.Height() * 0.1f, tip = r.y0 + r.Height() * 0.62f;
    const float head = r.Width() * 0.22f;
    canvas.FillLine(cx, top, cx, tip, stroke, kValue);
    canvas.FillLine(cx, tip, cx - head, tip - head, stroke, kValue);
    canvas.FillLine(cx, tip, cx + head, tip - head, stroke, kValue);
    const float trayTop = r.y0 + r.Height() * 0.7f, trayBottom = r.y1 - r.Height() * 0.1f;
    const float left = r.x0 + r.Width() * 0.12f, right = r.x1 - r.Width() * 0.12f;
    canvas.FillLine(left, trayTop, left, trayBottom, stroke, kLabel);
    canvas.FillLine(left, trayBottom, right, trayBottom, stroke, kLabel);
    canvas.FillLine(right, trayBottom, right, trayTop, stroke, kLabel);
}

void DrawWavIcon(cCanvas& canvas, const cRectF& r) { DrawWave(canvas, DrawPage(canvas, r), kLit); }

void DrawOggIcon(cCanvas& canvas, const cRectF& r)
{
    const cRectF box = DrawPage(canvas, r);
    const float radius = std::min(box.Width(), box.Height()) * 0.5f;
    canvas.StrokeCircle(box.CentreX(), box.CentreY(), radius, std::max(1.0f, radius * 0.16f), kValue);
    DrawWave(canvas, box.Inset(radius * 0.35f), kLit);
}

void DrawZipIcon(cCanvas& canvas, const cRectF& r)
{
    const cRectF box = DrawPage(canvas, r);
    const float cx = box.CentreX(), tooth = std::max(1.0f, box.Width() * 0.16f);
    const int teeth = 5;
    for (int i = 0; i < teeth; ++i)
    {
        const float y = box.y0 + (float(i) + 0.5f) * box.Height() / float(teeth + 1);
        const float side = i % 2 == 0 ? -tooth : 0.0f;
        canvas.FillRect(cx + side, y - tooth * 0.4f, cx + side + tooth, y + tooth * 0.4f, kInk);
    }
    canvas.FillRoundRect(cx - tooth, box.y1 - tooth * 2.2f, cx + tooth, box.y1, tooth * 0.4f, kLit);
}
} // namespace MixdownArt
