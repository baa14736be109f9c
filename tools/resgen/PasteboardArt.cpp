#include "PasteboardArt.h"

#include <algorithm>
#include <cmath>

using namespace HouseStyle;

namespace PasteboardArt
{
namespace
{
const cColour kBoard = cColour::FromARGB(0xffb07a48);
const cColour kPaper = cColour::FromARGB(0xffe8e8e8);
const cColour kRim = cColour::FromARGB(0xff5a5a5a);
const cColour kShadow = cColour::FromARGB(0x60000000);
} // namespace

void DrawPasteIcon(cCanvas& canvas, const cRectF& r)
{
    const float w = r.Width(), h = r.Height();
    const float x0 = r.x0 + w * 0.18f, x1 = r.x1 - w * 0.18f, y0 = r.y0 + h * 0.14f, y1 = r.y1 - h * 0.06f;
    canvas.FillRoundRect(x0, y0, x1, y1, w * 0.08f, kBoard);
    canvas.FillRect(x0 + w * 0.08f, y0 + h * 0.12f, x1 - w * 0.08f, y1 - h * 0.06f, kPaper);
    canvas.FillRoundRect(r.CentreX() - w * 0.14f, r.y0 + h * 0.06f, r.CentreX() + w * 0.14f, y0 + h * 0.08f,
                         w * 0.04f, kRim);
    const float stroke = std::max(1.5f, w * 0.09f);
    const float cx = r.CentreX(), top = y0 + h * 0.22f, tip = y1 - h * 0.16f, head = w * 0.16f;
    canvas.FillLine(cx, top, cx, tip, stroke, kLit);
    canvas.FillLine(cx, tip, cx - head, tip - head, stroke, kLit);
    canvas.FillLine(cx, tip, cx + head, tip - head, stroke, kLit);
}

void DrawAuditionIcon(cCanvas& canvas, const cRectF& r)
{
    const float w = r.Width(), h = r.Height(), cy = r.CentreY();
    const float left = r.x0 + w * 0.1f, box = w * 0.16f, cone = w * 0.42f;
    canvas.FillPolygon({left, cy - h * 0.12f, left + box, cy - h * 0.12f, left + cone, cy - h * 0.32f, left + cone,
                        cy + h * 0.32f, left + box, cy + h * 0.12f, left, cy + h * 0.12f},
                       kLabel);
    const float stroke = std::max(1.0f, w * 0.06f);
    // Two arcs right of the cone, each a few short segments.
    for (const float radius : {w * 0.16f, w * 0.3f})
        for (int i = 0; i < 6; ++i)
        {
            const float a0 = -0.9f + 1.8f * float(i) / 6.0f, a1 = -0.9f + 1.8f * float(i + 1) / 6.0f;
            canvas.FillLine(left + cone + std::cos(a0) * radius, cy + std::sin(a0) * radius,
                            left + cone + std::cos(a1) * radius, cy + std::sin(a1) * radius, stroke, kValue);
        }
}

void DrawUnderAudition(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1 - r.Height() * 0.4f, r.Height() * 0.2f, kEdge);
    canvas.FillRect(r.x0 + 1.0f, r.y1 - r.Height() * 0.4f, r.x1 - 1.0f, r.y1, kShadow);
}

void DrawRowFrame(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRect(r.x0, r.y1 - 1.0f, r.x1, r.y1, kRim);
    canvas.FillRect(r.x0, r.y0, r.x1, r.y0 + 1.0f, cColour::FromARGB(0xff3a3a3a));
}

void DrawHighlightBox(cCanvas& canvas, const cRectF& r)
{
    canvas.StrokeRoundRect(r.x0 + 1.0f, r.y0 + 1.0f, r.x1 - 1.0f, r.y1 - 1.0f, 3.0f, 1.5f, kLit);
}

void DrawMarkerA(cCanvas& canvas, const cRectF& r)
{
    const float cx = r.CentreX(), cy = r.CentreY(), outer = r.Width() * 0.45f, inner = outer * 0.45f;
    std::vector<float> star;
    for (int i = 0; i < 10; ++i)
    {
        const float angle = float(i) * 3.14159265f / 5.0f - 3.14159265f / 2.0f;
        const float radius = (i % 2) ? inner : outer;
        star.push_back(cx + std::cos(angle) * radius);
        star.push_back(cy + std::sin(angle) * radius);
    }
    canvas.FillPolygon(star, kValue);
}

void DrawMarkerB(cCanvas& canvas, const cRectF& r)
{
    const float stroke = std::max(1.0f, r.Width() * 0.1f);
    canvas.StrokeCircle(r.CentreX(), r.CentreY(), r.Width() * 0.4f, stroke, kLabel);
    canvas.FillLine(r.x0 + r.Width() * 0.3f, r.CentreY(), r.CentreX() - r.Width() * 0.05f, r.y1 - r.Height() * 0.3f,
                    stroke, kLit);
    canvas.FillLine(r.CentreX() - r.Width() * 0.05f, r.y1 - r.Height() * 0.3f, r.x1 - r.Width() * 0.28f,
                    r.y0 + r.Height() * 0.3f, stroke, kLit);
}
} // namespace PasteboardArt
