#pragma once
#include <cstdint>

#include "audio/Oscillator.h"

class cAudioBufferPool;
struct cAudioBuffer;
struct cAudioProcessInfo;
struct cModulationSums;
namespace Base
{
class cSerialise;
struct cEnumTable;
}
namespace File
{
class cFile;
}

// Stored settings of a voice's tone source: two oscillators and how they
// combine.
struct cOscSectionParams
{
    enum eMode : int32_t
    {
        kModeMix = 0,
        kModeRing = 1,         // "RING1": B at the played pitch
        kModeRingFixed = 2,    // "RING2": B held at note 60
        kModeSync = 3,         // A hard-synced to B
        kModeSample = 4,       // the sample layer sounds instead
    };
    // Parameter indexes; 0 and 1 take a field (0 Wave, 1 Trans, 2 Tune).
    enum : int32_t
    {
        kIndexOsc1 = 0,
        kIndexOsc2 = 1,
        kIndexMod = 2,
        kIndexDetune = 3,
        kIndexMix = 4,
        kFieldWave = 0,
        kFieldTrans = 1,
        kFieldTune = 2,
        kVersion = 1,
    };

    cOscillatorParams Osc1;
    cOscillatorParams Osc2;
    int32_t Mod = kModeMix;
    float Detune = 0.0f; // semitones of spread, 0..0.5 (half the knob)
    float Mix = 0.5f;    // A to B; B's phase in the ring modes; A's pitch in "SYNC"

    // "Osc1" and "Osc2" elements, then "Mod", "Detune", "Mix"; no version key.
    bool Serialise(Base::cSerialise& s);
    bool SerialiseBinary(File::cFile& stream);

    float GetParamFloat(int32_t index, int32_t field) const;
    void SetParamFloat(int32_t index, int32_t field, float value);
    int32_t GetParamInt(int32_t index, int32_t field) const;
    void SetParamInt(int32_t index, int32_t field, int32_t value);

    static const Base::cEnumTable& GetModeNames();
};

// A voice's two oscillators. Once per block the control step sets the
// pitches and the mix from the note and the modulation sums; Render writes
// the block into the first channel of the voice's view.
class cOscSection
{
public:
    void Reset();
    void SetParams(cOscSectionParams* params);

    // note: the voice's pitch in semitones. Skipped by sample voices.
    void Control(const cModulationSums& sums, float note);
    // Takes its scratch from the audio manager's buffer pool, or from the
    // pool given; without a free buffer the block is silent.
    void Render(const cAudioProcessInfo& info, const cAudioBuffer& output);
    void Render(const cAudioProcessInfo& info, const cAudioBuffer& output, cAudioBufferPool* pool);

    float GetPitchA() const { return mPitchA; }
    float GetPitchB() const { return mPitchB; }
    float GetMix() const { return mMix; }

private:
    cOscSectionParams* mParams = nullptr;
    cOscillator mOscA;
    cOscillator mOscB;
    float mPitchA = 0.0f;
    float mPitchB = 0.0f;
    float mMix = 0.0f;
};
