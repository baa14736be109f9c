#include "audio/Oscillator.h"

#include <cfloat>
#include <cmath>

#include "audio/AudioBuffer.h"
#include "audio/WaveList.h"
#include "base/File.h"
#include "base/Serialise.h"

cRandom gNoiseRandom;

namespace
{
constexpr float kNoiseScale = 1.0f / 536870912.0f; // 2^-29: the 30-bit state spans -1..1
constexpr uint32_t kParamsVersion = 1;

const Base::cEnumTable kWaveTable = []
{
    static Base::cEnumEntry entries[kWaveCount];
    for (int32_t i = 0; i < kWaveCount; ++i)
        entries[i] = {i, kWaveNames[i]};
    return Base::cEnumTable{entries, kWaveCount};
}();

bool IsSmoothWave(int32_t wave)
{
    return wave == kWaveSine || wave == kWaveTriangle || wave == kWaveBass1 || wave == kWaveBass3 ||
           wave == kWaveEP1 || wave == kWaveOrgan1;
}

void WriteChannel(cAudioBuffer& buffer, float value)
{
    float* out = buffer.Floats();
    for (uint32_t f = 0; f < buffer.frames; ++f)
        out[f * buffer.channels] = value;
}

void WriteNoise(cAudioBuffer& buffer)
{
    float* out = buffer.Floats();
    for (uint32_t f = 0; f < buffer.frames; ++f)
        out[f * buffer.channels] = static_cast<float>(gNoiseRandom.Step()) * kNoiseScale - 1.0f;
}
} // namespace

float NoteToFrequency(float note)
{
    return 440.0f * powf(2.0f, (note - 69.0f) * 0.083333336f);
}

bool cOscillatorParams::Serialise(Base::cSerialise& serialise)
{
    int32_t version = static_cast<int32_t>(kParamsVersion);
    bool ok = serialise.SerialiseInt32("Version", &version, 0, INT32_MAX);
    ok &= serialise.SerialiseEnum("Wave", &Wave, &kWaveTable);
    ok &= serialise.SerialiseFloat("Trans", &Trans, -FLT_MAX, FLT_MAX);
    ok &= serialise.SerialiseFloat("Tune", &Tune, -FLT_MAX, FLT_MAX);
    return ok;
}

bool cOscillatorParams::SerialiseBinary(File::cFile& stream, bool legacy)
{
    bool ok = true;
    if (!legacy)
    {
        uint32_t version = kParamsVersion;
        ok &= stream.SerialiseUInt32(&version) == 4;
    }
    ok &= stream.SerialiseInt32(&Wave) == 4;
    ok &= stream.SerialiseBytes(&Trans, 4) == 4;
    ok &= stream.SerialiseBytes(&Tune, 4) == 4;
    return ok;
}

// The same note gives the same frequency, so only a change is worked out.
float cOscillator::cPitchMemo::Frequency(float wanted)
{
    if (!known || wanted != note)
    {
        note = wanted;
        frequency = NoteToFrequency(wanted);
        known = true;
    }
    return frequency;
}

void cOscillator::Reset()
{
    mParams = nullptr;
    mTableOsc.Reset();
    mWave = kWaveNone;
}

uint32_t cOscillator::Prepare(cAudioBuffer& buffer)
{
    int32_t wave = mParams->Wave;
    if (wave < 0 || wave >= kWaveCount)
        wave = kWaveOff;
    if (wave != mWave)
    {
        mWave = wave;
        const cWavetable* table = GetWaveTable(wave);
        if (table != mTableOsc.GetReader().table)
            mTableOsc.SetTable(table);
    }
    if (mWave == kWaveOff)
    {
        WriteChannel(buffer, 0.0f);
        return kPreparedDone;
    }
    if (mWave == kWaveNoise)
    {
        WriteNoise(buffer);
        return kPreparedDone;
    }
    // A wave whose table did not load stays silent.
    const cWavetable* table = mTableOsc.GetReader().table;
    if (!table || table->IsEmpty())
    {
        WriteChannel(buffer, 0.0f);
        return kPreparedDone;
    }
    if (IsSmoothWave(mWave))
        return kPreparedSmooth;
    return 0;
}

bool cOscillator::Interpolates(const cAudioProcessInfo& info, uint32_t prepared) const
{
    if (info.quality >= 2)
        return true;
    return info.quality == 1 && (prepared & kPreparedSmooth) != 0;
}

void cOscillator::Render(const cAudioProcessInfo& info, cAudioBuffer& buffer, float note, float phaseOffset)
{
    const uint32_t prepared = Prepare(buffer);
    if (prepared & kPreparedDone)
        return;
    const float frequency = mPitch.Frequency(mParams->Tune + mParams->Trans + note);
    mTableOsc.Render(frequency * info.secondsPerSample, buffer, phaseOffset, Interpolates(info, prepared));
}

void cOscillator::RenderSynced(const cAudioProcessInfo& info, cAudioBuffer& buffer, float note, float masterNote,
                               const cOscillatorParams& master)
{
    const uint32_t prepared = Prepare(buffer);
    if (prepared & kPreparedDone)
        return;
    const float own = mPitch.Frequency(mParams->Tune + mParams->Trans + note);
    const float masterFrequency = mMasterPitch.Frequency(master.Tune + master.Trans + masterNote);
    const float ratio = std::fabs(masterFrequency) < 1e-6f ? 1.0f : own / masterFrequency;
    mTableOsc.RenderRatio(own * info.secondsPerSample, buffer, ratio, Interpolates(info, prepared));
}
