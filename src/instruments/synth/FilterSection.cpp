#include "instruments/synth/FilterSection.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>

#include "audio/AudioBuffer.h"
#include "audio/SafeValues.h"
#include "audio/SectionVersion.h"
#include "base/File.h"
#include "base/Serialise.h"

// The cutoff knob c maps to 10^(2.13 c + log10(120)) Hz, 120 Hz at 0 and
// about 16188 Hz at 1. Resonance runs the design Q from 1 to 12; with two
// stages each takes about its square root, so the pair peaks alike. The
// stages sit at 0.95 and 1.05 of the cutoff to soften the joint peak. The
// level compensation pulls resonant and bright settings down.

namespace
{
using Base::cEnumEntry;
using Base::cEnumTable;

const cEnumEntry kTypeEntries[] = {{0, "OFF"}, {1, "LP"}, {2, "BP"}, {3, "HP"}};
const cEnumEntry kSlopeEntries[] = {{0, "12"}, {1, "24"}};
const cEnumTable kTypeTable = {kTypeEntries, 4};
const cEnumTable kSlopeTable = {kSlopeEntries, 2};

constexpr float kCutoffDecades = 2.13f;
constexpr float kLog10Of120Hz = 2.0791810f;
constexpr float kHighPassShiftHz = 100.0f;
constexpr float kHighPassSilentHz = 20.0f;
constexpr float kHighPassFullQHz = 250.0f;
constexpr float kHighPassQSlope = 0.004347826f; // 1 / 230 Hz
constexpr float kMiddleCInverse = 0.00382225f;  // 1 / 261.63 Hz
constexpr float kMaxTrackedCutoff = 0.45f;
constexpr float kMinTrackedHz = 120.0f;
constexpr int32_t kKeyCount = 128;

const std::array<float, kKeyCount> kKeyFrequencies = [] {
    std::array<float, kKeyCount> table{};
    for (int32_t key = 0; key < kKeyCount; ++key)
        table[size_t(key)] = float(440.0 * std::exp2((key - 69) / 12.0));
    return table;
}();

// The float whose bits are half those of q, re-biased: about sqrt(q).
float FastSqrt(float q)
{
    return std::bit_cast<float>((std::bit_cast<uint32_t>(q) >> 1) + 0x1FC00000u);
}

int32_t EffectiveType(int32_t type)
{
    // A type outside the list acts as "OFF".
    return type >= cFilterParams::kTypeOff && type <= cFilterParams::kTypeHighPass ? type : cFilterParams::kTypeOff;
}

void Design(cBiquad& stage, int32_t type, float cutoff, float q)
{
    if (type == cFilterParams::kTypeLowPass)
        stage.SetLowPass(cutoff, q, 1.0f);
    else if (type == cFilterParams::kTypeBandPass)
        stage.SetBandPass(cutoff, q, 1.0f);
    else
        stage.SetHighPass(cutoff, q, 1.0f);
}
} // namespace

const cEnumTable& cFilterParams::GetTypeNames() { return kTypeTable; }
const cEnumTable& cFilterParams::GetSlopeNames() { return kSlopeTable; }

bool cFilterParams::Serialise(Base::cSerialise& s)
{
    int32_t version = kVersion;
    s.SerialiseInt32("Version", &version, INT_MIN, INT_MAX);
    bool ok = s.SerialiseEnum("Type", &Type, &kTypeTable);
    ok &= s.SerialiseEnum("Slope", &Slope, &kSlopeTable);
    ok &= s.SerialiseFloat("Cutoff", &Cutoff, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("Q", &Q, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseInt32("Track", &Track, INT_MIN, INT_MAX);
    return ok;
}

bool cFilterParams::SerialiseBinary(File::cFile& stream)
{
    cFilterParams r = *this;
    uint32_t version = 0;
    const bool ok = SerialiseSectionVersion(stream, kVersion, &version) && stream.SerialiseInt32(&r.Type) == 4 &&
                    stream.SerialiseInt32(&r.Slope) == 4 && stream.SerialiseFloat(&r.Cutoff) == 4 &&
                    stream.SerialiseFloat(&r.Q) == 4 && stream.SerialiseInt32(&r.Track) == 4;
    if (ok)
        *this = r;
    return ok;
}

float cFilterParams::GetParamFloat(int32_t field) const
{
    switch (field)
    {
    case kFieldCutoff:
        return Cutoff;
    case kFieldQ:
        return Q;
    case kFieldFifth:
        return fifth;
    default:
        return 0.0f;
    }
}

void cFilterParams::SetParamFloat(int32_t field, float value)
{
    if (field == kFieldCutoff)
        Cutoff = value;
    else if (field == kFieldQ)
        Q = value;
    else if (field == kFieldFifth)
        fifth = value;
}

int32_t cFilterParams::GetParamInt(int32_t field) const
{
    switch (field)
    {
    case kFieldType:
        return Type;
    case kFieldSlope:
        return Slope;
    case kFieldTrack:
        return Track;
    default:
        return 0;
    }
}

void cFilterParams::SetParamInt(int32_t field, int32_t value)
{
    if (field == kFieldType)
        Type = value;
    else if (field == kFieldSlope)
        Slope = value;
    else if (field == kFieldTrack)
        Track = value;
}

cFilterSection::cFilterSection() = default;

float cFilterSection::KeyFrequency(int32_t key)
{
    return kKeyFrequencies[size_t(std::clamp(key, 0, kKeyCount - 1))];
}

void cFilterSection::NoteStart()
{
    mStage[0].ClearHistory();
    mStage[1].ClearHistory();
}

float cFilterSection::Update(const cAudioProcessInfo& info, float cutoffOffset, int32_t key, const float* modulation)
{
    if (!params)
        return 1.0f;
    const int32_t type = EffectiveType(params->Type);
    bool redesign = false;
    if (type != mCachedType || params->Slope != mCachedSlope)
    {
        mStage[0].ClearHistory();
        mStage[1].ClearHistory();
        mCachedType = type;
        mCachedSlope = params->Slope;
        if (type == cFilterParams::kTypeOff)
        {
            mStages = 0;
            return 1.0f;
        }
        mStages = params->Slope != 0 ? 2 : 1;
        redesign = true;
    }

    const float cutoffMod = modulation ? FiniteOr0(modulation[0]) : 0.0f;
    const float qMod = modulation ? FiniteOr0(modulation[1]) : 0.0f;
    const float c =
        ClampFloat(FiniteOr0(FiniteOr0(params->Cutoff) + FiniteOr0(cutoffOffset) + cutoffMod), 0.0f, 1.0f);
    const float q = ClampFloat(FiniteOr0(FiniteOr0(params->Q) + qMod), 0.0f, 1.0f);
    mKnob = c;
    float level = 1.0f - 0.25f * q;
    if (type == cFilterParams::kTypeLowPass)
        level *= 1.0f - 0.15f * c;
    else if (type == cFilterParams::kTypeHighPass)
        level *= 1.0f - 0.15f * (1.0f - c);
    if (type == cFilterParams::kTypeOff)
        return level;

    // The knob stands still for most blocks of most voices.
    if (c != mHzKnob)
    {
        mHzKnob = c;
        mKnobHz = std::pow(10.0f, kCutoffDecades * c + kLog10Of120Hz);
    }
    float hz = mKnobHz;
    float resonance = q;
    if (type == cFilterParams::kTypeHighPass)
    {
        // The resonance fades out at low cutoffs, where it would boom.
        hz -= kHighPassShiftHz;
        if (hz <= kHighPassSilentHz)
            resonance = 0.0f;
        else if (hz <= kHighPassFullQHz)
            resonance = (hz - kHighPassSilentHz) * kHighPassQSlope * q;
    }
    float designQ = 1.0f + 11.0f * resonance;
    if (mStages == 2)
        designQ = FastSqrt(designQ);

    const float secondsPerSample = FiniteOr0(info.secondsPerSample);
    float cutoff = hz * secondsPerSample;
    if (params->Track)
    {
        cutoff *= KeyFrequency(key) * kMiddleCInverse;
        cutoff = std::min(cutoff, kMaxTrackedCutoff);
        cutoff = std::max(cutoff, kMinTrackedHz * secondsPerSample);
    }

    const float fifth = FiniteOr0(params->fifth);
    if (!redesign && cutoff == mCutoff && designQ == mQ && fifth == mFifth)
        return level;
    mCutoff = cutoff;
    mQ = designQ;
    mFifth = fifth;
    if (mStages == 2)
    {
        Design(mStage[0], type, cutoff * 0.95f, designQ);
        Design(mStage[1], type, cutoff * 1.05f, designQ);
    }
    else
        Design(mStage[0], type, cutoff, designQ);
    return level;
}
