#include "SamplerEffectsArt.h"

#include <algorithm>
#include <cmath>

using namespace HouseStyle;

namespace SamplerEffectsArt
{
namespace
{
const cColour kStripFace = cColour::FromARGB(0xff34373c);
const cColour kStripRim = cColour::FromARGB(0xff50555c);
const cColour kCheekFace = cColour::FromARGB(0xff25272b);
const cColour kCheekRim = cColour::FromARGB(0xff4a4f56);
const cColour kGroove = cColour::FromARGB(0xff15161a);
const cColour kHousing = cColour::FromARGB(0xff101010);
const cColour kLens = cColour::FromARGB(0xff3a1414);
const cColour kClip = cColour::FromARGB(0xffff3020);
const cColour kBox = cColour::FromARGB(0xff5a5f66);

float Stroke(const cRectF& r) { return std::max(1.5f, std::min(r.Width(), r.Height()) * 0.09f); }

void Wave(cCanvas& canvas, float x0, float x1, float cy, float amplitude, float cycles, float stroke,
          const cColour& colour)
{
    const int steps = 10;
    float px = x0, py = cy;
    for (int i = 1; i <= steps; ++i)
    {
        const float t = float(i) / float(steps);
        const float x = x0 + t * (x1 - x0);
        const float y = cy - std::sin(t * 6.2831853f * cycles) * amplitude;
        canvas.FillLine(px, py, x, y, stroke, colour);
        px = x;
        py = y;
    }
}
} // namespace

void DrawStrip(cCanvas& canvas, const cRectF& r) { DrawPanel(canvas, r, 4.0f, kStripFace, kStripRim); }

void DrawCheek(cCanvas& canvas, const cRectF& r)
{
    DrawPanel(canvas, r, r.Width() * 0.18f, kCheekFace, kCheekRim);
    const float inset = r.Width() * 0.25f;
    for (float y : {r.y0 + r.Height() * 0.3f, r.y1 - r.Height() * 0.3f})
        canvas.FillLine(r.x0 + inset, y, r.x1 - inset, y, 1.5f, kGroove);
}

void DrawProcessIcon(cCanvas& canvas, const cRectF& r)
{
    const float stroke = Stroke(r);
    const float cy = r.CentreY();
    const cRectF box = {r.x0 + r.Width() * 0.36f, r.y0 + r.Height() * 0.22f, r.x1 - r.Width() * 0.36f,
                        r.y1 - r.Height() * 0.22f};
    Wave(canvas, r.x0 + r.Width() * 0.04f, box.x0, cy, r.Height() * 0.16f, 1.0f, stroke, kLabel);
    canvas.FillRoundRect(box.x0, box.y0, box.x1, box.y1, box.Width() * 0.2f, kBox);
    canvas.StrokeRoundRect(box.x0, box.y0, box.x1, box.y1, box.Width() * 0.2f, stroke * 0.6f, kValue);
    DrawIcon(canvas, box.Inset(box.Width() * 0.18f), eIcon::Effect, kLabel);
    Wave(canvas, box.x1, r.x1 - r.Width() * 0.04f, cy, r.Height() * 0.3f, 1.5f, stroke, kValue);
}

void DrawMeterHousing(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, r.Height() * 0.3f, kHousing);
    const float half = r.Width() * 0.5f;
    for (int side = 0; side < 2; ++side)
    {
        const float cx = r.x0 + half * (float(side) + 0.5f);
        canvas.FillCircle(cx, r.CentreY(), std::min(half, r.Height()) * 0.32f, kLens);
    }
}

void DrawClipLed(cCanvas& canvas, const cRectF& r)
{
    const float radius = std::min(r.Width(), r.Height()) * 0.5f;
    canvas.FillCircle(r.CentreX(), r.CentreY(), radius, kClip.WithAlpha(0.35f));
    canvas.FillCircle(r.CentreX(), r.CentreY(), radius * 0.62f, kClip);
}
void DrawMeterStrip(cCanvas& canvas, const cRectF& r, int segments, float pitch)
{
    const float scale = r.Height() / (float(segments) * pitch);
    for (int i = 0; i < segments; ++i)
    {
        const float y = r.y0 + float(i) * pitch * scale;
        canvas.FillRect(r.x0, y, r.x1, y + (pitch - 2.0f) * scale, kWhite);
    }
}
} // namespace SamplerEffectsArt
