#include "MixingDeskArt.h"

#include <algorithm>

using namespace HouseStyle;

namespace MixingDeskArt
{
namespace
{
const cColour kDesk = cColour::FromARGB(0xff2a2d31);
const cColour kDeskRim = cColour::FromARGB(0xff4a4f56);
const cColour kMaster = cColour::FromARGB(0xff23344a);
const cColour kSlot = cColour::FromARGB(0xff0a0a0a);
const cColour kCap = cColour::FromARGB(0xffb8bcc2);
const cColour kCapLine = cColour::FromARGB(0xff202020);
const cColour kDim = cColour::FromARGB(0xff6a6a6a);
const cColour kStripLight = cColour::FromARGB(0xffb4b8be);
const cColour kStripShade = cColour::FromARGB(0xff8c9096);

float Stroke(const cRectF& r) { return std::max(1.5f, std::min(r.Width(), r.Height()) * 0.12f); }
} // namespace

void DrawCheek(cCanvas& canvas, const cRectF& r) { DrawPanel(canvas, r, r.Width() * 0.2f, kDarker, kDeskRim); }

void DrawStrip(cCanvas& canvas, const cRectF& r) { DrawPanel(canvas, r, 3.0f, kDesk, kDeskRim); }

void DrawMasterStrip(cCanvas& canvas, const cRectF& r) { DrawPanel(canvas, r, 3.0f, kMaster, kLit); }

void DrawFxState(cCanvas& canvas, const cRectF& r, int state)
{
    const cRectF box = r.Inset(r.Width() * 0.12f);
    const float radius = box.Width() * 0.25f;
    if (state == 0)
    {
        canvas.StrokeRoundRect(box.x0, box.y0, box.x1, box.y1, radius, Stroke(r) * 0.6f, kDim);
        return;
    }
    canvas.FillRoundRect(box.x0, box.y0, box.x1, box.y1, radius, state == 2 ? kValue : kDim);
    const float s = Stroke(r) * 0.7f, x = box.x0 + box.Width() * 0.3f, y0 = box.y0 + box.Height() * 0.25f,
                y1 = box.y1 - box.Height() * 0.25f;
    canvas.FillLine(x, y0, x, y1, s, kBlack);
    canvas.FillLine(x, y0, x + box.Width() * 0.4f, y0, s, kBlack);
    canvas.FillLine(x, box.CentreY(), x + box.Width() * 0.3f, box.CentreY(), s, kBlack);
}

void DrawMute(cCanvas& canvas, const cRectF& r)
{
    const cRectF box = r.Inset(1.0f);
    canvas.StrokeRoundRect(box.x0, box.y0, box.x1, box.y1, 3.0f, 1.5f, kWhite);
    const float s = Stroke(r) * 0.8f, h = box.Height() * 0.3f, w = box.Height() * 0.3f;
    const float cx = box.CentreX(), top = box.CentreY() - h, bottom = box.CentreY() + h;
    canvas.FillLine(cx - w, bottom, cx - w, top, s, kWhite);
    canvas.FillLine(cx - w, top, cx, box.CentreY(), s, kWhite);
    canvas.FillLine(cx, box.CentreY(), cx + w, top, s, kWhite);
    canvas.FillLine(cx + w, top, cx + w, bottom, s, kWhite);
}

void DrawSolo(cCanvas& canvas, const cRectF& r)
{
    const cRectF box = r.Inset(1.0f);
    canvas.StrokeRoundRect(box.x0, box.y0, box.x1, box.y1, 3.0f, 1.5f, kWhite);
    const float s = Stroke(r) * 0.8f, h = box.Height() * 0.3f, w = box.Height() * 0.25f;
    const float cx = box.CentreX(), cy = box.CentreY();
    const float xy[] = {cx + w, cy - h, cx - w, cy - h, cx - w, cy, cx + w, cy, cx + w, cy + h, cx - w, cy + h};
    for (int i = 0; i + 3 < 12; i += 2)
        canvas.FillLine(xy[i], xy[i + 1], xy[i + 2], xy[i + 3], s, kWhite);
}

void DrawFaderTrack(cCanvas& canvas, const cRectF& r)
{
    const float cx = r.CentreX(), slot = std::max(2.0f, r.Width() * 0.25f);
    canvas.FillRoundRect(cx - slot, r.y0 + 2.0f, cx + slot, r.y1 - 2.0f, slot, kSlot);
    for (int i = 0; i <= 10; ++i)
    {
        const float y = r.y0 + 6.0f + (r.Height() - 12.0f) * float(i) / 10.0f;
        canvas.FillLine(r.x0, y, cx - slot - 1.0f, y, 1.0f, kDim);
    }
}

void DrawFaderThumb(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRoundRect(r.x0 + 1.0f, r.y0 + 1.0f, r.x1 - 1.0f, r.y1 - 1.0f, 3.0f,
                         cPaint::Vertical(kCap, kDim, r.y0, r.y1));
    canvas.FillLine(r.x0 + 3.0f, r.CentreY(), r.x1 - 3.0f, r.CentreY(), 2.0f, kCapLine);
}

void DrawFaderGlow(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cPaint::Vertical(kWhite.WithAlpha(0.0f), kWhite, r.y0, r.CentreY()));
    canvas.FillRect(r.x0, r.CentreY(), r.x1, r.y1, cPaint::Vertical(kWhite, kWhite.WithAlpha(0.0f), r.CentreY(), r.y1));
}

// A light face, so the slot's dark label reads; lit, a house-blue rim.
void DrawSlotButton(cCanvas& canvas, const cRectF& r, bool lit)
{
    const cRectF face = r.Inset(1.0f);
    const float radius = r.Height() * 0.18f;
    canvas.FillRoundRect(face.x0, face.y0, face.x1, face.y1, radius,
                         cPaint::Vertical(kCap, kStripShade, face.y0, face.y1));
    canvas.StrokeRoundRect(face.x0, face.y0, face.x1, face.y1, radius, lit ? 2.0f : 1.0f, lit ? kLit : kCapLine);
}

void DrawConnector(cCanvas& canvas, const cRectF& r) { DrawArrow(canvas, r, eDirection::Right, kLabel); }

void DrawInsertMarker(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, r.Width() * 0.5f, kValue);
}

void DrawEmptySlot(cCanvas& canvas, const cRectF& r)
{
    const cRectF box = r.Inset(2.0f);
    const int dashes = 5;
    const float s = 1.5f, step = box.Width() / float(dashes * 2 - 1);
    for (int i = 0; i < dashes; ++i)
    {
        const float a = box.x0 + float(i * 2) * step, b = a + step;
        canvas.FillLine(a, box.y0, b, box.y0, s, kWhite);
        canvas.FillLine(a, box.y1, b, box.y1, s, kWhite);
        const float c = box.y0 + float(i * 2) * step, d = c + step;
        canvas.FillLine(box.x0, c, box.x0, d, s, kWhite);
        canvas.FillLine(box.x1, c, box.x1, d, s, kWhite);
    }
    const float arm = box.Width() * 0.22f;
    canvas.FillLine(box.CentreX() - arm, box.CentreY(), box.CentreX() + arm, box.CentreY(), 2.5f, kWhite);
    canvas.FillLine(box.CentreX(), box.CentreY() - arm, box.CentreX(), box.CentreY() + arm, 2.5f, kWhite);
}

// Light, so that the dark labels of IN and OUT read on it.
void DrawNodeStrip(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRect(r.x0, r.y0, r.x1, r.y1, cPaint::Vertical(kStripLight, kStripShade, r.y0, r.y1));
}

void DrawHighlight(cCanvas& canvas, const cRectF& r)
{
    canvas.FillRoundRect(r.x0, r.y0, r.x1, r.y1, 3.0f, kLit.WithAlpha(0.8f));
}

void DrawNoneIcon(cCanvas& canvas, const cRectF& r)
{
    const float radius = std::min(r.Width(), r.Height()) * 0.38f, s = Stroke(r) * 0.8f;
    canvas.StrokeCircle(r.CentreX(), r.CentreY(), radius, s, kLabel);
    const float d = radius * 0.7f;
    canvas.FillLine(r.CentreX() - d, r.CentreY() + d, r.CentreX() + d, r.CentreY() - d, s, kLabel);
}
} // namespace MixingDeskArt
