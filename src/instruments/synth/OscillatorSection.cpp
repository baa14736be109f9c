#include "instruments/synth/OscillatorSection.h"

#include <cfloat>
#include <climits>
#include <cmath>

#include "audio/AudioBufferPool.h"
#include "audio/AudioManager.h"
#include "audio/SafeValues.h"
#include "audio/SectionVersion.h"
#include "base/File.h"
#include "base/Serialise.h"
#include "instruments/synth/ModMatrixEvaluator.h"

namespace
{
using Base::cEnumEntry;
using Base::cEnumTable;

const cEnumEntry kModeEntries[] = {{0, "MIX"}, {1, "RING1"}, {2, "RING2"}, {3, "SYNC"}, {4, "SAMPLE"}};
const cEnumTable kModeTable = {kModeEntries, 5};

constexpr float kPitchRange = 24.0f; // semitones of a modulation sum of 1
constexpr float kFixedRingNote = 60.0f;
// Trans is set and read as whole semitones; wider values read clamped.
constexpr float kTransLimit = 1.0e6f;

// A (in the output, stride apart) and B (contiguous) into the output:
// ring-modulated or mixed. The scratch and the output never overlap; saying
// so lets the loops run without reloading after every store. Called with a
// literal stride of 1 for a contiguous channel, so that loop goes in vectors.
inline void Combine(float* __restrict out, const float* __restrict b, uint32_t frames, uint32_t stride, bool ring,
                    float mix)
{
    if (ring)
        for (uint32_t f = 0; f < frames; ++f)
            out[f * stride] = out[f * stride] * b[f];
    else
    {
        const float mixA = 1.0f - mix, mixB = mix;
        for (uint32_t f = 0; f < frames; ++f)
            out[f * stride] = out[f * stride] * mixA + b[f] * mixB;
    }
}

void WriteSilence(const cAudioBuffer& output)
{
    float* out = output.Floats();
    for (uint32_t f = 0; f < output.frames; ++f)
        out[f * output.channels] = 0.0f;
}
} // namespace

const cEnumTable& cOscSectionParams::GetModeNames() { return kModeTable; }

bool cOscSectionParams::Serialise(Base::cSerialise& s)
{
    bool ok = true;
    if (s.BeginNode("Osc1", true))
    {
        ok &= Osc1.Serialise(s);
        s.EndNode("Osc1");
    }
    if (s.BeginNode("Osc2", true))
    {
        ok &= Osc2.Serialise(s);
        s.EndNode("Osc2");
    }
    ok &= s.SerialiseEnum("Mod", &Mod, &kModeTable);
    ok &= s.SerialiseFloat("Detune", &Detune, -FLT_MAX, FLT_MAX);
    ok &= s.SerialiseFloat("Mix", &Mix, -FLT_MAX, FLT_MAX);
    return ok;
}

bool cOscSectionParams::SerialiseBinary(File::cFile& stream)
{
    cOscSectionParams r = *this;
    uint32_t version = 0;
    const bool legacy = IsLegacyPatchData(stream);
    const bool ok = SerialiseSectionVersion(stream, kVersion, &version) && r.Osc1.SerialiseBinary(stream, legacy) &&
                    r.Osc2.SerialiseBinary(stream, legacy) && stream.SerialiseInt32(&r.Mod) == 4 &&
                    stream.SerialiseFloat(&r.Detune) == 4 && stream.SerialiseFloat(&r.Mix) == 4;
    if (ok)
        *this = r;
    return ok;
}

float cOscSectionParams::GetParamFloat(int32_t index, int32_t field) const
{
    if ((index == kIndexOsc1 || index == kIndexOsc2) && field == kFieldTune)
        return (index == kIndexOsc1 ? Osc1 : Osc2).Tune * 0.5f + 0.5f;
    if (index == kIndexDetune)
        return Detune * 2.0f;
    if (index == kIndexMix)
        return Mix;
    return 0.0f;
}

void cOscSectionParams::SetParamFloat(int32_t index, int32_t field, float value)
{
    if ((index == kIndexOsc1 || index == kIndexOsc2) && field == kFieldTune)
        (index == kIndexOsc1 ? Osc1 : Osc2).Tune = 2.0f * value - 1.0f;
    else if (index == kIndexDetune)
        Detune = value * 0.5f;
    else if (index == kIndexMix)
        Mix = value;
}

int32_t cOscSectionParams::GetParamInt(int32_t index, int32_t field) const
{
    if (index == kIndexOsc1 || index == kIndexOsc2)
    {
        const cOscillatorParams& osc = index == kIndexOsc1 ? Osc1 : Osc2;
        if (field == kFieldWave)
            return osc.Wave;
        if (field == kFieldTrans)
            return TruncClamped(osc.Trans, -kTransLimit, kTransLimit);
        return 0;
    }
    return index == kIndexMod ? Mod : 0;
}

void cOscSectionParams::SetParamInt(int32_t index, int32_t field, int32_t value)
{
    if (index == kIndexOsc1 || index == kIndexOsc2)
    {
        cOscillatorParams& osc = index == kIndexOsc1 ? Osc1 : Osc2;
        if (field == kFieldWave)
            osc.Wave = value;
        else if (field == kFieldTrans)
            osc.Trans = float(value);
    }
    else if (index == kIndexMod)
        Mod = value;
}

void cOscSection::Reset()
{
    mOscA.Reset();
    mOscB.Reset();
    mParams = nullptr;
    mPitchA = mPitchB = mMix = 0.0f;
}

void cOscSection::SetParams(cOscSectionParams* params)
{
    mParams = params;
    mOscA.SetParams(params ? &params->Osc1 : nullptr);
    mOscB.SetParams(params ? &params->Osc2 : nullptr);
}

void cOscSection::Control(const cModulationSums& sums, float note)
{
    if (!mParams)
        return;
    const float mixMod = FiniteOr0(sums.oscMix);
    const float modA = FiniteOr0(sums.oscPitchA) * kPitchRange;
    const float modB = FiniteOr0(sums.oscPitchB) * kPitchRange;
    const float mix = FiniteOr0(mParams->Mix);
    note = FiniteOr0(note);
    float pitchA, pitchB;
    if (mParams->Mod == cOscSectionParams::kModeSync)
    {
        mMix = 0.0f;
        pitchA = note + kPitchRange * (mix + mixMod) + modA;
        pitchB = note + modB;
    }
    else if (mParams->Osc2.Wave == kWaveOff)
    {
        mMix = 0.0f;
        pitchA = note + modA;
        pitchB = note + modB;
    }
    else
    {
        mMix = ClampFloat(mix + mixMod, 0.0f, 1.0f);
        // The spread is full at an even mix and vanishes at either end.
        const float spread = (1.0f - 2.0f * std::fabs(mMix - 0.5f)) * FiniteOr0(mParams->Detune);
        const float noteB = mParams->Mod == cOscSectionParams::kModeRingFixed ? kFixedRingNote : note;
        pitchA = note + modA - spread;
        pitchB = noteB + modB + spread;
    }
    mPitchA = FiniteOr0(pitchA);
    mPitchB = FiniteOr0(pitchB);
}

void cOscSection::Render(const cAudioProcessInfo& info, const cAudioBuffer& output)
{
    Render(info, output, cAudioManager::Get() ? cAudioManager::Get()->GetBufferPool() : nullptr);
}

void cOscSection::Render(const cAudioProcessInfo& info, const cAudioBuffer& output, cAudioBufferPool* pool)
{
    if (!mParams || output.frames == 0 || !output.data || mParams->Mod == cOscSectionParams::kModeSample)
        return;
    cAudioBuffer out = output;
    if (mParams->Mod == cOscSectionParams::kModeSync)
    {
        mOscA.RenderSynced(info, out, mPitchA, mPitchB, mParams->Osc2);
        return;
    }
    const cAudioBufferPool::cHandle scratch =
        pool ? pool->Acquire(kAudioFormatFloat, output.frames, 1) : cAudioBufferPool::cHandle{};
    if (!scratch.node)
    {
        WriteSilence(output);
        return;
    }
    // A plays straight into the output, B into the scratch beside it.
    cAudioBuffer b;
    b.Describe(kAudioFormatFloat, output.frames, 1, scratch.node->buffer.Floats());
    const bool ring = (mParams->Mod == cOscSectionParams::kModeRing || mParams->Mod == cOscSectionParams::kModeRingFixed) &&
                      mParams->Osc2.Wave != kWaveOff;
    mOscA.Render(info, out, mPitchA, 0.0f);
    mOscB.Render(info, b, mPitchB, ring ? mMix : 0.0f);
    if (output.channels == 1)
        Combine(output.Floats(), b.Floats(), output.frames, 1, ring, mMix);
    else
        Combine(output.Floats(), b.Floats(), output.frames, output.channels, ring, mMix);
    pool->Release(scratch);
}
