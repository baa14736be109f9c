#include "audio/LFO.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

#include "audio/SafeValues.h"
#include "audio/SectionVersion.h"
#include "audio/Transport.h"
#include "base/Clock.h"
#include "base/FastMath.h"
#include "base/File.h"
#include "base/Random.h"
#include "base/Serialise.h"

namespace
{
using Base::cEnumEntry;
using Base::cEnumTable;

const cEnumEntry kShapeEntries[] = {{0, "Sine"},     {1, "Square"},  {2, "Saw Up"}, {3, "Saw Dn"},
                                    {4, "Triangle"}, {5, "RndStep"}, {6, "RndRamp"}};
const cEnumEntry kBeatRateEntries[] = {{0, "1/16"}, {1, "1/12"}, {2, "1/8"}, {3, "1/6"}, {4, "1/4"},
                                       {5, "1/3"},  {6, "1/2"},  {7, "1"},   {8, "2"}};
const cEnumEntry kSyncEntries[] = {{0, "Off"}, {1, "Key"}, {2, "Beat"}};
const cEnumTable kShapeTable = {kShapeEntries, 7};
const cEnumTable kBeatRateTable = {kBeatRateEntries, 9};
const cEnumTable kSyncTable = {kSyncEntries, 3};

// Cycles per bar of each beat rate.
constexpr float kCyclesPerBar[cLFOParams::kBeatRateCount] = {16.0f, 12.0f, 8.0f, 6.0f, 4.0f, 3.0f, 2.0f, 1.0f, 0.5f};
// Version 1 offered "1/16", "1/8", "1/4", "1/2", "1", "2".
constexpr int32_t kVersion1BeatRates[6] = {0, 2, 4, 6, 7, 8};

constexpr float kMaxRateHz = 20.0f;
constexpr float kMaxDelaySeconds = 25.0f;
constexpr float kMinRate = 1e-6f;
constexpr float kTwoPi = 6.28318531f;
constexpr float kUnitScale = 1.0f / 1073741824.0f; // 2^-30

// The random shapes' own generator, with the program's constants: the main
// thread's RandomInt advances the shared one, and the two must not race.
cRandom sAudioRandom;

float Draw()
{
    return float(sAudioRandom.Step()) * kUnitScale;
}

// Positions this far out have no fraction left in a float.
constexpr float kWholeCyclesOnly = 16777216.0f; // 2^24

float Fraction(float x)
{
    if (!(std::fabs(x) < kWholeCyclesOnly))
        return 0.0f;
    float whole = float(int32_t(x));
    whole -= whole > x ? 1.0f : 0.0f;
    const float f = x - whole;
    // A tiny negative x rounds up to a whole cycle.
    return f < 1.0f ? f : 0.0f;
}
} // namespace

const cEnumTable& cLFOParams::GetShapeNames() { return kShapeTable; }
const cEnumTable& cLFOParams::GetBeatRateNames() { return kBeatRateTable; }
const cEnumTable& cLFOParams::GetSyncNames() { return kSyncTable; }

bool cLFOParams::Serialise(Base::cSerialise& s)
{
    int32_t version = kVersion;
    s.SerialiseInt32("Version", &version, INT_MIN, INT_MAX);
    bool ok = s.SerialiseEnum("Shape", &Shape, &kShapeTable);
    ok &= s.SerialiseFloat("Rate", &Rate, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseEnum("BeatRate", &BeatRate, &kBeatRateTable);
    ok &= s.SerialiseFloat("Amount", &Amount, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("Delay", &Delay, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseEnum("Sync", &Sync, &kSyncTable);
    return ok;
}

bool cLFOParams::SerialiseBinary(File::cFile& stream)
{
    cLFOParams record = *this;
    uint32_t version = 0;
    const bool ok = SerialiseSectionVersion(stream, kVersion, &version) && stream.SerialiseInt32(&record.Shape) == 4 &&
                    stream.SerialiseFloat(&record.Rate) == 4 && stream.SerialiseInt32(&record.BeatRate) == 4 &&
                    stream.SerialiseFloat(&record.Amount) == 4 && stream.SerialiseFloat(&record.Delay) == 4 &&
                    stream.SerialiseInt32(&record.Sync) == 4;
    if (!ok)
        return false;
    if (stream.IsReading() && version == 1 && record.BeatRate >= 0 && record.BeatRate < 6)
        record.BeatRate = kVersion1BeatRates[record.BeatRate];
    *this = record;
    return true;
}

float cLFOParams::GetParamFloat(int32_t field) const
{
    switch (field)
    {
    case kFieldRate:
        return std::cbrt(Rate / kMaxRateHz);
    case kFieldAmount:
        return Amount;
    case kFieldDelay:
        return std::sqrt(std::fmax(Delay / kMaxDelaySeconds, 0.0f));
    default:
        return 0.0f;
    }
}

void cLFOParams::SetParamFloat(int32_t field, float value)
{
    if (field == kFieldRate)
        Rate = kMaxRateHz * value * value * value;
    else if (field == kFieldAmount)
        Amount = value;
    else if (field == kFieldDelay)
        Delay = kMaxDelaySeconds * value * value;
}

int32_t cLFOParams::GetParamInt(int32_t field) const
{
    if (field == kFieldShape)
        return Shape;
    if (field == kFieldBeatRate)
        return BeatRate;
    if (field == kFieldSync)
        return Sync;
    return 0;
}

void cLFOParams::SetParamInt(int32_t field, int32_t value)
{
    if (field == kFieldShape)
        Shape = value;
    else if (field == kFieldBeatRate)
        BeatRate = value;
    else if (field == kFieldSync)
        Sync = value;
}

void cLFO::Trigger()
{
    mValue = 0.0f;
    mElapsed = 0.0f;
    if (!params)
        return;
    if (params->Sync == cLFOParams::kSyncOff)
    {
        const double now = double(GetTicks()) * GetMillisecondsPerTick() * 0.001;
        const double cycles = double(mPhase) + (now - mReferenceTime) * double(FiniteOr0(params->Rate));
        const double fraction = cycles - std::floor(cycles);
        mPhase = std::isfinite(fraction) && fraction < 1.0 ? float(fraction) : 0.0f;
    }
    else if (params->Sync == cLFOParams::kSyncKey)
        mPhase = 0.0f;
}

float cLFO::Process(const float* modulation, float elapsed)
{
    if (!params)
        return 0.0f;
    const float rateOffset = modulation ? FiniteOr0(modulation[0]) : 0.0f;
    const float amountOffset = modulation ? FiniteOr0(modulation[1]) : 0.0f;
    // Time only moves forward.
    const float dt = std::max(FiniteOr0(elapsed), 0.0f);

    float position;
    if (params->Sync == cLFOParams::kSyncBeat)
    {
        const float step = std::trunc(ClampFloat(8.0f * rateOffset, -16.0f, 16.0f));
        const int32_t index = TruncClamped(float(params->BeatRate) + step, 0.0f, float(cLFOParams::kBeatRateCount - 1));
        // The clock runs at the tempo also while the transport is stopped.
        const float bars = float(gTransport.clock.load(std::memory_order_relaxed)) *
                           gTransport.barsPerTick.load(std::memory_order_relaxed);
        position = FiniteOr0(bars * kCyclesPerBar[index]);
    }
    else
    {
        const float rate = FiniteOr0(params->Rate) + kMaxRateHz * rateOffset * rateOffset * rateOffset;
        if (!(rate >= kMinRate) || !std::isfinite(rate))
        {
            mValue = 0.0f;
            mDepth = 0.0f;
            return 0.0f;
        }
        position = rate * dt + mPhase;
    }

    const float phase = Fraction(position);
    const bool wrapped = mPhase > phase;
    mPhase = phase;
    switch (params->Shape)
    {
    case cLFOParams::kShapeSine:
        mValue = 0.5f + 0.5f * FastSin(kTwoPi * phase);
        break;
    case cLFOParams::kShapeSquare:
        mValue = phase > 0.5f ? 1.0f : 0.0f;
        break;
    case cLFOParams::kShapeSawUp:
        mValue = phase;
        break;
    case cLFOParams::kShapeSawDown:
        mValue = 1.0f - phase;
        break;
    case cLFOParams::kShapeTriangle:
        mValue = phase <= 0.5f ? 2.0f * phase : 2.0f * (1.0f - phase);
        break;
    case cLFOParams::kShapeRandomStep:
    case cLFOParams::kShapeRandomRamp:
        UpdateRandomShape(params->Shape, wrapped);
        break;
    default:
        break;
    }

    mElapsed += dt;
    const float delay = FiniteOr0(params->Delay);
    mFade = (delay > mElapsed && delay > kMinRate) ? mElapsed / delay : 1.0f;
    mDepth = FiniteOr0((FiniteOr0(params->Amount) + amountOffset) * mFade);
    return mValue;
}

void cLFO::UpdateRandomShape(int32_t shape, bool wrapped)
{
    const bool started = mElapsed == 0.0f && params->Sync == cLFOParams::kSyncKey;
    if (shape == cLFOParams::kShapeRandomStep)
    {
        if (started || wrapped)
            mValue = Draw();
        return;
    }
    if (started)
    {
        mRampStart = mValue = Draw();
        mRampSlope = Draw() - mValue;
    }
    else if (wrapped)
    {
        mRampStart = mValue;
        mRampSlope = Draw() - mValue;
    }
    mValue = mRampSlope * mPhase + mRampStart;
}
