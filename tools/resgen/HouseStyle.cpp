#include "HouseStyle.h"

#include <algorithm>
#include <cmath>

namespace HouseStyle
{
const cColour kDark = cColour::FromARGB(0xff202020);
const cColour kDarker = cColour::FromARGB(0xff1e1e1e);
const cColour kPanel = cColour::FromARGB(0xff2c2c2c);
const cColour kEdge = cColour::FromARGB(0xff3a3a3a);
const cColour kLit = cColour::FromABGR(0xffba8400);
const cColour kValue = cColour::FromABGR(0xffe5b000);
const cColour kLabel = cColour::FromARGB(0xffdcdcdc);
const cColour kWhite = cColour::FromARGB(0xffffffff);
const cColour kBlack = cColour::FromARGB(0xff000000);

namespace
{
constexpr float kPi = 3.14159265f;
}

cRectF Map(const cPlace& place, const cRectI& rect)
{
    return {place.X(float(rect.x0)), place.Y(float(rect.y0)), place.X(float(rect.x1)), place.Y(float(rect.y1))};
}

void DrawShadow(cCanvas& canvas, const cRectF& body, float radius)
{
    // Three widening layers fake a blur that reaches two pixels down and one sideways.
    const cColour shade = kBlack.WithAlpha(0.22f);
    canvas.FillRoundRect(body.x0 - 1.5f, body.y0 + 0.5f, body.x1 + 1.5f, body.y1 + 2.5f, radius + 1.5f, shade);
    canvas.FillRoundRect(body.x0 - 0.75f, body.y0 + 0.75f, body.x1 + 0.75f, body.y1 + 1.75f, radius + 0.75f, shade);
    canvas.FillRoundRect(body.x0, body.y0 + 1.0f, body.x1, body.y1 + 1.0f, radius, shade);
}

void DrawButtonFace(cCanvas& canvas, const cRectF& body, float radius, bool lit)
{
    // Lit faces are a deep blue: the light labels (0xffdcdcdc) read on them
    // at over 4.5:1, as on the unlit grey.
    const cColour top = lit ? cColour::FromARGB(0xff006496) : cColour::FromARGB(0xff4a4a4a);
    const cColour bottom = lit ? cColour::FromARGB(0xff004e7a) : cColour::FromARGB(0xff2a2a2a);
    const cColour rim = lit ? cColour::FromARGB(0xff00415c) : cColour::FromARGB(0xff121212);
    canvas.FillRoundRect(body.x0, body.y0, body.x1, body.y1, radius, rim);
    canvas.FillRoundRect(body.x0 + 1, body.y0 + 1, body.x1 - 1, body.y1 - 1, radius - 1,
                         cPaint::Vertical(top, bottom, body.y0 + 1, body.y1 - 1));
    // Bevel: a light top edge and a darker bottom edge inside the rim.
    canvas.FillRect(body.x0 + radius, body.y0 + 1, body.x1 - radius, body.y0 + 2,
                    kWhite.WithAlpha(lit ? 0.45f : 0.16f));
    canvas.FillRect(body.x0 + radius, body.y1 - 2, body.x1 - radius, body.y1 - 1, kBlack.WithAlpha(0.25f));
}

void DrawPanel(cCanvas& canvas, const cRectF& body, float radius, const cColour& face, const cColour& rim)
{
    canvas.FillRoundRect(body.x0, body.y0, body.x1, body.y1, radius, rim);
    canvas.FillRoundRect(body.x0 + 1, body.y0 + 1, body.x1 - 1, body.y1 - 1, std::max(0.0f, radius - 1), face);
}

void DrawKnobBody(cCanvas& canvas, const cRectF& body, float margin)
{
    const float cx = body.CentreX(), cy = body.CentreY();
    const float r = std::min(body.Width(), body.Height()) * 0.5f;
    // Eleven marks from 40 to 320 degrees, measured clockwise from straight down.
    for (int mark = 0; mark <= 10; ++mark)
    {
        const float angle = (40.0f + 28.0f * float(mark)) * kPi / 180.0f;
        const float radius = r + margin * 0.55f;
        canvas.FillCircle(cx - std::sin(angle) * radius, cy + std::cos(angle) * radius, std::max(0.6f, margin * 0.22f),
                          cColour::FromARGB(0xffb4b4b4));
    }
    canvas.FillCircle(cx, cy, r, cColour::FromARGB(0xff101010));
    canvas.StrokeCircle(cx, cy, r - 1.0f, std::max(1.5f, r * 0.08f), kLit);
    canvas.FillCircle(cx, cy, r * 0.78f,
                      cPaint::Vertical(cColour::FromARGB(0xff505050), cColour::FromARGB(0xff262626), cy - r, cy + r));
    canvas.StrokeCircle(cx, cy, r * 0.78f, 1.0f, kBlack.WithAlpha(0.6f));
    // A soft highlight on the upper half of the cap.
    canvas.FillCircle(cx, cy - r * 0.22f, r * 0.45f, kWhite.WithAlpha(0.07f));
}

void DrawLed(cCanvas& canvas, const cRectF& body, bool lit, const cColour& colour)
{
    const float cx = body.CentreX(), cy = body.CentreY();
    const float r = std::min(body.Width(), body.Height()) * 0.5f;
    if (lit)
    {
        canvas.FillCircle(cx, cy, r, colour.WithAlpha(0.25f));
        canvas.FillCircle(cx, cy, r * 0.7f, colour);
        canvas.FillCircle(cx - r * 0.15f, cy - r * 0.2f, r * 0.3f, kWhite.WithAlpha(0.7f));
    }
    else
    {
        canvas.FillCircle(cx, cy, r * 0.7f, cColour::FromARGB(0xff0c0c0c));
        canvas.FillCircle(cx, cy, r * 0.6f, colour.Scaled(0.3f));
        canvas.FillCircle(cx - r * 0.15f, cy - r * 0.2f, r * 0.22f, kWhite.WithAlpha(0.18f));
    }
}

void DrawArrow(cCanvas& canvas, const cRectF& box, eDirection direction, const cColour& colour)
{
    const float cx = box.CentreX(), cy = box.CentreY();
    const float hw = box.Width() * 0.5f, hh = box.Height() * 0.5f;
    std::vector<float> points;
    switch (direction)
    {
    case eDirection::Up: points = {cx, cy - hh, cx + hw, cy + hh, cx - hw, cy + hh}; break;
    case eDirection::Down: points = {cx - hw, cy - hh, cx + hw, cy - hh, cx, cy + hh}; break;
    case eDirection::Left: points = {cx - hw, cy, cx + hw, cy - hh, cx + hw, cy + hh}; break;
    case eDirection::Right: points = {cx - hw, cy - hh, cx + hw, cy, cx - hw, cy + hh}; break;
    }
    canvas.FillPolygon(points, colour);
}

void DrawIcon(cCanvas& canvas, const cRectF& box, eIcon icon, const cColour& colour)
{
    const float s = std::min(box.Width(), box.Height());
    const float cx = box.CentreX(), cy = box.CentreY();
    const float w = std::max(1.5f, s * 0.12f); // stroke width
    const float h = s * 0.5f;
    switch (icon)
    {
    case eIcon::Close:
    case eIcon::Cross:
        canvas.FillLine(cx - h * 0.6f, cy - h * 0.6f, cx + h * 0.6f, cy + h * 0.6f, w * 1.2f, colour);
        canvas.FillLine(cx + h * 0.6f, cy - h * 0.6f, cx - h * 0.6f, cy + h * 0.6f, w * 1.2f, colour);
        break;
    case eIcon::Check:
        canvas.FillLine(cx - h * 0.7f, cy, cx - h * 0.2f, cy + h * 0.5f, w * 1.2f, colour);
        canvas.FillLine(cx - h * 0.2f, cy + h * 0.5f, cx + h * 0.7f, cy - h * 0.55f, w * 1.2f, colour);
        break;
    case eIcon::Share:
        canvas.FillCircle(cx + h * 0.5f, cy - h * 0.55f, h * 0.22f, colour);
        canvas.FillCircle(cx + h * 0.5f, cy + h * 0.55f, h * 0.22f, colour);
        canvas.FillCircle(cx - h * 0.5f, cy, h * 0.22f, colour);
        canvas.FillLine(cx - h * 0.5f, cy, cx + h * 0.5f, cy - h * 0.55f, w * 0.8f, colour);
        canvas.FillLine(cx - h * 0.5f, cy, cx + h * 0.5f, cy + h * 0.55f, w * 0.8f, colour);
        break;
    case eIcon::Import:
    case eIcon::Export:
    {
        // A tray with an arrow going into it (import) or out of it (export).
        canvas.FillLine(cx - h * 0.75f, cy + h * 0.2f, cx - h * 0.75f, cy + h * 0.75f, w, colour);
        canvas.FillLine(cx - h * 0.75f, cy + h * 0.75f, cx + h * 0.75f, cy + h * 0.75f, w, colour);
        canvas.FillLine(cx + h * 0.75f, cy + h * 0.75f, cx + h * 0.75f, cy + h * 0.2f, w, colour);
        const bool in = icon == eIcon::Import;
        canvas.FillLine(cx, cy - h * 0.8f, cx, cy + (in ? h * 0.1f : h * 0.35f), w, colour);
        const float tipY = in ? cy + h * 0.4f : cy - h * 0.85f;
        DrawArrow(canvas, {cx - h * 0.4f, tipY - (in ? h * 0.4f : 0.0f), cx + h * 0.4f, tipY + (in ? 0.0f : h * 0.4f)},
                  in ? eDirection::Down : eDirection::Up, colour);
        break;
    }
    case eIcon::Power:
        canvas.StrokeCircle(cx, cy, h * 0.6f + w * 0.5f, w, colour);
        // Open the ring at the top, where the stroke stands.
        canvas.MaskShape(int(cx - h * 0.3f), int(box.y0), int(std::ceil(cx + h * 0.3f)), int(cy - h * 0.1f),
                         [](float, float) { return 1.0f; });
        canvas.FillLine(cx, cy - h * 0.8f, cx, cy - h * 0.05f, w, colour);
        break;
    case eIcon::MidiFile:
    case eIcon::AudioFile:
    {
        // A page with a folded corner and a mark for its content.
        const float x0 = cx - h * 0.6f, x1 = cx + h * 0.6f, y0 = cy - h * 0.85f, y1 = cy + h * 0.85f;
        canvas.FillPolygon({x0, y0, x1 - h * 0.4f, y0, x1, y0 + h * 0.4f, x1, y1, x0, y1}, colour);
        canvas.FillPolygon({x1 - h * 0.4f, y0, x1, y0 + h * 0.4f, x1 - h * 0.4f, y0 + h * 0.4f}, colour.Scaled(0.6f));
        const cColour mark = kDark;
        if (icon == eIcon::MidiFile)
        {
            canvas.FillCircle(cx - h * 0.1f, cy + h * 0.4f, h * 0.18f, mark);
            canvas.FillLine(cx + h * 0.06f, cy + h * 0.4f, cx + h * 0.06f, cy - h * 0.35f, w * 0.7f, mark);
        }
        else
        {
            // Four level bars: a sound.
            const float heights[] = {0.2f, 0.45f, 0.32f, 0.15f};
            for (int i = 0; i < 4; ++i)
            {
                const float x = cx + (i - 1.5f) * h * 0.26f;
                canvas.FillRect(x - h * 0.07f, cy + h * 0.25f - heights[i] * h, x + h * 0.07f, cy + h * 0.25f + heights[i] * h,
                                mark);
            }
        }
        break;
    }
    case eIcon::Effect:
        // Three sliders: the effect rack's mark.
        for (int i = -1; i <= 1; ++i)
        {
            const float x = cx + i * h * 0.55f;
            canvas.FillLine(x, cy - h * 0.75f, x, cy + h * 0.75f, w * 0.6f, colour.WithAlpha(colour.a * 0.6f));
            const float knobY = cy + (i == 0 ? -0.35f : i < 0 ? 0.3f : 0.05f) * h;
            canvas.FillRoundRect(x - h * 0.2f, knobY - h * 0.12f, x + h * 0.2f, knobY + h * 0.12f, 1.0f, colour);
        }
        break;
    case eIcon::Dotted:
        canvas.FillCircle(cx - h * 0.2f, cy + h * 0.35f, h * 0.3f, colour);
        canvas.FillLine(cx + h * 0.08f, cy + h * 0.35f, cx + h * 0.08f, cy - h * 0.7f, w * 0.7f, colour);
        canvas.FillCircle(cx + h * 0.55f, cy + h * 0.35f, h * 0.12f, colour);
        break;
    case eIcon::Triplet:
        for (int i = -1; i <= 1; ++i)
        {
            const float x = cx + i * h * 0.55f;
            canvas.FillCircle(x - h * 0.08f, cy + h * 0.45f, h * 0.17f, colour);
            canvas.FillLine(x + h * 0.06f, cy + h * 0.45f, x + h * 0.06f, cy - h * 0.35f, w * 0.5f, colour);
        }
        canvas.FillLine(cx - h * 0.5f, cy - h * 0.35f, cx + h * 0.6f, cy - h * 0.35f, w * 0.6f, colour);
        break;
    case eIcon::Spinner:
        for (int i = 0; i < 8; ++i)
        {
            const float angle = i * kPi / 4.0f;
            const float dx = std::sin(angle), dy = -std::cos(angle);
            canvas.FillLine(cx + dx * h * 0.45f, cy + dy * h * 0.45f, cx + dx * h * 0.85f, cy + dy * h * 0.85f, w,
                            colour.WithAlpha(colour.a * (0.25f + 0.75f * float(i) / 7.0f)));
        }
        break;
    case eIcon::Folder:
    case eIcon::Project:
    {
        // A folder with its tab; a project folder carries a note.
        const float x0 = cx - h * 0.85f, x1 = cx + h * 0.85f, y0 = cy - h * 0.55f, y1 = cy + h * 0.7f;
        canvas.FillRoundRect(x0, y0 - h * 0.2f, cx - h * 0.1f, y0 + h * 0.2f, 1.0f, colour.Scaled(0.75f));
        canvas.FillRoundRect(x0, y0, x1, y1, 1.5f, colour);
        if (icon == eIcon::Project)
        {
            canvas.FillCircle(cx - h * 0.12f, cy + h * 0.35f, h * 0.16f, kDark);
            canvas.FillLine(cx + h * 0.02f, cy + h * 0.35f, cx + h * 0.02f, cy - h * 0.3f, w * 0.7f, kDark);
        }
        break;
    }
    case eIcon::InUse:
        // A small filled dot with a dark rim: the sample is in the project.
        canvas.FillCircle(cx, cy, h * 0.55f, kDark);
        canvas.FillCircle(cx, cy, h * 0.4f, colour);
        break;
    case eIcon::UpArrow:
        DrawArrow(canvas, {cx - h * 0.6f, cy - h * 0.7f, cx + h * 0.6f, cy}, eDirection::Up, colour);
        canvas.FillLine(cx, cy - h * 0.1f, cx, cy + h * 0.75f, w * 1.4f, colour);
        break;
    case eIcon::Archive:
    {
        // A box with a zip running down it.
        canvas.FillRoundRect(cx - h * 0.7f, cy - h * 0.8f, cx + h * 0.7f, cy + h * 0.8f, 1.5f, colour);
        for (int i = 0; i < 5; ++i)
        {
            const float y = cy - h * 0.65f + float(i) * h * 0.3f;
            canvas.FillRect(cx - h * ((i & 1) ? 0.0f : 0.15f), y, cx + h * ((i & 1) ? 0.15f : 0.0f), y + h * 0.15f, kDark);
        }
        break;
    }
    case eIcon::Chain:
        // Two linked rings.
        canvas.StrokeCircle(cx - h * 0.3f, cy + h * 0.3f, h * 0.38f, w, colour);
        canvas.StrokeCircle(cx + h * 0.3f, cy - h * 0.3f, h * 0.38f, w, colour);
        break;
    }
}

void DrawPlaceholder(cCanvas& canvas, const cRectF& box)
{
    canvas.FillRoundRect(box.x0, box.y0, box.x1, box.y1, 1.5f, cColour::FromARGB(0xff606060).WithAlpha(0.5f));
}
}
