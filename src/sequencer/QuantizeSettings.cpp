#include "sequencer/QuantizeSettings.h"

#include <cmath>

#include "audio/Transport.h"
#include "base/GenString.h"

cQuantizeSettings gRecordQuantizeSettings;
cQuantizeGrid gRecordQuantizeGrid;
cQuantizeSettings gGridQuantizeSettings;
cQuantizeGrid gGridQuantizeGrid;

namespace
{
struct cInterval
{
    const char* text;
    float ticks;
};

constexpr cInterval kIntervals[cQuantizeSettings::kIntervalCount] = {
    {"OFF", 0.0f}, {"1/1", 1024.0f}, {"1/2", 512.0f}, {"1/4", 256.0f},
    {"1/8", 128.0f}, {"1/16", 64.0f}, {"1/32", 32.0f}, {"1/64", 16.0f},
};

constexpr float kTypeFactors[cQuantizeSettings::kTypeCount] = {1.0f, 1.5f, 0.6666667f};
constexpr const char* kTypeSuffixes[cQuantizeSettings::kTypeCount] = {"", "D", "T"};
constexpr float kFullSwing = 0.33333334f; // of the interval, at swing 1
constexpr float kExact = 0.000001f;

// Indexes from a file are not trusted: an unknown interval is "OFF", an
// unknown type straight.
int32_t IntervalIndex(const cQuantizeSettings& settings)
{
    const int32_t i = settings.interval;
    return i >= 0 && i < cQuantizeSettings::kIntervalCount ? i : cQuantizeSettings::kIntervalOff;
}

int32_t TypeIndex(const cQuantizeSettings& settings)
{
    const int32_t t = settings.type;
    return t >= 0 && t < cQuantizeSettings::kTypeCount ? t : cQuantizeSettings::kStraight;
}

// Ticks in n bars, 0 when there is no such span.
float SpanOfBars(int32_t bars) { return bars < 1 ? 0.0f : static_cast<float>(bars) * gTransport.ticksPerBarFloat.load(); }
} // namespace

void cQuantizeGrid::Apply(const cQuantizeSettings& settings)
{
    const float ticks = kIntervals[IntervalIndex(settings)].ticks;
    const int32_t type = TypeIndex(settings);
    on = settings.on;
    interval = kTypeFactors[type] * ticks;
    swingOffset = type == cQuantizeSettings::kStraight && settings.swing > 0.0f ? ticks * kFullSwing * settings.swing : 0.0f;
}

float cQuantizeGrid::WithSwing(float line) const
{
    const int64_t index = static_cast<int64_t>(line / interval);
    return (index & 1) ? line + swingOffset : line;
}

float cQuantizeGrid::Snap(float time) const
{
    if (!IsActive())
        return time;
    const float r = std::fmod(time, interval);
    return WithSwing(r < interval * 0.5f ? time - r : time + interval - r);
}

float cQuantizeGrid::Floor(float time) const
{
    if (!IsActive())
        return time;
    return WithSwing(time - std::fmod(time, interval));
}

float cQuantizeGrid::Ceil(float time, bool includeExact) const
{
    if (!IsActive())
        return time;
    const float r = std::fmod(time, interval);
    if (!includeExact && std::fabs(r) < kExact)
        return time;
    return WithSwing(interval + time - r);
}

void ApplyRecordQuantize(const cQuantizeSettings& settings)
{
    gRecordQuantizeSettings = settings;
    gRecordQuantizeGrid.Apply(settings);
}

void SetGridQuantizeSettings(const cQuantizeSettings& settings)
{
    gGridQuantizeSettings = settings;
    gGridQuantizeGrid.Apply(settings);
}

void QuantizeSettingsToText(cGenString& text, const cQuantizeSettings& settings, bool withSwing)
{
    const int32_t interval = IntervalIndex(settings);
    text.AssignCStr(kIntervals[interval].text);
    if (interval == cQuantizeSettings::kIntervalOff)
        return;
    const int32_t type = TypeIndex(settings);
    text.AppendCString(kTypeSuffixes[type]);
    if (type != cQuantizeSettings::kStraight || !(settings.swing > kExact))
        return;
    text.AppendCString("S");
    if (!withSwing)
        return;
    cGenStringFixed<32> swing;
    swing.Printf(", %.0f%% swing", double(settings.swing * 100.0f));
    text.Append(swing);
}

void FormatSongPosition(cGenString& text, int32_t ticks, float tempo)
{
    const int32_t beatsPerBar = gTransport.beatsPerBar.load();
    const int32_t beat = cTransport::kTicksPerBeat;
    if (ticks < 0)
    {
        const int32_t before = -((ticks + 1) / beat);
        const int32_t bar = before / beatsPerBar + 1;
        text.Printf("-%02d:%02d", int(bar), int(bar * beatsPerBar - before));
    }
    else if (tempo > 0.0f)
    {
        const int32_t seconds = static_cast<int32_t>(static_cast<float>(ticks) * 0.234375f / tempo + 0.5f);
        text.Printf("%02d:%02ds", int(seconds / 60), int(seconds % 60));
    }
    else
        text.Printf("%03d:%02d", int(ticks / beat / beatsPerBar + 1), int(ticks / beat % beatsPerBar + 1));
}

int32_t RoundToBarLine(int32_t ticks)
{
    const int32_t bar = gTransport.ticksPerBar.load();
    return (ticks + bar / 4) / bar * bar;
}

float RoundToBars(float ticks, int32_t bars)
{
    const float span = SpanOfBars(bars);
    if (span == 0.0f)
        return ticks;
    const float r = std::fmod(ticks, span);
    return r < span * 0.5f ? ticks - r : ticks + span - r;
}

float FloorToBars(float ticks, int32_t bars)
{
    const float span = SpanOfBars(bars);
    return span == 0.0f ? ticks : ticks - std::fmod(ticks, span);
}

float CeilToBars(float ticks, int32_t bars, bool includeExact)
{
    const float span = SpanOfBars(bars);
    if (span == 0.0f)
        return ticks;
    const float r = std::fmod(ticks, span);
    if (!includeExact && std::fabs(r) < kExact)
        return ticks;
    return ticks + span - r;
}
