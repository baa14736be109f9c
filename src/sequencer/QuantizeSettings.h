#pragma once
#include <cstdint>

class cGenString;

// A quantize choice as the user makes it.
struct cQuantizeSettings
{
    enum : int32_t
    {
        kIntervalOff = 0,
        kInterval16th = 5,
        kIntervalCount = 8,
    };
    enum : int32_t
    {
        kStraight = 0,
        kDotted = 1,
        kTriplet = 2,
        kTypeCount = 3,
    };

    int32_t on = 1; // not stored in the song file
    int32_t interval = kInterval16th; // index: "OFF", "1/1" .. "1/64"
    int32_t type = kStraight;
    float swing = 0.0f; // 0..1, straight grids only
};

// The grid a settings record gives, in ticks.
struct cQuantizeGrid
{
    int32_t on = 0;
    float interval = 0.0f;
    float swingOffset = 0.0f; // added to every odd line

    // interval = type factor x the interval's ticks; a straight grid with
    // swing moves its odd lines by up to a third of the interval.
    void Apply(const cQuantizeSettings& settings);
    // Each returns the time unchanged while the grid is off or has no interval.
    float Snap(float time) const;                      // nearest line, half-way going up
    float Floor(float time) const;                     // the line at or before
    float Ceil(float time, bool includeExact) const;   // the line after (or at, when exact and includeExact)

    bool IsActive() const { return on != 0 && interval != 0.0f; }
    // A line with the swing added when its index is odd.
    float WithSwing(float line) const;
};

// One pair for recording and one for the editors' grid; both are {on, "1/16",
// straight, no swing} after the sequencer is built and for a new song.
extern cQuantizeSettings gRecordQuantizeSettings;
extern cQuantizeGrid gRecordQuantizeGrid;
extern cQuantizeSettings gGridQuantizeSettings;
extern cQuantizeGrid gGridQuantizeGrid;

// Store the settings and derive their grid; the status bar and the editors call them.
void ApplyRecordQuantize(const cQuantizeSettings& settings);
void SetGridQuantizeSettings(const cQuantizeSettings& settings);

// "1/16", "1/8T", "1/16S" (with withSwing: "1/16S, 55% swing"), "OFF".
void QuantizeSettingsToText(cGenString& text, const cQuantizeSettings& settings, bool withSwing);
// A count-in as "-01:04" (bars and beats before the start); with a tempo,
// minutes and seconds "00:02s"; otherwise bar and beat "002:01".
void FormatSongPosition(cGenString& text, int32_t ticks, float tempo);

// Bar rounding in ticks per bar: the nearest bar line looking a quarter bar
// ahead; and for n bars the nearest multiple, the one at or before, and the
// one after (the time itself when exact and includeExact is false). Fewer
// than one bar leaves the time as it is.
int32_t RoundToBarLine(int32_t ticks);
float RoundToBars(float ticks, int32_t bars);
float FloorToBars(float ticks, int32_t bars);
float CeilToBars(float ticks, int32_t bars, bool includeExact);
