#pragma once
#include <cstdint>

#include "audio/Biquad.h"

struct cAudioProcessInfo;
namespace Base
{
class cSerialise;
struct cEnumTable;
}
namespace File
{
class cFile;
}

// Stored settings of a voice's filter.
struct cFilterParams
{
    enum eType : int32_t
    {
        kTypeOff = 0,
        kTypeLowPass = 1,
        kTypeBandPass = 2,
        kTypeHighPass = 3,
    };
    enum eSlope : int32_t
    {
        kSlope12 = 0, // one section
        kSlope24 = 1, // two
    };
    enum : int32_t
    {
        kFieldType = 0,
        kFieldSlope = 1,
        kFieldCutoff = 2,
        kFieldQ = 3,
        kFieldFifth = 4,
        kFieldTrack = 5,
        kVersion = 1,
    };

    int32_t Type = kTypeLowPass;
    int32_t Slope = kSlope12;
    float Cutoff = 0.0f; // knob: 120 Hz .. about 16188 Hz, exponential
    float Q = 0.0f;      // resonance knob
    // Not stored; a change only forces a redesign.
    float fifth = 0.0f;
    int32_t Track = 0; // key tracking

    bool Serialise(Base::cSerialise& s);
    bool SerialiseBinary(File::cFile& stream);

    float GetParamFloat(int32_t field) const;
    void SetParamFloat(int32_t field, float value);
    int32_t GetParamInt(int32_t field) const;
    void SetParamInt(int32_t field, int32_t value);

    static const Base::cEnumTable& GetTypeNames();
    static const Base::cEnumTable& GetSlopeNames();
};

// A voice's filter state: up to two biquad stages designed once per block
// from the settings, the filter envelope, the key and the modulation. The
// voice engine runs the stages over the voice's channel.
class cFilterSection
{
public:
    cFilterParams* params = nullptr;

    cFilterSection();

    // Clears the histories for a new note.
    void NoteStart();
    // cutoffOffset: the filter envelope's contribution; key: 0..127 for key
    // tracking; modulation: the cutoff and Q sums, or null. Returns the level
    // compensation the voice multiplies its amplitude by.
    float Update(const cAudioProcessInfo& info, float cutoffOffset, int32_t key, const float* modulation);

    int32_t GetStageCount() const { return mStages; }
    cBiquad* GetStage(int32_t stage) { return &mStage[stage]; }
    float GetKnob() const { return mKnob; }
    // The designed cutoff, a fraction of the sample rate (the first stage's
    // centre with two stages).
    float GetCutoff() const { return mCutoff; }
    float GetDesignQ() const { return mQ; }

    // 440 x 2^((key - 69) / 12) Hz, key 0..127.
    static float KeyFrequency(int32_t key);

private:
    int32_t mCachedType = 4;
    int32_t mCachedSlope = 2;
    int32_t mStages = 0;
    float mCutoff = 0.5f;
    float mKnob = 0.0f;
    float mQ = 1.0f;
    float mFifth = 0.1f;
    float mHzKnob = -1.0f; // the knob mKnobHz was computed for
    float mKnobHz = 0.0f;
    cBiquad mStage[2];
};
