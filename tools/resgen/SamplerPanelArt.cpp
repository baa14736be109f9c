#include "SamplerPanelArt.h"

#include <algorithm>

using namespace HouseStyle;

namespace SamplerPanelArt
{
namespace
{
const cColour kPanelTop = cColour::FromARGB(0xff343840);
const cColour kPanelBottom = cColour::FromARGB(0xff23262c);
const cColour kWellTop = cColour::FromARGB(0xff0c0d10);
const cColour kWellBottom = cColour::FromARGB(0xff17191d);
const cColour kRecord = cColour::FromARGB(0xffe02828);
} // namespace

void DrawBackground(cCanvas& canvas, const cRectF& r, float scale)
{
    canvas.FillRect(r.x0, r.y0, r.x1, r.y1, kDarker);
    const cRectF body = r.Inset(2.0f * scale);
    canvas.FillRoundRect(body.x0, body.y0, body.x1, body.y1, 6.0f * scale,
                         cPaint::Vertical(kPanelTop, kPanelBottom, body.y0, body.y1));
    canvas.StrokeRoundRect(body.x0, body.y0, body.x1, body.y1, 6.0f * scale, 1.0f * scale, kEdge);
}

void DrawShadowRect(cCanvas& canvas, const cRectF& r, float scale)
{
    const float radius = 5.0f * scale;
    // The light lip below and right, the dark well inside it.
    canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, radius, cColour::FromARGB(0xff4a4e56));
    canvas.FillRoundRect(r.x0, r.y0, r.x1 - 1.0f * scale, r.y1 - 1.0f * scale, radius,
                         cPaint::Vertical(kWellTop, kWellBottom, r.y0, r.y1));
}

void DrawRecordIcon(cCanvas& canvas, const cRectF& r)
{
    const float radius = std::min(r.Width(), r.Height()) * 0.5f;
    canvas.StrokeCircle(r.CentreX(), r.CentreY(), radius * 0.86f, std::max(1.0f, radius * 0.12f), kLabel);
    canvas.FillCircle(r.CentreX(), r.CentreY(), radius * 0.6f, kRecord);
}

void DrawMeterStrip(cCanvas& canvas, const cRectF& r, float scale)
{
    for (float x = r.x0; x < r.x1; x += 4.0f * scale)
        canvas.FillRect(x, r.y0, std::min(x + 3.0f * scale, r.x1), r.y1, kWhite);
}

void DrawMeterFrame(cCanvas& canvas, const cRectF& r)
{
    DrawPanel(canvas, r, r.Height() * 0.3f, cColour::FromARGB(0xff0a0a0a), kEdge);
}
} // namespace SamplerPanelArt
