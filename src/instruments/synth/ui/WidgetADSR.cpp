#include "instruments/synth/ui/WidgetADSR.h"

#include <cmath>

#include "instruments/synth/ui/AnalogueSynthSprites.h"
#include "render/DrawList.h"
#include "render/Polyline.h"

namespace
{
constexpr int32_t kFrameAlignment = 51;
constexpr uint32_t kBandColour = 0x40ceb800u;
constexpr float kLineWidth = 2.0f;
} // namespace

cWidgetADSR::cWidgetADSR()
{
    mFrame.SetSprites(SynthSprite(kSynthEnvelopeFrame), SynthSprite(kSynthEnvelopeFrame),
                      SynthSprite(kSynthEnvelopeFrameInner));
    mFrame.alignment = kFrameAlignment;
}

void cWidgetADSR::SetEnvelope(float amount, float attack, float decay, float sustain, float release, bool invert)
{
    mAmount = amount;
    mAttack = attack;
    mDecay = decay;
    mSustain = sustain;
    mRelease = release;
    mInvert = invert;
    ModifyFlags(kWidgetStateDirty, 0, false);
}

void cWidgetADSR::GetSizePreferences(cVector2* minimum, cVector2* preferred) { mFrame.GetSize(*minimum, *preferred); }

void cWidgetADSR::OnLayout()
{
    mFrame.Layout(GetRect(), {0.0f, 0.0f});
    RebuildPoints();
}

void cWidgetADSR::OnStateChange() { RebuildPoints(); }

void cWidgetADSR::RebuildPoints()
{
    const cAtlasSprite* frame = SynthSprite(kSynthEnvelopeFrame);
    const cAtlasSprite* graph = SynthSprite(kSynthEnvelopeGraphArea);
    const cRect& laidOut = mFrame.layoutRect;
    mGraphRect = {laidOut.xMin + (graph->x0 - frame->x0), laidOut.yMin + (graph->y0 - frame->y0),
                  laidOut.xMax + (graph->x1 - frame->x1), laidOut.yMax + (graph->y1 - frame->y1)};
    const float x0 = mGraphRect.xMin;
    const float x1 = mGraphRect.xMax;
    const float unit = (x1 - x0) / (mAttack + mDecay + 1.0f + mRelease);
    float base = mGraphRect.yMax;
    float peak = mGraphRect.yMax + (mGraphRect.yMin - mGraphRect.yMax) * mAmount;
    if (mInvert)
        std::swap(base, peak);
    // Every point one pixel above its level.
    const auto level = [&](float fraction) { return base + (peak - base) * fraction - 1.0f; };
    const cVector2 shape[5] = {{x0, level(0.0f)},
                               {x0 + mAttack * unit, level(1.0f)},
                               {x0 + (mAttack + mDecay) * unit, level(mSustain)},
                               {x0 + (mAttack + mDecay + 1.0f) * unit, level(mSustain)},
                               {x1, level(0.0f)}};
    mPoints[0] = shape[0];
    mPointCount = 1;
    for (int32_t index = 1; index < 5; ++index)
    {
        const cVector2& last = mPoints[mPointCount - 1];
        if (std::fabs(shape[index].X - last.X) > 1.0f || std::fabs(shape[index].Y - last.Y) > 1.0f)
            mPoints[mPointCount++] = shape[index];
    }
}

bool cWidgetADSR::Draw(cDrawList& list)
{
    mFrame.Draw(GetRect(), list, false);
    list.DrawFilledCurveClipped(mPoints, mPointCount, mGraphRect, SynthSprite(kSynthLine), kBandColour);
    // Batched shapes take the material current when they are flushed.
    list.FlushVertexBatch();
    {
        cScopedMaterial plain(list, list.GetUntexturedAlphaMaterial());
        DrawPolylineAA(list, mPoints, mPointCount, SynthColour::kCyan, kLineWidth, cPolylineOptions());
        list.FlushVertexBatch();
    }
    return false;
}
