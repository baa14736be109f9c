#include "mixer/Effect1BandFilter.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

#include "audio/AudioBuffer.h"
#include "audio/EffectCrossfade.h"
#include "base/Serialise.h"

namespace
{
constexpr float kCutoffSpan = 2.13f;      // decades from the lowest cutoff to the highest
constexpr float kCutoffBase = 2.079181f;  // log10 of the lowest cutoff
constexpr float kPositionPerDecade = 0.46948355f;
constexpr float kQSpan = 11.0f;
constexpr float kPositionPerQ = 0.09090909f;
// A high-pass stands this far below its cutoff.
constexpr float kHighPassOffset = 100.0f;
constexpr float kReportedTop = 16000.0f;

const Base::cEnumEntry kTypeNames[] = {{cOneBandFilterParams::kTypeOff, "OFF"},
                                       {cOneBandFilterParams::kTypeLowPass, "LP"},
                                       {cOneBandFilterParams::kTypeBandPass, "BP"},
                                       {cOneBandFilterParams::kTypeHighPass, "HP"}};
const Base::cEnumTable kTypeTable = {kTypeNames, 4};

// Only the parameter number in the low byte counts.
uint32_t ParamOf(uint32_t id) { return id & 0xffu; }
} // namespace

cEffect1BandFilter::cEffect1BandFilter(cEffectPackage* package) : cEffect(package) {}

float cEffect1BandFilter::CutoffFromPosition(float position)
{
    return std::pow(10.0f, kCutoffSpan * std::clamp(position, 0.0f, 1.0f) + kCutoffBase);
}

float cEffect1BandFilter::PositionFromCutoff(float hertz)
{
    if (hertz < kMinCutoff)
        return 0.0f;
    if (hertz > kReportedTop)
        return 1.0f;
    return (std::log10(hertz) - kCutoffBase) * kPositionPerDecade;
}

float cEffect1BandFilter::QFromPosition(float position) { return kQSpan * std::clamp(position, 0.0f, 1.0f) + kMinQ; }

float cEffect1BandFilter::PositionFromQ(float q) { return (q - kMinQ) * kPositionPerQ; }

float cEffect1BandFilter::GetParamFloat(uint32_t id)
{
    switch (ParamOf(id))
    {
    case kParamCutoff: return PositionFromCutoff(mParams.cutoff);
    case kParamQ: return PositionFromQ(mParams.q);
    default: return 0.0f;
    }
}

int32_t cEffect1BandFilter::GetParamInt(uint32_t id)
{
    switch (ParamOf(id))
    {
    case kParamEnable: return mParams.enable;
    case kParamType: return mParams.type;
    default: return 0;
    }
}

// Non-finite positions are refused; everything else is held to the ranges
// the filter designs for.
int32_t cEffect1BandFilter::HandleEvent(const cAudioEvent& event)
{
    const uint32_t parameter = ParamOf(event.wordA);
    if (event.type == kAudioEventSetFloatParam && (parameter == kParamCutoff || parameter == kParamQ))
    {
        const float position = event.GetFloatValue();
        if (!std::isfinite(position))
            return 0;
        if (parameter == kParamCutoff)
            mParams.cutoff = CutoffFromPosition(position);
        else
            mParams.q = QFromPosition(position);
        mParams.changes |= cOneBandFilterParams::kChangeCoefficients;
    }
    else if (event.type == kAudioEventSetIntParam && (parameter == kParamEnable || parameter == kParamType))
    {
        if (parameter == kParamEnable)
            mParams.enable = event.GetIntValue() != 0 ? 1 : 0;
        else
            mParams.type = std::clamp(event.GetIntValue(), int32_t(cOneBandFilterParams::kTypeOff),
                                      int32_t(cOneBandFilterParams::kTypeHighPass));
        mParams.changes = cOneBandFilterParams::kChangeAll;
    }
    return 0;
}

bool cEffect1BandFilter::BeginBlock(const cAudioProcessInfo& info, const cAudioBuffer& buffer)
{
    DrainEvents();
    if (!mParams.enable && !mWasEnabled)
        return false;
    if (!buffer.data || buffer.channels != 2 || !(info.secondsPerSample > 0.0f))
        return false;
    if (mParams.changes == cOneBandFilterParams::kChangeAll)
        Reset();
    if (mParams.changes != cOneBandFilterParams::kChangeNone)
        Recompute(info.secondsPerSample);
    mParams.changes = cOneBandFilterParams::kChangeNone;
    return true;
}

void cEffect1BandFilter::Recompute(float secondsPerSample)
{
    const float corner = mParams.cutoff * secondsPerSample;
    switch (mParams.type)
    {
    case cOneBandFilterParams::kTypeLowPass: mSections[0].SetLowPass(corner, mParams.q, 1.0f); break;
    case cOneBandFilterParams::kTypeBandPass: mSections[0].SetBandPass(corner, mParams.q, 1.0f); break;
    case cOneBandFilterParams::kTypeHighPass:
        mSections[0].SetHighPass((mParams.cutoff - kHighPassOffset) * secondsPerSample, mParams.q, 1.0f);
        break;
    default: return;
    }
    mSections[1].CopySettings(mSections[0]);
}

void cEffect1BandFilter::FilterBlock(cAudioBuffer& buffer)
{
    if (mParams.type == cOneBandFilterParams::kTypeOff)
        return;
    cEffectCrossfade fade;
    if ((mParams.enable != 0) != (mWasEnabled != 0))
        fade.Begin(buffer, mParams.enable ? cEffectCrossfade::kModeFadeIn : cEffectCrossfade::kModeFadeOut);
    cBiquad* const sections[2] = {&mSections[0], &mSections[1]};
    ProcessBiquadChannels(buffer, sections, 2);
    fade.Mix();
    fade.End();
}

int32_t cEffect1BandFilter::Process(const cAudioProcessInfo& info, cAudioBuffer& buffer)
{
    if (!BeginBlock(info, buffer))
        return 0;
    FilterBlock(buffer);
    EndBlock();
    return 0;
}

bool cEffect1BandFilter::Serialise(Base::cSerialise& serialise)
{
    serialise.SerialiseInt32("Enable", &mParams.enable, INT_MIN, INT_MAX);
    serialise.SerialiseEnum("Type", &mParams.type, &kTypeTable);
    serialise.SerialiseFloat("Cutoff", &mParams.cutoff, -FLT_MAX, FLT_MAX);
    serialise.SerialiseFloat("Q", &mParams.q, -FLT_MAX, FLT_MAX);
    if (!serialise.IsSaving())
    {
        // A file is untrusted: what it holds is brought into range.
        mParams.enable = mParams.enable != 0 ? 1 : 0;
        mParams.type = std::clamp(mParams.type, int32_t(cOneBandFilterParams::kTypeOff),
                                  int32_t(cOneBandFilterParams::kTypeHighPass));
        mParams.cutoff = std::isfinite(mParams.cutoff) ? std::clamp(mParams.cutoff, kMinCutoff, kMaxCutoff) : 1600.0f;
        mParams.q = std::isfinite(mParams.q) ? std::clamp(mParams.q, kMinQ, kMaxQ) : kMinQ;
        mParams.changes = cOneBandFilterParams::kChangeAll;
    }
    return true;
}

void cEffect1BandFilter::Reset()
{
    mSections[0].ClearHistory();
    mSections[1].ClearHistory();
}

void cEffect1BandFilter::SetEnabled(bool enabled) { mParams.enable = enabled ? 1 : 0; }

bool cEffect1BandFilter::IsEnabled() const { return mParams.enable != 0; }

cEffect1BandFilterPackage::cEffect1BandFilterPackage()
    : cEffectPackage("FILTER-1B", "Filter", "Single band filter")
{
}

cEffect* cEffect1BandFilterPackage::CreateEffect() { return new cEffect1BandFilter(this); }
