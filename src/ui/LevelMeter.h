#pragma once

#include <cstdint>

#include "base/Math.h"

class cDrawList;
struct cAtlasSprite;

// Bar flags; the stereo meter's flag word holds them too.
enum eMeterFlags : uint32_t
{
    kMeterVertical = 0x1,
    // The part beyond the level is lit, from the far end; no peak marker.
    kMeterInverted = 0x2,
    kMeterPeakHold = 0x4,
    // The whole bar is drawn unlit first.
    kMeterBackground = 0x8,
    // The stereo meter's clip LEDs.
    kMeterClipLEDs = 0x10,
};

// Decibels of a linear gain from the float's exponent and mantissa, with
// log2 taken linearly between powers of two: exact at powers of two, and
// -90 dB at or below 10^-4.5.
float FastGainToDecibels(float gain);

// One meter bar: a segment strip of the colour atlas cut to a whole number
// of segments, lit up to a level between 0 and 1, optionally holding its
// peak for a second. Not a widget: the owner places it from its layout and
// draws it from its draw. Main thread only.
class cMeterBar
{
public:
    void Init(const cAtlasSprite* strip, int32_t pitch, uint32_t barFlags);
    void SetPlace(float left, float top, float barLength);
    // Cuts the length to the strip and to whole segments, and sets the
    // rectangle's far corner and the strip's texture span.
    void UpdateGeometry();
    // A bar without a whole segment draws nothing.
    void Draw(cDrawList& list, uint32_t litColour, uint32_t unlitColour, float level);
    // One segment ending at the peak level, moved across the axis.
    void DrawPeak(cDrawList& list, uint32_t colour, float offset, float peakLevel);

    const cAtlasSprite* sprite = nullptr;
    float textureStart[2] = {0.0f, 0.0f};
    float textureEnd[2] = {0.0f, 0.0f};
    float length = 0.0f;
    int32_t segmentCount = 0;
    int32_t segmentPitch = 1;
    float texturePerSegment = 0.0f;
    float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
    float peak = 0.0f;
    float peakTime = 0.0f;
    uint32_t flags = kMeterVertical | kMeterPeakHold;
};

// A stereo meter of two bars side by side over a decibel range, with an
// optional nine-patch background and two clip LEDs in a housing above it.
class cLevelMeter
{
public:
    static constexpr float kDefaultFloor = -26.0f;

    cLevelMeter();

    // False (nothing changed) unless top lies above the floor.
    bool SetRange(float floorDecibels, float topDecibels);
    void SetBackground(const cAtlasSprite* background, float marginX, float marginY);
    void SetClipLEDs(const cAtlasSprite* housing, const cAtlasSprite* leftMarker, const cAtlasSprite* rightMarker,
                     const cAtlasSprite* led, float offset);
    void SetRect(const cRect& rect);
    // Gains are linear (1 is 0 dB); alpha 0..255 fades the whole meter.
    void Draw(float leftGain, float rightGain, cDrawList& list, bool leftClip, bool rightClip, int32_t alpha);
    // The bar level of a gain in the meter's range.
    float LevelOfGain(float gain) const;

    const cAtlasSprite* backgroundSprite = nullptr;
    uint32_t flags = kMeterVertical | kMeterPeakHold;
    float scale = 1.0f / 26.0f;
    float floor = kDefaultFloor;
    float insetX = 0.0f, insetY = 0.0f;
    cRect rect = {0.0f, 0.0f, 0.0f, 0.0f};
    const cAtlasSprite* housingSprite = nullptr;
    const cAtlasSprite* ledMarkers[2] = {nullptr, nullptr};
    const cAtlasSprite* ledSprite = nullptr;
    float ledOffset = 0.0f;
    cRect housingRect = {0.0f, 0.0f, 0.0f, 0.0f};
    cRect ledRects[2] = {{0.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f}};
    cMeterBar bars[2];
};
