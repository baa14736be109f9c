#include "ui/LevelMeter.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "platform/FrameTiming.h"
#include "render/AtlasProfiles.h"
#include "render/AtlasSprite.h"
#include "render/DrawList.h"
#include "ui/HouseColours.h"

namespace
{
constexpr int kDefaultStrip = 458;
constexpr int32_t kDefaultPitch = 2;
// 10^-4.5: quieter gains read as silence.
constexpr float kSilentGain = 3.1622763e-5f;
constexpr float kSilenceDecibels = -90.0f;
// 20 log10(2): decibels per octave of gain.
constexpr float kDecibelsPerOctave = 6.0206f;
constexpr float kPeakHoldSeconds = 1.0f;

float RoundAway(float value) { return std::round(value); }

void Quad(cDrawList& list, const cRect& rect, float s0, float t0, float s1, float t1, uint32_t colour)
{
    list.DrawQuad(rect, {s0, t0}, {s1, t1}, colour, 0);
}

// The sprite's own size centred on the point, on whole pixels.
cRect CentredOn(float cx, float cy, float width, float height)
{
    const float x0 = std::floor(cx - width / 2.0f + 0.5f), y0 = std::floor(cy - height / 2.0f + 0.5f);
    return {x0, y0, std::floor(x0 + width + 0.5f), std::floor(y0 + height + 0.5f)};
}
} // namespace

float FastGainToDecibels(float gain)
{
    if (!(gain > kSilentGain))
        return kSilenceDecibels;
    const uint32_t bits = std::bit_cast<uint32_t>(gain);
    const int32_t exponent = int32_t((bits >> 23) & 0xff);
    const float mantissa = std::bit_cast<float>((bits & 0x007fffffu) | 0x3f800000u);
    return (float(exponent - 128) + mantissa) * kDecibelsPerOctave;
}

void cMeterBar::Init(const cAtlasSprite* strip, int32_t pitch, uint32_t barFlags)
{
    sprite = strip;
    segmentPitch = pitch;
    flags = barFlags;
    UpdateGeometry();
}

void cMeterBar::SetPlace(float left, float top, float barLength)
{
    x0 = left;
    y0 = top;
    length = barLength;
    UpdateGeometry();
}

void cMeterBar::UpdateGeometry()
{
    if (!sprite || segmentPitch <= 0)
        return;
    const cAtlasSprite& s = *sprite;
    const bool vertical = (flags & kMeterVertical) != 0;
    const float longest = vertical ? s.height : s.width;
    if (length > longest)
        length = longest;
    segmentCount = int32_t(length / float(segmentPitch));
    length = float(segmentCount * segmentPitch);
    textureStart[0] = s.u0;
    textureStart[1] = s.v0;
    if (vertical)
    {
        texturePerSegment = (s.v1 - s.v0) * float(segmentPitch) / s.height;
        x1 = x0 + s.width;
        y1 = y0 + length;
        textureEnd[0] = s.u1;
        textureEnd[1] = s.v0 + (s.v1 - s.v0) * length / s.height;
    }
    else
    {
        texturePerSegment = (s.u1 - s.u0) * float(segmentPitch) / s.width;
        x1 = x0 + length;
        y1 = y0 + s.height;
        textureEnd[0] = s.u0 + (s.u1 - s.u0) * length / s.width;
        textureEnd[1] = s.v1;
    }
}

void cMeterBar::Draw(cDrawList& list, uint32_t litColour, uint32_t unlitColour, float level)
{
    if (!sprite || segmentCount <= 0)
        return;
    const float s0 = textureStart[0], t0 = textureStart[1], s1 = textureEnd[0], t1 = textureEnd[1];
    if (flags & kMeterBackground)
        Quad(list, {x0, y0, x1, y1}, s0, t0, s1, t1, unlitColour);

    // The lit part always ends on a segment boundary.
    const float count = float(segmentCount);
    const float q = std::fmin(std::fmax(std::trunc(count * level + 0.5f) / count, 0.0f), 1.0f);
    if (flags & kMeterPeakHold)
    {
        peakTime -= gFramePeriod;
        if (q > peak || peakTime <= 0.0f)
        {
            peak = q;
            peakTime = kPeakHoldSeconds;
        }
    }
    const bool vertical = (flags & kMeterVertical) != 0, inverted = (flags & kMeterInverted) != 0;
    const float L = length;
    if (vertical && !inverted)
        Quad(list, {x0, y0 + (1.0f - q) * L, x1, y1}, s0, t1 - (t1 - t0) * q, s1, t1, litColour);
    else if (vertical)
        Quad(list, {x0, y0, x1, y1 - q * L}, s0, t0, s1, t1 - (t1 - t0) * q, litColour);
    else if (!inverted)
        Quad(list, {x0, y0, x0 + q * L, y1}, s0, t0, s0 + (s1 - s0) * q, t1, litColour);
    else
        Quad(list, {x0 + q * L, y0, x1, y1}, s0 + (s1 - s0) * q, t0, s1, t1, litColour);
    if (!inverted && (flags & kMeterPeakHold) && peak > q)
        DrawPeak(list, litColour, 0.0f, peak);
}

void cMeterBar::DrawPeak(cDrawList& list, uint32_t colour, float offset, float peakLevel)
{
    const float s0 = textureStart[0], t0 = textureStart[1], s1 = textureEnd[0], t1 = textureEnd[1];
    const float pitch = float(segmentPitch);
    if (flags & kMeterVertical)
    {
        const float y = y1 - peakLevel * length;
        const float t = t1 - (t1 - t0) * peakLevel;
        Quad(list, {x0 + offset, y, x1 + offset, y + pitch}, s0, t, s1, t + texturePerSegment, colour);
        return;
    }
    const float x = x0 + peakLevel * length;
    const float s = s0 + (s1 - s0) * peakLevel;
    Quad(list, {x - pitch, y0 + offset, x, y1 + offset}, s - texturePerSegment, t0, s, t1, colour);
}

cLevelMeter::cLevelMeter()
{
    for (cMeterBar& bar : bars)
        bar.Init(&gTex8888AtlasTable[kDefaultStrip], kDefaultPitch, flags);
}

bool cLevelMeter::SetRange(float floorDecibels, float topDecibels)
{
    // A range of no height would divide by zero.
    if (!(topDecibels > floorDecibels))
        return false;
    floor = floorDecibels;
    scale = 1.0f / (topDecibels - floorDecibels);
    return true;
}

void cLevelMeter::SetBackground(const cAtlasSprite* background, float marginX, float marginY)
{
    backgroundSprite = background;
    insetX = marginX;
    insetY = marginY;
}

void cLevelMeter::SetClipLEDs(const cAtlasSprite* housing, const cAtlasSprite* leftMarker,
                              const cAtlasSprite* rightMarker, const cAtlasSprite* led, float offset)
{
    housingSprite = housing;
    ledMarkers[0] = leftMarker;
    ledMarkers[1] = rightMarker;
    ledSprite = led;
    ledOffset = offset;
}

void cLevelMeter::SetRect(const cRect& meterRect)
{
    rect = meterRect;
    const float step = RoundAway(rect.xMax - rect.xMin - 2.0f * insetX) * 0.5f;
    const float barLength = RoundAway(rect.yMax - rect.yMin - 2.0f * insetY);
    for (int i = 0; i < 2; ++i)
        bars[i].SetPlace(rect.xMin + insetX + float(i) * step, rect.yMin + insetY, barLength);
    if (!housingSprite)
        return;
    const cAtlasSprite& housing = *housingSprite;
    housingRect = {rect.xMin, rect.yMin - housing.height + ledOffset, rect.xMin + housing.width,
                   rect.yMin + ledOffset};
    if (!ledSprite)
        return;
    for (int i = 0; i < 2; ++i)
    {
        if (!ledMarkers[i])
            continue;
        const float cx = ledMarkers[i]->centreX - housing.x0 + housingRect.xMin;
        const float cy = ledMarkers[i]->centreY - housing.y0 + housingRect.yMin;
        ledRects[i] = CentredOn(cx, cy, ledSprite->width, ledSprite->height);
    }
}

float cLevelMeter::LevelOfGain(float gain) const { return (FastGainToDecibels(gain) - floor) * scale; }

void cLevelMeter::Draw(float leftGain, float rightGain, cDrawList& list, bool leftClip, bool rightClip,
                       int32_t alpha)
{
    const uint32_t a = uint32_t(std::clamp(alpha, 0, 255)) << 24;
    const uint32_t white = a | 0x00ffffffu;
    if (backgroundSprite)
        list.DrawNinePatch(rect, backgroundSprite, nullptr, white, true);
    const uint32_t lit = a | (HouseColour::kValue & 0x00ffffffu);
    const uint32_t unlit = a | (HouseColour::kUnlitSegment & 0x00ffffffu);
    bars[0].Draw(list, lit, unlit, LevelOfGain(leftGain));
    bars[1].Draw(list, lit, unlit, LevelOfGain(rightGain));
    if (!(flags & kMeterClipLEDs) || !housingSprite)
        return;
    const cAtlasSprite& housing = *housingSprite;
    Quad(list, housingRect, housing.u0, housing.v0, housing.u1, housing.v1, white);
    if (!ledSprite)
        return;
    const bool clips[2] = {leftClip, rightClip};
    for (int i = 0; i < 2; ++i)
        if (clips[i] && ledMarkers[i])
            Quad(list, ledRects[i], ledSprite->u0, ledSprite->v0, ledSprite->u1, ledSprite->v1, white);
}
