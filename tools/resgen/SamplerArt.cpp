#include "SamplerArt.h"

#include <algorithm>

using namespace HouseStyle;

namespace SamplerArt
{
void DrawTransportButton(cCanvas& canvas, const cRectF& r, bool pressed)
{
    DrawButtonFace(canvas, r.Inset(1.0f), 3.0f, pressed);
}

void DrawStopIcon(cCanvas& canvas, const cRectF& r)
{
    const float side = std::min(r.Width(), r.Height()) * 0.5f;
    const float cx = r.CentreX(), cy = r.CentreY();
    canvas.FillRect(cx - side * 0.5f, cy - side * 0.5f, cx + side * 0.5f, cy + side * 0.5f, kWhite);
}

void DrawPlayIcon(cCanvas& canvas, const cRectF& r)
{
    const float side = std::min(r.Width(), r.Height()) * 0.55f;
    const float cx = r.CentreX(), cy = r.CentreY();
    canvas.FillPolygon({cx - side * 0.4f, cy - side * 0.5f, cx + side * 0.5f, cy, cx - side * 0.4f, cy + side * 0.5f},
                       kWhite);
}

// Two arcs' worth of a ring with an arrow head: play round again.
void DrawLoopIcon(cCanvas& canvas, const cRectF& r)
{
    const float radius = std::min(r.Width(), r.Height()) * 0.27f;
    const float stroke = std::max(1.5f, radius * 0.28f);
    const float cx = r.CentreX(), cy = r.CentreY();
    canvas.StrokeCircle(cx, cy, radius, stroke, kWhite);
    const float head = radius * 0.55f;
    const float tipX = cx + radius, tipY = cy + head * 0.6f;
    canvas.FillPolygon({tipX - head, cy - head * 0.2f, tipX + head, cy - head * 0.2f, tipX, tipY}, kWhite);
}
} // namespace SamplerArt
