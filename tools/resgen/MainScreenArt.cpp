#include "MainScreenArt.h"

#include <algorithm>
#include <cmath>

using namespace HouseStyle;

namespace MainScreenArt
{
namespace
{
// Colours of the transport, told apart by colour as well as by shape.
const cColour kStopGrey = cColour::FromARGB(0xffe6e6e6);
const cColour kPlayGreen = cColour::FromARGB(0xff3cd25a);
const cColour kRecordRed = cColour::FromARGB(0xffe6282d);
const cColour kMenuFace = cColour::FromARGB(0xffc8c8c8);
const cColour kMenuRim = cColour::FromARGB(0xff7a7a7a);

float Stroke(float size) { return std::max(1.5f, size * 0.11f); }

void DrawBackArrow(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillLine(cx - h * 0.7f, cy, cx + h * 0.7f, cy, w, colour);
    canvas.FillLine(cx - h * 0.7f, cy, cx - h * 0.15f, cy - h * 0.55f, w, colour);
    canvas.FillLine(cx - h * 0.7f, cy, cx - h * 0.15f, cy + h * 0.55f, w, colour);
}

void DrawMenuLines(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    for (float dy : {-0.55f, 0.0f, 0.55f})
        canvas.FillLine(cx - h * 0.7f, cy + h * dy, cx + h * 0.7f, cy + h * dy, w, colour);
}

// A metronome: a tapered case with its pendulum.
void DrawMetronome(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillLine(cx - h * 0.25f, cy - h * 0.8f, cx - h * 0.6f, cy + h * 0.75f, w, colour);
    canvas.FillLine(cx + h * 0.25f, cy - h * 0.8f, cx + h * 0.6f, cy + h * 0.75f, w, colour);
    canvas.FillLine(cx - h * 0.25f, cy - h * 0.8f, cx + h * 0.25f, cy - h * 0.8f, w, colour);
    canvas.FillLine(cx - h * 0.6f, cy + h * 0.75f, cx + h * 0.6f, cy + h * 0.75f, w, colour);
    canvas.FillLine(cx, cy + h * 0.45f, cx + h * 0.55f, cy - h * 0.55f, w, colour);
}

// A crotchet with its beam: the tempo.
void DrawNote(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillCircle(cx - h * 0.3f, cy + h * 0.45f, h * 0.28f, colour);
    canvas.FillLine(cx - h * 0.05f, cy + h * 0.45f, cx - h * 0.05f, cy - h * 0.75f, w, colour);
    canvas.FillLine(cx - h * 0.05f, cy - h * 0.75f, cx + h * 0.55f, cy - h * 0.45f, w, colour);
}

// Notes snapped to grid lines.
void DrawGridSnap(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    for (float dx : {-0.6f, 0.0f, 0.6f})
        canvas.FillLine(cx + h * dx, cy - h * 0.75f, cx + h * dx, cy + h * 0.75f, w * 0.6f, colour);
    canvas.FillRect(cx - h * 0.6f, cy - h * 0.35f, cx, cy - h * 0.05f, colour);
    canvas.FillRect(cx, cy + h * 0.15f, cx + h * 0.6f, cy + h * 0.45f, colour);
}

// A song: three parts on two tracks.
void DrawSongParts(cCanvas& canvas, float cx, float cy, float h, const cColour& colour)
{
    canvas.FillRoundRect(cx - h * 0.8f, cy - h * 0.6f, cx - h * 0.05f, cy - h * 0.1f, 1.0f, colour);
    canvas.FillRoundRect(cx + h * 0.05f, cy - h * 0.6f, cx + h * 0.8f, cy - h * 0.1f, 1.0f, colour);
    canvas.FillRoundRect(cx - h * 0.4f, cy + h * 0.1f, cx + h * 0.8f, cy + h * 0.6f, 1.0f, colour);
}

// A gear: the setup pages.
void DrawGear(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    for (int i = 0; i < 8; ++i)
    {
        const float angle = float(i) * 3.14159265f / 4.0f;
        canvas.FillLine(cx + std::cos(angle) * h * 0.45f, cy + std::sin(angle) * h * 0.45f,
                        cx + std::cos(angle) * h * 0.8f, cy + std::sin(angle) * h * 0.8f, w * 1.3f, colour);
    }
    canvas.StrokeCircle(cx, cy, h * 0.5f, w, colour);
}

// A flat loop: a rounded track with an arrow head on its top run.
void DrawLoopTrack(cCanvas& canvas, const cRectF& box, const cColour& colour)
{
    const float w = std::max(1.0f, box.Height() * 0.18f), radius = box.Height() * 0.5f - w * 0.5f;
    canvas.StrokeRoundRect(box.x0 + w * 0.5f, box.y0 + w * 0.5f, box.x1 - w * 0.5f, box.y1 - w * 0.5f, radius, w,
                           colour);
    const float cx = box.CentreX(), h = box.Height() * 0.45f;
    DrawArrow(canvas, {cx - h * 0.4f, box.y0 - h * 0.3f, cx + h * 0.6f, box.y0 + h * 0.9f}, eDirection::Right, colour);
}

void DrawClockFace(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.StrokeCircle(cx, cy, h * 0.85f, std::max(1.0f, w * 0.6f), colour);
    canvas.FillLine(cx, cy, cx, cy - h * 0.6f, std::max(1.0f, w * 0.6f), colour);
}

// The enter key's bent arrow.
void DrawReturnArrow(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillLine(cx + h * 0.7f, cy - h * 0.6f, cx + h * 0.7f, cy + h * 0.2f, w, colour);
    canvas.FillLine(cx + h * 0.7f, cy + h * 0.2f, cx - h * 0.4f, cy + h * 0.2f, w, colour);
    DrawArrow(canvas, {cx - h * 0.8f, cy - h * 0.15f, cx - h * 0.3f, cy + h * 0.55f}, eDirection::Left, colour);
}

// Three faders at different heights.
void DrawFaders(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    const float caps[3] = {0.3f, -0.35f, 0.05f};
    for (int i = 0; i < 3; ++i)
    {
        const float x = cx + h * (float(i) - 1.0f) * 0.6f;
        canvas.FillLine(x, cy - h * 0.8f, x, cy + h * 0.8f, w * 0.6f, colour);
        canvas.FillRoundRect(x - h * 0.2f, cy + h * caps[i] - h * 0.12f, x + h * 0.2f, cy + h * caps[i] + h * 0.12f,
                             1.0f, colour);
    }
}

// One period of a saw and one of a sine: the synthesizer.
void DrawWaveforms(cCanvas& canvas, float cx, float cy, float h, float w, const cColour& colour)
{
    canvas.FillLine(cx - h * 0.85f, cy + h * 0.1f, cx - h * 0.1f, cy - h * 0.6f, w, colour);
    canvas.FillLine(cx - h * 0.1f, cy - h * 0.6f, cx - h * 0.1f, cy + h * 0.1f, w, colour);
    constexpr int kSteps = 12;
    for (int i = 0; i < kSteps; ++i)
    {
        const float t0 = float(i) / kSteps, t1 = float(i + 1) / kSteps;
        const float x0 = cx - h * 0.5f + t0 * h * 1.35f, x1 = cx - h * 0.5f + t1 * h * 1.35f;
        canvas.FillLine(x0, cy + h * 0.45f - std::sin(t0 * 6.2831853f) * h * 0.35f, x1,
                        cy + h * 0.45f - std::sin(t1 * 6.2831853f) * h * 0.35f, w, colour);
    }
}

// A two by two grid of pads.
void DrawPads(cCanvas& canvas, float cx, float cy, float h, const cColour& colour)
{
    const float side = h * 0.7f, gap = h * 0.15f;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
        {
            const float x0 = cx - gap * 0.5f - side + float(column) * (side + gap);
            const float y0 = cy - gap * 0.5f - side + float(row) * (side + gap);
            canvas.FillRoundRect(x0, y0, x0 + side, y0 + side, side * 0.2f, colour);
        }
}
} // namespace

cColour TransportColour(eGlyph glyph)
{
    switch (glyph)
    {
    case eGlyph::Play: return kPlayGreen;
    case eGlyph::Record: return kRecordRed;
    default: return kStopGrey;
    }
}

void DrawGlyph(cCanvas& canvas, const cRectF& box, eGlyph glyph, const cColour& colour)
{
    const float s = std::min(box.Width(), box.Height());
    const float cx = box.CentreX(), cy = box.CentreY(), h = s * 0.5f, w = Stroke(s);
    switch (glyph)
    {
    case eGlyph::Back: DrawBackArrow(canvas, cx, cy, h, w, colour); break;
    case eGlyph::Menu: DrawMenuLines(canvas, cx, cy, h, w, colour); break;
    case eGlyph::Stop: canvas.FillRoundRect(cx - h * 0.6f, cy - h * 0.6f, cx + h * 0.6f, cy + h * 0.6f, 1.5f, colour); break;
    case eGlyph::Play: canvas.FillPolygon({cx - h * 0.55f, cy - h * 0.75f, cx + h * 0.8f, cy, cx - h * 0.55f, cy + h * 0.75f}, colour); break;
    case eGlyph::Record: canvas.FillCircle(cx, cy, h * 0.7f, colour); break;
    case eGlyph::Tempo: DrawNote(canvas, cx, cy, h, w, colour); break;
    case eGlyph::Quantize: DrawGridSnap(canvas, cx, cy, h, w, colour); break;
    case eGlyph::Click: DrawMetronome(canvas, cx, cy, h, w, colour); break;
    case eGlyph::Song: DrawSongParts(canvas, cx, cy, h, colour); break;
    case eGlyph::Manage: DrawGear(canvas, cx, cy, h, w, colour); break;
    case eGlyph::Loop: DrawLoopTrack(canvas, box, colour); break;
    case eGlyph::Clock: DrawClockFace(canvas, cx, cy, h, w, colour); break;
    case eGlyph::Done: DrawReturnArrow(canvas, cx, cy, h, w, colour); break;
    case eGlyph::Mixer: DrawFaders(canvas, cx, cy, h, w, colour); break;
    case eGlyph::Synth: DrawWaveforms(canvas, cx, cy, h, w, colour); break;
    case eGlyph::Pads: DrawPads(canvas, cx, cy, h, colour); break;
    }
}

void DrawStatusBarBackground(cCanvas& canvas, const cRectF& box)
{
    canvas.FillRect(box.x0, box.y0, box.x1, box.y1,
                    cPaint::Vertical(cColour::FromARGB(0xff3a3a3a), cColour::FromARGB(0xff161616), box.y0, box.y1));
    canvas.FillRect(box.x0, box.y0, box.x1, box.y0 + 1.0f, cColour::FromARGB(0xff555555));
    canvas.FillRect(box.x0, box.y1 - 1.0f, box.x1, box.y1, kBlack);
}

void DrawLitButton(cCanvas& canvas, const cRectF& box)
{
    const cRectF inner = box.Inset(1.0f);
    canvas.FillRoundRect(inner.x0, inner.y0, inner.x1, inner.y1, 4.0f,
                         cPaint::Vertical(kLit.WithAlpha(0.85f), kLit.Scaled(0.55f).WithAlpha(0.85f), inner.y0, inner.y1));
    canvas.StrokeRoundRect(inner.x0 + 0.5f, inner.y0 + 0.5f, inner.x1 - 0.5f, inner.y1 - 0.5f, 4.0f, 1.0f, kValue);
}

void DrawScreenFrame(cCanvas& canvas, const cRectF& box, float radius)
{
    DrawPanel(canvas, box, radius, cColour::FromARGB(0xff0a0a0a), cColour::FromARGB(0xff505050));
}

void DrawMenuPanel(cCanvas& canvas, const cRectF& box, float radius)
{
    DrawShadow(canvas, box.Inset(3.0f), radius);
    DrawPanel(canvas, box.Inset(3.0f), radius, kMenuFace, kMenuRim);
}

void DrawGridRow(cCanvas& canvas, const cRectF& box)
{
    canvas.FillRoundRect(box.x0, box.y0, box.x1, box.y1, 4.0f, cColour::FromARGB(0xff5a5a5a));
}

void DrawGridCell(cCanvas& canvas, const cRectF& box)
{
    const cRectF face = box.Inset(2.0f);
    canvas.FillRoundRect(face.x0, face.y0, face.x1, face.y1, 3.0f,
                         cPaint::Vertical(cColour::FromARGB(0xff343434), cColour::FromARGB(0xff1c1c1c), face.y0, face.y1));
    canvas.StrokeRoundRect(face.x0 + 0.5f, face.y0 + 0.5f, face.x1 - 0.5f, face.y1 - 0.5f, 3.0f, 1.0f, kEdge);
}

void DrawCellHighlight(cCanvas& canvas, const cRectF& box)
{
    const cRectF face = box.Inset(1.0f);
    canvas.FillRoundRect(face.x0, face.y0, face.x1, face.y1, 4.0f, kLit.WithAlpha(0.9f));
}

void DrawLevelBar(cCanvas& canvas, const cRectF& box)
{
    canvas.FillRect(box.x0, box.y0, box.x1, box.y1,
                    cPaint::Vertical(cColour::FromARGB(0xffe6282d), kValue, box.y0, box.y0 + box.Height() * 0.4f));
    canvas.FillRect(box.x0, box.y0 + box.Height() * 0.4f, box.x1, box.y1, kValue);
}

void DrawRecordIndicator(cCanvas& canvas, const cRectF& box, bool erasing)
{
    const float cx = box.CentreX(), cy = box.CentreY(), h = std::min(box.Width(), box.Height()) * 0.5f;
    canvas.StrokeCircle(cx, cy, h * 0.8f, std::max(1.5f, h * 0.2f), kWhite);
    if (erasing)
    {
        canvas.FillLine(cx - h * 0.4f, cy - h * 0.4f, cx + h * 0.4f, cy + h * 0.4f, std::max(1.5f, h * 0.2f), kWhite);
        canvas.FillLine(cx + h * 0.4f, cy - h * 0.4f, cx - h * 0.4f, cy + h * 0.4f, std::max(1.5f, h * 0.2f), kWhite);
    }
    else
    {
        canvas.FillCircle(cx, cy, h * 0.35f, kWhite);
    }
}

void DrawNavBackground(cCanvas& canvas, const cRectF& box)
{
    const cRectF slot = box.Inset(2.0f);
    const float radius = slot.Width() * 0.5f;
    canvas.FillRoundRect(slot.x0, slot.y0, slot.x1, slot.y1, radius,
                         cPaint::Vertical(cColour::FromARGB(0xff2a2a2a), cColour::FromARGB(0xff141414), slot.y0, slot.y1));
    canvas.StrokeRoundRect(slot.x0, slot.y0, slot.x1, slot.y1, radius, 1.5f, cColour::FromARGB(0xff5a5a5a));
}

void DrawNavArrow(cCanvas& canvas, const cRectF& box, bool up)
{
    const cRectF r = box.Inset(box.Height() * 0.15f);
    const float tip = up ? r.y0 : r.y1, base = up ? r.y1 : r.y0;
    canvas.FillPolygon({r.CentreX(), tip, r.x1, base, r.x0, base}, kWhite);
}
} // namespace MainScreenArt
