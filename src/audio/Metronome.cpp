#include "audio/Metronome.h"

#include "audio/AudioBuffer.h"
#include "audio/AudioBufferPool.h"
#include "audio/AudioManager.h"
#include "audio/Transport.h"
#include "audio/WaveList.h"

cMetronome gMetronome;

void cMetronome::Init()
{
    mEnvelope = 0.0f;
    mNote = 0.0f;
    mSettings.Wave = kWaveSquare;
    mSettings.Trans = 0.0f;
    mSettings.Tune = 0.0f;
    mOscillator.Reset();
    mOscillator.SetParams(&mSettings);
}

void cMetronome::Trigger(int32_t beat)
{
    if (beat == kBeatNone)
        return;
    mLevel = gTransport.metronomeLevel.load();
    mNote = beat == kBeatFirst ? kDownbeatNote : kBeatNote;
    mEnvelope = 1.0f;
}

void cMetronome::Render(const cAudioProcessInfo& info, cAudioBuffer& block)
{
    const cAudioManager* manager = cAudioManager::Get();
    if (mEnvelope > 0.0f && manager)
        Render(info, block, manager->GetBufferPool());
}

void cMetronome::Render(const cAudioProcessInfo& info, cAudioBuffer& block, cAudioBufferPool* pool)
{
    if (mEnvelope <= 0.0f || !pool)
        return;
    const cAudioBufferPool::cHandle scratch = pool->Acquire(kAudioFormatFloat, block.frames, 1);
    if (!scratch.node)
        return;
    cAudioBuffer& wave = scratch.node->buffer;
    mOscillator.Render(info, wave, mNote, 0.0f);
    const float step = info.secondsPerSample * kDecayPerSecond;
    const float* in = wave.Floats();
    float* out = block.Floats();
    for (uint32_t f = 0; f < block.frames; ++f)
    {
        mEnvelope -= step;
        if (mEnvelope <= 0.0f)
            break;
        const float s = in[f] * mLevel * mEnvelope;
        out[f * block.channels] += s;
        if (block.channels > 1)
            out[f * block.channels + 1] += s;
    }
    pool->Release(scratch);
    // The next click starts at the beginning of the wave.
    if (mEnvelope <= 0.0f)
    {
        mOscillator.GetTableOsc().GetReader().phase = 0;
        mOscillator.GetTableOsc().GetReader().syncCounter = 0;
        mEnvelope = 0.0f;
    }
}
