#pragma once
#include <cstdint>

#include "audio/WaveList.h"
#include "audio/Wavetable.h"
#include "base/Random.h"

struct cAudioBuffer;
struct cAudioProcessInfo;
namespace Base
{
class cSerialise;
}
namespace File
{
class cFile;
}

// 440 x 2^((note - 69) / 12) Hz in single precision; note 69 is A4.
float NoteToFrequency(float note);

// The white-noise generator every noise oscillator shares. Only the audio
// thread draws from it, so nothing races with the main thread's RandomInt.
extern cRandom gNoiseRandom;

// An oscillator's stored settings, kept in synthesizer patches.
struct cOscillatorParams
{
    int32_t Wave = 0;   // index into the wave list; outside it plays as "OFF"
    float Trans = 0.0f; // semitones
    float Tune = 0.0f;  // semitones, -1..1

    // Inside the element the caller opened: "Version", "Wave" by name, "Trans", "Tune".
    bool Serialise(Base::cSerialise& serialise);
    // Version word (absent in legacy patch data, where it counts as 1), then
    // Wave, Trans and Tune; one routine for both directions.
    bool SerialiseBinary(File::cFile& stream, bool legacy);
};

// Renders one wave of the list into one channel of a float block at a note.
// Lives inside its owner (a voice, the click) and keeps its phase across
// blocks and notes; the owner resets it.
class cOscillator
{
public:
    // What Prepare reports about the block.
    enum : uint32_t
    {
        kPreparedDone = 1,   // silence or noise is already written
        kPreparedSmooth = 2, // a smooth wave: worth interpolating at the middle quality
    };

    // Forgets the settings, the table and the phase; the owner then points
    // it at its settings.
    void Reset();
    void SetParams(const cOscillatorParams* params) { mParams = params; }

    // Follows a change of wave (restarting the phase when the table changes)
    // and writes the waves that need no table.
    uint32_t Prepare(cAudioBuffer& buffer);
    // One block at note + Trans + Tune; phaseOffset, a fraction of a cycle,
    // shifts this block only.
    void Render(const cAudioProcessInfo& info, cAudioBuffer& buffer, float note, float phaseOffset);
    // The same, restarting with every cycle of a master at masterNote plus the
    // master's own Trans and Tune. The master is not rendered here.
    void RenderSynced(const cAudioProcessInfo& info, cAudioBuffer& buffer, float note, float masterNote,
                      const cOscillatorParams& master);

    int32_t GetWave() const { return mWave; }
    cWavetableOsc& GetTableOsc() { return mTableOsc; }

private:
    bool Interpolates(const cAudioProcessInfo& info, uint32_t prepared) const;

    // A note's frequency remembered from the last block: most notes hold
    // their pitch for many blocks, and the power is the costliest step of
    // the block's set-up.
    struct cPitchMemo
    {
        float note = 0.0f;
        float frequency = 0.0f;
        bool known = false;
        float Frequency(float wanted);
    };

    const cOscillatorParams* mParams = nullptr;
    cWavetableOsc mTableOsc;
    int32_t mWave = kWaveNone;
    cPitchMemo mPitch;
    cPitchMemo mMasterPitch;
};
