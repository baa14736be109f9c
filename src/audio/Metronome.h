#pragma once
#include <cstdint>

#include "audio/Oscillator.h"

class cAudioBufferPool;
struct cAudioBuffer;
struct cAudioProcessInfo;

// The metronome's click: a short square tick that falls to silence in 20 ms,
// an octave higher on the first beat of a bar. The sequencer decides when it
// clicks and how loud; the one click of the program lives in static storage,
// set up before the program starts, and runs on the audio thread only.
class cMetronome
{
public:
    enum : int32_t
    {
        kBeatNone = 0,
        kBeatFirst = 1, // of a bar
        kBeatOther = 2,
    };

    static constexpr float kDownbeatNote = 72.0f;
    static constexpr float kBeatNote = 60.0f;
    static constexpr float kDecayPerSecond = 50.0f; // the envelope runs from 1 to 0 in 1/50 s

    cMetronome() { Init(); }
    cMetronome(const cMetronome&) = delete;
    cMetronome& operator=(const cMetronome&) = delete;

    void Init();
    // Restarts the click at the transport's metronome level; the phase runs on.
    void Trigger(int32_t beat);
    // Adds the click to the block's first two channels, taking its scratch
    // from the audio manager's pool; an exhausted pool skips the block.
    void Render(const cAudioProcessInfo& info, cAudioBuffer& block);
    void Render(const cAudioProcessInfo& info, cAudioBuffer& block, cAudioBufferPool* pool);

    float GetEnvelope() const { return mEnvelope; }
    float GetNote() const { return mNote; }
    float GetLevel() const { return mLevel; }

private:
    float mEnvelope = 0.0f; // 1 when a click starts, falling to 0 (silent)
    float mNote = 0.0f;
    float mLevel = 0.0f;
    cOscillatorParams mSettings;
    cOscillator mOscillator;
};

extern cMetronome gMetronome;
