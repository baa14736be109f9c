#include "instruments/synth/Envelope.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

#include "audio/SafeValues.h"
#include "audio/SectionVersion.h"
#include "base/File.h"
#include "base/Serialise.h"

// Stage times grow with the cube of the knob: attack 1 ms .. 10 s, decay and
// release 10 ms .. 10 s. Curved decays follow 1 - 10^(-4p) and curved
// releases 2.4^(-5p), which reaches the 0.005 end at p of about 1.21: a
// curved release lasts about 1.21 times its time.

namespace
{
constexpr float kMinAttackSeconds = 0.001f;
constexpr float kMinDecaySeconds = 0.01f;
constexpr float kSlowestRate = 0.1f; // 10 s
constexpr float kReleaseEnd = 0.005f;

float StageRate(float knob, float span, float minimum)
{
    if (knob <= 0.0f)
        return 1.0f / minimum;
    if (knob >= 1.0f)
        return kSlowestRate;
    return 1.0f / (span * knob * knob * knob + minimum);
}

float AttackRate(float knob)
{
    return StageRate(knob, 9.999f, kMinAttackSeconds);
}

float DecayRate(float knob)
{
    return StageRate(knob, 9.99f, kMinDecaySeconds);
}

// A setting plus its offset; anything not finite counts as 0.
float Knob(float setting, const float* offsets, int32_t field)
{
    return FiniteOr0(FiniteOr0(setting) + (offsets ? FiniteOr0(offsets[field]) : 0.0f));
}
} // namespace

bool cEnvelopeParams::Serialise(Base::cSerialise& s)
{
    int32_t version = kVersion;
    s.SerialiseInt32("Version", &version, INT_MIN, INT_MAX);
    bool ok = s.SerialiseUInt32("Flags", &Flags, 0, UINT_MAX);
    ok &= s.SerialiseFloat("A", &A, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("D", &D, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("S", &S, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("R", &R, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("Amount", &Amount, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseInt32("Invert", &Invert, INT_MIN, INT_MAX);
    return ok;
}

bool cEnvelopeParams::SerialiseBinary(File::cFile& stream)
{
    cEnvelopeParams r = *this;
    uint32_t version = 0;
    const bool ok = SerialiseSectionVersion(stream, kVersion, &version) && stream.SerialiseUInt32(&r.Flags) == 4 &&
                    stream.SerialiseFloat(&r.A) == 4 && stream.SerialiseFloat(&r.D) == 4 &&
                    stream.SerialiseFloat(&r.S) == 4 && stream.SerialiseFloat(&r.R) == 4 &&
                    stream.SerialiseFloat(&r.Amount) == 4 && stream.SerialiseInt32(&r.Invert) == 4;
    if (ok)
        *this = r;
    return ok;
}

float cEnvelopeParams::GetParamFloat(int32_t field) const
{
    switch (field)
    {
    case kFieldA:
        return A;
    case kFieldD:
        return D;
    case kFieldS:
        return S;
    case kFieldR:
        return R;
    case kFieldAmount:
        return Amount;
    default:
        return 0.0f;
    }
}

void cEnvelopeParams::SetParamFloat(int32_t field, float value)
{
    switch (field)
    {
    case kFieldA:
        A = value;
        break;
    case kFieldD:
        D = value;
        break;
    case kFieldS:
        S = value;
        break;
    case kFieldR:
        R = value;
        break;
    case kFieldAmount:
        Amount = value;
        break;
    default:
        break;
    }
}

int32_t cEnvelopeParams::GetParamInt(int32_t field) const
{
    return field == kFieldInvert ? Invert : 0;
}

void cEnvelopeParams::SetParamInt(int32_t field, int32_t value)
{
    if (field == kFieldInvert)
        Invert = value;
}

void cEnvelope::Trigger()
{
    mProgress = 0.0f;
    mStart = 0.0f;
    mTarget = 1.0f;
    mLevel = 0.0f;
    mStage = kStageAttack;
}

void cEnvelope::Release()
{
    mProgress = 0.0f;
    mStart = mLevel;
    mTarget = 0.0f;
    mStage = kStageRelease;
}

float cEnvelope::Process(const float* modulation, float elapsed)
{
    if (!params)
        return 0.0f;
    // Time only moves forward.
    const float dt = std::max(FiniteOr0(elapsed), 0.0f);
    const float sustain = ClampFloat(Knob(params->S, modulation, cEnvelopeParams::kFieldS), 0.0f, 1.0f);
    mAmount = Knob(params->Amount, modulation, cEnvelopeParams::kFieldAmount);
    switch (mStage)
    {
    case kStageAttack:
        Attack(modulation, dt, sustain);
        break;
    case kStageDecay:
        Decay(modulation, dt, sustain);
        break;
    case kStageSustain:
        Sustain(sustain);
        break;
    case kStageRelease:
        ReleaseStep(modulation, dt);
        break;
    default:
        break;
    }
    return params->Invert == 1 ? 1.0f - mLevel : mLevel;
}

void cEnvelope::Attack(const float* offsets, float dt, float sustain)
{
    mRate = AttackRate(Knob(params->A, offsets, cEnvelopeParams::kFieldA));
    mProgress += mRate * dt;
    if (mProgress < 1.0f)
    {
        mLevel = mStart + (mTarget - mStart) * mProgress;
        return;
    }
    mStart = 1.0f;
    mTarget = sustain;
    mLevel = 1.0f;
    mProgress = 0.0f;
    mStage = kStageDecay;
    Decay(offsets, dt, sustain);
}

void cEnvelope::Decay(const float* offsets, float dt, float sustain)
{
    mRate = DecayRate(Knob(params->D, offsets, cEnvelopeParams::kFieldD));
    mProgress += mRate * dt;
    if (mProgress < 1.0f)
    {
        mTarget = sustain;
        const bool curved = params->Flags & cEnvelopeParams::kFlagCurvedDecay;
        const float shape = curved ? 1.0f - std::pow(10.0f, -4.0f * mProgress) : mProgress;
        mLevel = mStart + (mTarget - mStart) * shape;
        return;
    }
    mStart = mLevel = mTarget;
    mProgress = 0.0f;
    mRate = 0.0f;
    mStage = kStageSustain;
    Sustain(sustain);
}

void cEnvelope::Sustain(float sustain)
{
    mStart = mTarget = mLevel = sustain;
}

void cEnvelope::ReleaseStep(const float* offsets, float dt)
{
    mRate = DecayRate(Knob(params->R, offsets, cEnvelopeParams::kFieldR));
    mProgress += mRate * dt;
    const bool curved = params->Flags & cEnvelopeParams::kFlagCurvedRelease;
    const float f = curved ? std::pow(2.4f, -5.0f * mProgress) : 1.0f - mProgress;
    if (f < kReleaseEnd)
    {
        mStart = mTarget = mLevel = mProgress = 0.0f;
        mStage = kStageIdle;
        return;
    }
    mLevel = mStart * f;
}
