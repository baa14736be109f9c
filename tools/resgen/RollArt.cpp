#include "RollArt.h"

#include <algorithm>
#include <cmath>

using namespace HouseStyle;

namespace RollArt
{
namespace
{
const cColour kMuteOrange = cColour::FromARGB(0xffe68a1e);
const cColour kSoloGreen = cColour::FromARGB(0xff3cd25a);
const cColour kInputRed = cColour::FromARGB(0xffe6282d);
const cColour kHandleFace = cColour::FromARGB(0xe0303a44);
const cColour kLoopFace = cColour::FromARGB(0xff2a7fb8);

float Stroke(float size) { return std::max(1.5f, size * 0.1f); }

void DrawFrame(cCanvas& canvas, float x0, float y0, float x1, float y1, float w, const cPaint& paint)
{
    canvas.FillLine(x0, y0, x1, y0, w, paint);
    canvas.FillLine(x1, y0, x1, y1, w, paint);
    canvas.FillLine(x1, y1, x0, y1, w, paint);
    canvas.FillLine(x0, y1, x0, y0, w, paint);
}

// A wrench across the box.
void DrawWrench(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillLine(cx - h * 0.6f, cy + h * 0.6f, cx + h * 0.25f, cy - h * 0.25f, w * 1.6f, colour);
    canvas.StrokeCircle(cx + h * 0.4f, cy - h * 0.4f, h * 0.35f, w, colour);
}

// A clock face with an arrow turning back round it.
void DrawHistory(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.StrokeCircle(cx, cy, h * 0.75f, w, colour);
    canvas.FillLine(cx, cy, cx, cy - h * 0.45f, w, colour);
    canvas.FillLine(cx, cy, cx + h * 0.35f, cy + h * 0.2f, w, colour);
    DrawArrow(canvas, {cx - h * 1.0f, cy - h * 0.2f, cx - h * 0.5f, cy + h * 0.3f}, eDirection::Down, colour);
}

void DrawMagnifier(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.StrokeCircle(cx - h * 0.2f, cy - h * 0.2f, h * 0.5f, w, colour);
    canvas.FillLine(cx + h * 0.15f, cy + h * 0.15f, cx + h * 0.75f, cy + h * 0.75f, w * 1.6f, colour);
}

// A dashed frame with a pointer in its corner.
void DrawSelection(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    const float x0 = cx - h * 0.8f, y0 = cy - h * 0.6f, x1 = cx + h * 0.5f, y1 = cy + h * 0.4f;
    constexpr int kDashes = 4;
    for (int i = 0; i < kDashes; ++i)
    {
        const float a = float(i) / kDashes, b = (float(i) + 0.55f) / kDashes;
        canvas.FillLine(x0 + (x1 - x0) * a, y0, x0 + (x1 - x0) * b, y0, w, colour);
        canvas.FillLine(x0 + (x1 - x0) * a, y1, x0 + (x1 - x0) * b, y1, w, colour);
        canvas.FillLine(x0, y0 + (y1 - y0) * a, x0, y0 + (y1 - y0) * b, w, colour);
        canvas.FillLine(x1, y0 + (y1 - y0) * a, x1, y0 + (y1 - y0) * b, w, colour);
    }
    canvas.FillPolygon({cx + h * 0.2f, cy + h * 0.1f, cx + h * 0.9f, cy + h * 0.55f, cx + h * 0.45f, cy + h * 0.6f,
                        cx + h * 0.35f, cy + h * 0.95f},
                       colour);
}

void DrawPencil(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillLine(cx - h * 0.45f, cy + h * 0.45f, cx + h * 0.6f, cy - h * 0.6f, w * 2.2f, colour);
    canvas.FillPolygon({cx - h * 0.75f, cy + h * 0.75f, cx - h * 0.6f, cy + h * 0.25f, cx - h * 0.25f, cy + h * 0.6f},
                       colour);
}

void DrawBin(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillLine(cx - h * 0.75f, cy - h * 0.55f, cx + h * 0.75f, cy - h * 0.55f, w, colour);
    canvas.FillLine(cx - h * 0.25f, cy - h * 0.75f, cx + h * 0.25f, cy - h * 0.75f, w, colour);
    DrawFrame(canvas, cx - h * 0.5f, cy - h * 0.4f, cx + h * 0.5f, cy + h * 0.8f, w, colour);
    for (float dx : {-0.2f, 0.2f})
        canvas.FillLine(cx + h * dx, cy - h * 0.15f, cx + h * dx, cy + h * 0.55f, w * 0.8f, colour);
}

void DrawCopies(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    DrawFrame(canvas, cx - h * 0.8f, cy - h * 0.7f, cx + h * 0.2f, cy + h * 0.2f, w, colour);
    canvas.FillRoundRect(cx - h * 0.2f, cy - h * 0.1f, cx + h * 0.8f, cy + h * 0.8f, 1.0f, colour);
}

void DrawDots(cCanvas& canvas, float cx, float cy, float h, const cColour& colour)
{
    for (float dx : {-0.6f, 0.0f, 0.6f})
        canvas.FillCircle(cx + h * dx, cy, h * 0.17f, colour);
}

// A part with notes in it and a pencil over it: open in the piano roll.
void DrawEditPart(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    DrawFrame(canvas, cx - h * 0.85f, cy - h * 0.6f, cx + h * 0.85f, cy + h * 0.6f, w, colour);
    canvas.FillLine(cx - h * 0.6f, cy + h * 0.25f, cx - h * 0.2f, cy + h * 0.25f, w, colour);
    canvas.FillLine(cx - h * 0.1f, cy - h * 0.05f, cx + h * 0.3f, cy - h * 0.05f, w, colour);
    canvas.FillLine(cx + h * 0.35f, cy - h * 0.3f, cx + h * 0.65f, cy - h * 0.3f, w, colour);
}

// A speaker with a cross: muted.
void DrawSpeaker(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour, bool crossed)
{
    canvas.FillPolygon({cx - h * 0.8f, cy - h * 0.3f, cx - h * 0.45f, cy - h * 0.3f, cx - h * 0.05f, cy - h * 0.7f,
                        cx - h * 0.05f, cy + h * 0.7f, cx - h * 0.45f, cy + h * 0.3f, cx - h * 0.8f, cy + h * 0.3f},
                       colour);
    if (crossed)
    {
        canvas.FillLine(cx + h * 0.2f, cy - h * 0.35f, cx + h * 0.8f, cy + h * 0.35f, w, colour);
        canvas.FillLine(cx + h * 0.2f, cy + h * 0.35f, cx + h * 0.8f, cy - h * 0.35f, w, colour);
    }
    else
    {
        canvas.FillLine(cx + h * 0.2f, cy - h * 0.3f, cx + h * 0.2f, cy + h * 0.3f, w, colour);
        canvas.FillLine(cx + h * 0.5f, cy - h * 0.55f, cx + h * 0.5f, cy + h * 0.55f, w, colour);
    }
}

// Five columns of buttons: the header panel.
void DrawColumns(cCanvas& canvas, float cx, float cy, float h, const cColour& colour)
{
    for (int i = 0; i < 3; ++i)
    {
        const float x = cx + h * (float(i) - 1.0f) * 0.6f;
        canvas.FillRoundRect(x - h * 0.2f, cy - h * 0.7f, x + h * 0.2f, cy + h * 0.7f, 1.0f, colour);
    }
}

// A play head with an arrow to its right: the view follows.
void DrawFollow(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillLine(cx - h * 0.6f, cy - h * 0.8f, cx - h * 0.6f, cy + h * 0.8f, w, colour);
    canvas.FillLine(cx - h * 0.4f, cy, cx + h * 0.5f, cy, w, colour);
    DrawArrow(canvas, {cx + h * 0.3f, cy - h * 0.4f, cx + h * 0.9f, cy + h * 0.4f}, eDirection::Right, colour);
}

// Arrows to all four sides: drags scroll.
void DrawFourWays(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillLine(cx - h * 0.6f, cy, cx + h * 0.6f, cy, w, colour);
    canvas.FillLine(cx, cy - h * 0.6f, cx, cy + h * 0.6f, w, colour);
    const float a = h * 0.3f;
    DrawArrow(canvas, {cx - h, cy - a, cx - h * 0.55f, cy + a}, eDirection::Left, colour);
    DrawArrow(canvas, {cx + h * 0.55f, cy - a, cx + h, cy + a}, eDirection::Right, colour);
    DrawArrow(canvas, {cx - a, cy - h, cx + a, cy - h * 0.55f}, eDirection::Up, colour);
    DrawArrow(canvas, {cx - a, cy + h * 0.55f, cx + a, cy + h}, eDirection::Down, colour);
}

// A bracket down the side: the instrument's tracks belong together.
void DrawBracket(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillLine(cx, cy - h * 0.8f, cx, cy + h * 0.8f, w, colour);
    canvas.FillLine(cx, cy - h * 0.8f, cx - h * 0.5f, cy - h * 0.8f, w, colour);
    canvas.FillLine(cx, cy + h * 0.8f, cx - h * 0.5f, cy + h * 0.8f, w, colour);
}
} // namespace

void DrawRollGlyph(cCanvas& canvas, const cRectF& box, eRollGlyph glyph, const cColour& colour)
{
    const float s = std::min(box.Width(), box.Height());
    const float cx = box.CentreX(), cy = box.CentreY(), h = s * 0.5f, w = Stroke(s);
    switch (glyph)
    {
    case eRollGlyph::Tools: DrawWrench(canvas, cx, cy, h, w, colour); break;
    case eRollGlyph::History: DrawHistory(canvas, cx, cy, h, w, colour); break;
    case eRollGlyph::Zoom: DrawMagnifier(canvas, cx, cy, h, w, colour); break;
    case eRollGlyph::Select: DrawSelection(canvas, cx, cy, h, w, colour); break;
    case eRollGlyph::Draw: DrawPencil(canvas, cx, cy, h, w, colour); break;
    case eRollGlyph::Delete: DrawBin(canvas, cx, cy, h, w, colour); break;
    case eRollGlyph::Copy: DrawCopies(canvas, cx, cy, h, w, colour); break;
    case eRollGlyph::More: DrawDots(canvas, cx, cy, h, colour); break;
    case eRollGlyph::Edit: DrawEditPart(canvas, cx, cy, h, w, colour); break;
    case eRollGlyph::Mute: DrawSpeaker(canvas, cx, cy, h, w, kMuteOrange, true); break;
    case eRollGlyph::Solo: DrawSpeaker(canvas, cx, cy, h, w, kSoloGreen, false); break;
    case eRollGlyph::Input: canvas.FillCircle(cx, cy, h * 0.6f, kInputRed); break;
    case eRollGlyph::Panel: DrawColumns(canvas, cx, cy, h, colour); break;
    case eRollGlyph::Follow: DrawFollow(canvas, cx, cy, h, w, colour); break;
    case eRollGlyph::ScrollMode: DrawFourWays(canvas, cx, cy, h, w, colour); break;
    case eRollGlyph::GroupMarker: DrawBracket(canvas, cx, cy, h, w, colour); break;
    }
}

void DrawToolbarBackground(cCanvas& canvas, const cRectF& box)
{
    canvas.FillRect(box.x0, box.y0, box.x1, box.y1,
                    cPaint::Vertical(cColour::FromARGB(0xff333333), cColour::FromARGB(0xff121212), box.y0, box.y1));
    canvas.FillRect(box.x0, box.y0, box.x1, box.y0 + 1.0f, cColour::FromARGB(0xff505050));
}

void DrawRulerBackground(cCanvas& canvas, const cRectF& box)
{
    canvas.FillRect(box.x0, box.y0, box.x1, box.y1,
                    cPaint::Vertical(cColour::FromARGB(0xff3c3c3c), cColour::FromARGB(0xff262626), box.y0, box.y1));
    canvas.FillRect(box.x0, box.y1 - 1.0f, box.x1, box.y1, cColour::FromARGB(0xff101010));
}

void DrawLoopRegion(cCanvas& canvas, const cRectF& box)
{
    canvas.FillRoundRect(box.x0, box.y0, box.x1, box.y1, box.Height() * 0.3f, kLoopFace);
    const float cap = std::max(2.0f, box.Width() * 0.12f);
    canvas.FillRect(box.x0, box.y0, box.x0 + cap, box.y1, kWhite);
    canvas.FillRect(box.x1 - cap, box.y0, box.x1, box.y1, kWhite);
}

void DrawDragHandle(cCanvas& canvas, const cRectF& box, eHandle handle)
{
    const float s = std::min(box.Width(), box.Height());
    const float cx = box.CentreX(), cy = box.CentreY(), h = s * 0.5f, w = Stroke(s);
    canvas.FillCircle(cx, cy, h * 0.95f, kHandleFace);
    canvas.StrokeCircle(cx, cy, h * 0.9f, w * 0.8f, kLit);
    const float a = h * 0.3f;
    switch (handle)
    {
    case eHandle::Move:
        canvas.FillLine(cx - h * 0.45f, cy, cx + h * 0.45f, cy, w, kWhite);
        DrawArrow(canvas, {cx - h * 0.75f, cy - a, cx - h * 0.35f, cy + a}, eDirection::Left, kWhite);
        DrawArrow(canvas, {cx + h * 0.35f, cy - a, cx + h * 0.75f, cy + a}, eDirection::Right, kWhite);
        break;
    case eHandle::Resize:
        canvas.FillLine(cx - h * 0.35f, cy - h * 0.45f, cx - h * 0.35f, cy + h * 0.45f, w, kWhite);
        canvas.FillLine(cx - h * 0.3f, cy, cx + h * 0.4f, cy, w, kWhite);
        DrawArrow(canvas, {cx + h * 0.3f, cy - a, cx + h * 0.75f, cy + a}, eDirection::Right, kWhite);
        break;
    case eHandle::TrackMove:
        canvas.FillLine(cx, cy - h * 0.45f, cx, cy + h * 0.45f, w, kWhite);
        DrawArrow(canvas, {cx - a, cy - h * 0.75f, cx + a, cy - h * 0.35f}, eDirection::Up, kWhite);
        DrawArrow(canvas, {cx - a, cy + h * 0.35f, cx + a, cy + h * 0.75f}, eDirection::Down, kWhite);
        break;
    }
}
} // namespace RollArt
