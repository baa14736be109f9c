#include "PadEditorArt.h"

#include <algorithm>
#include <cmath>

using namespace HouseStyle;

namespace PadEditorArt
{
namespace
{
// Light behind the pads: the names above them are dark (0xff1e1e1e, or dark
// red for a missing sample) and read on it at over 4.5:1.
const cColour kBackground = cColour::FromARGB(0xffc0c0c0);
const cColour kFrameFace = cColour::FromARGB(0xff3a3a3a);
const cColour kFrameRim = cColour::FromARGB(0xff262626);
// Dark under the panels' light captions (0xffdcdcdc reads at over 4.5:1).
const cColour kPanelFace = cColour::FromARGB(0xff4a4a4a);
const cColour kPanelRim = cColour::FromARGB(0xff2a2a2a);
const cColour kPadTop = cColour::FromARGB(0xfff0f0f0);
const cColour kPadBottom = cColour::FromARGB(0xffc4c4c4);
const cColour kPadRim = cColour::FromARGB(0xff8a8a8a);
// Near black: the red value texts (240, 36, 36) read on it at over 4.5:1.
const cColour kDisplay = cColour::FromARGB(0xff0a0e0f);
const cColour kDisplayRim = cColour::FromARGB(0xff3e4a4e);
const cColour kRecordRed = cColour::FromARGB(0xffe02424);
// Each bus's glow, in the hue its tint gives the pads.
const cColour kBusGlow[3] = {cColour::FromARGB(0xff4aa8ff), cColour::FromARGB(0xff52e07a),
                             cColour::FromARGB(0xffff5a5a)};

// The radius of a pad's corner for a sprite of this size.
float PadRadius(const cRectF& r) { return std::min(r.Width(), r.Height()) * 0.22f; }
} // namespace

void DrawEditorBackground(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRect(r.x0, r.y0, r.x1, r.y1, kBackground);
}

void DrawPanelFrame(cCanvas& canvas, const cRectF& r)
{
    DrawPanel(canvas, r, 8.0f, kFrameFace, kFrameRim);
    canvas.FillRect(r.x0 + 8.0f, r.y0 + 1.0f, r.x1 - 8.0f, r.y0 + 2.0f, kWhite.WithAlpha(0.08f));
}

void DrawPadOutline(cCanvas& canvas, const cRectF& r)
{
    canvas.StrokeRoundRect(r.x0 + 1.0f, r.y0 + 1.0f, r.x1 - 1.0f, r.y1 - 1.0f, 4.0f, 2.0f, kWhite);
}

void DrawPanelBackground(cCanvas& canvas, const cRectF& r)
{
    DrawPanel(canvas, r, 6.0f, kPanelFace, kPanelRim);
    canvas.FillRect(r.x0 + 6.0f, r.y0 + 1.0f, r.x1 - 6.0f, r.y0 + 2.0f, kWhite.WithAlpha(0.2f));
}

// White art the bus colours: a rim and a faint wash over the panel beneath,
// so dark labels stay readable on it.
void DrawBusPanelBackground(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, 6.0f, kWhite.WithAlpha(0.15f));
    canvas.StrokeRoundRect(r.x0 + 1.5f, r.y0 + 1.5f, r.x1 - 1.5f, r.y1 - 1.5f, 5.0f, 3.0f, kWhite);
}

void DrawPad(cCanvas& canvas, const cRectF& r)
{
    const float radius = PadRadius(r);
    canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, radius, kPadRim);
    canvas.FillRoundRect(r.x0 + 1.5f, r.y0 + 1.5f, r.x1 - 1.5f, r.y1 - 1.5f, radius - 1.5f,
                         cPaint::Vertical(kPadTop, kPadBottom, r.y0, r.y1));
}

void DrawLitPad(cCanvas& canvas, const cRectF& r, int bus)
{
    const float radius = PadRadius(r);
    const cColour glow = kBusGlow[std::clamp(bus, 0, 2)];
    canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, radius, glow.Scaled(0.75f));
    canvas.FillRoundRect(r.x0 + 1.5f, r.y0 + 1.5f, r.x1 - 1.5f, r.y1 - 1.5f, radius - 1.5f,
                         cPaint::Vertical(glow.Lerp(kWhite, 0.55f), glow, r.y0, r.y1));
}

void DrawPadButton(cCanvas& canvas, const cRectF& r, bool pressed)
{
    const cRectF body = r.Inset(1.0f);
    const float radius = std::min(body.Width(), body.Height()) * 0.2f;
    canvas.FillRoundRect(body.x0, body.y0, body.x1, body.y1, radius, kPadRim.Scaled(pressed ? 0.6f : 0.8f));
    const cColour top = pressed ? kPadBottom : kPadTop;
    const cColour bottom = pressed ? kPadBottom.Scaled(0.85f) : kPadBottom;
    canvas.FillRoundRect(body.x0 + 1.5f, body.y0 + 1.5f, body.x1 - 1.5f, body.y1 - 1.5f, radius - 1.5f,
                         cPaint::Vertical(top, bottom, body.y0, body.y1));
}

void DrawLamp(cCanvas& canvas, const cRectF& r)
{
    const float cx = r.CentreX(), cy = r.CentreY(), radius = std::min(r.Width(), r.Height()) * 0.5f;
    canvas.FillCircle(cx, cy, radius, kRecordRed.WithAlpha(0.35f));
    canvas.FillCircle(cx, cy, radius * 0.7f, kRecordRed);
    canvas.FillCircle(cx - radius * 0.2f, cy - radius * 0.2f, radius * 0.25f, kWhite.WithAlpha(0.7f));
}

void DrawLampBack(cCanvas& canvas, const cRectF& r, bool lampsOnLeft, float columnWidth, float pitch)
{
    const float columnX = lampsOnLeft ? r.x0 + columnWidth * 0.5f : r.x1 - columnWidth * 0.5f;
    canvas.FillRoundRect(columnX - columnWidth * 0.5f + 1.0f, r.CentreY() - pitch * 1.5f, columnX + columnWidth * 0.5f - 1.0f,
                         r.CentreY() + pitch * 1.5f, 3.0f, kDisplay);
    for (int row = -1; row <= 1; ++row)
        canvas.FillCircle(columnX, r.CentreY() + float(row) * pitch, 3.0f, cColour::FromARGB(0xff3a2020));
    const cRectF body = lampsOnLeft ? cRectF{r.x0 + columnWidth, r.y0, r.x1, r.y1}
                                    : cRectF{r.x0, r.y0, r.x1 - columnWidth, r.y1};
    const float side = std::min(body.Width(), body.Height());
    DrawPadButton(canvas, {body.CentreX() - side * 0.5f, body.CentreY() - side * 0.5f, body.CentreX() + side * 0.5f,
                           body.CentreY() + side * 0.5f},
                  false);
}

void DrawDirectionPanel(cCanvas& canvas, const cRectF& r)
{
    DrawPanel(canvas, r.Inset(1.0f), 3.0f, kDisplay, kDisplayRim);
}

void DrawArrows(cCanvas& canvas, const cRectF& r, eArrows arrows)
{
    const float cy = r.CentreY(), w = std::max(1.5f, r.Height() * 0.16f), head = r.Height() * 0.4f;
    const cColour colour = kValue;
    auto arrow = [&](float from, float to)
    {
        canvas.FillLine(from, cy, to, cy, w, colour);
        const float back = to > from ? to - head : to + head;
        canvas.FillPolygon({to, cy, back, cy - head, back, cy + head}, colour);
    };
    const float left = r.x0 + 1.0f, right = r.x1 - 1.0f, mid = r.CentreX();
    switch (arrows)
    {
    case eArrows::Forward: arrow(left, right); break;
    case eArrows::Reverse: arrow(right, left); break;
    case eArrows::ForwardReverse:
        arrow(left, mid - 1.0f);
        arrow(right, mid + 1.0f);
        break;
    case eArrows::ReverseForward:
        arrow(mid - 1.0f, left);
        arrow(mid + 1.0f, right);
        break;
    }
}

void DrawRecordMark(cCanvas& canvas, const cRectF& r)
{
    canvas.FillCircle(r.CentreX(), r.CentreY(), std::min(r.Width(), r.Height()) * 0.45f, kRecordRed);
}

void DrawSeparator(cCanvas& canvas, const cRectF& r)
{
    const float y = std::floor(r.CentreY());
    canvas.FillRect(r.x0, y - 1.0f, r.x1, y, kBlack.WithAlpha(0.55f));
    canvas.FillRect(r.x0, y, r.x1, y + 1.0f, kWhite.WithAlpha(0.25f));
}

void DrawConnectorBar(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRect(r.x0, r.y0 + 1.0f, r.x1, r.y1 - 1.0f,
                    cPaint::Vertical(cColour::FromARGB(0xff9a9a9a), cColour::FromARGB(0xff4a4a4a), r.y0, r.y1));
}

void DrawSpinButton(cCanvas& canvas, const cRectF& r, bool up)
{
    DrawPadButton(canvas, r, false);
    const float side = std::min(r.Width(), r.Height()) * 0.3f;
    const cRectF box = {r.CentreX() - side, r.CentreY() - side * 0.6f, r.CentreX() + side, r.CentreY() + side * 0.6f};
    DrawArrow(canvas, box, up ? eDirection::Up : eDirection::Down, kDark);
}

void DrawSpinBox(cCanvas& canvas, const cRectF& r)
{
    DrawPanel(canvas, r.Inset(1.0f), 3.0f, kDisplay, kDisplayRim);
}

void DrawGlyph(cCanvas& canvas, const cRectF& r, eGlyph glyph)
{
    const float s = std::min(r.Width(), r.Height()), h = s * 0.5f;
    const float cx = r.CentreX(), cy = r.CentreY(), w = std::max(1.5f, s * 0.1f);
    switch (glyph)
    {
    case eGlyph::Home:
        canvas.FillPolygon({cx, cy - h * 0.85f, cx + h * 0.85f, cy - h * 0.05f, cx - h * 0.85f, cy - h * 0.05f}, kWhite);
        canvas.FillRect(cx - h * 0.55f, cy - h * 0.1f, cx + h * 0.55f, cy + h * 0.8f, kWhite);
        break;
    case eGlyph::Edit:
        // Three faders at different heights.
        for (int i = -1; i <= 1; ++i)
        {
            const float x = cx + float(i) * h * 0.6f;
            canvas.FillLine(x, cy - h * 0.8f, x, cy + h * 0.8f, w * 0.6f, kWhite);
            const float y = cy + (i == 0 ? -0.4f : i < 0 ? 0.35f : 0.05f) * h;
            canvas.FillRoundRect(x - h * 0.22f, y - h * 0.14f, x + h * 0.22f, y + h * 0.14f, 1.0f, kWhite);
        }
        break;
    case eGlyph::AutoBeat:
        // Repeated notes.
        for (int i = 0; i < 3; ++i)
        {
            const float x = cx + (float(i) - 1.0f) * h * 0.6f;
            canvas.FillCircle(x - h * 0.08f, cy + h * 0.45f, h * 0.2f, kWhite);
            canvas.FillLine(x + h * 0.1f, cy + h * 0.45f, x + h * 0.1f, cy - h * 0.55f, w * 0.6f, kWhite);
        }
        canvas.FillLine(cx - h * 0.5f, cy - h * 0.55f, cx + h * 0.7f, cy - h * 0.55f, w, kWhite);
        break;
    case eGlyph::Outputs:
        // Three level bars.
        for (int i = 0; i < 3; ++i)
        {
            const float x = cx + (float(i) - 1.0f) * h * 0.6f;
            const float top = cy + h * (0.8f - 0.55f * float(i + 1));
            canvas.FillRect(x - h * 0.18f, top, x + h * 0.18f, cy + h * 0.8f, kWhite);
        }
        break;
    case eGlyph::Mute:
    case eGlyph::MuteMode:
    {
        // A speaker, crossed out.
        canvas.FillRect(cx - h * 0.8f, cy - h * 0.3f, cx - h * 0.4f, cy + h * 0.3f, kWhite);
        canvas.FillPolygon({cx - h * 0.45f, cy - h * 0.3f, cx + h * 0.1f, cy - h * 0.8f, cx + h * 0.1f, cy + h * 0.8f,
                            cx - h * 0.45f, cy + h * 0.3f},
                           kWhite);
        canvas.FillLine(cx + h * 0.35f, cy - h * 0.35f, cx + h * 0.85f, cy + h * 0.35f, w, kWhite);
        canvas.FillLine(cx + h * 0.35f, cy + h * 0.35f, cx + h * 0.85f, cy - h * 0.35f, w, kWhite);
        break;
    }
    }
}
}
