#pragma once
#include "audio/Biquad.h"
#include "mixer/Effect.h"

// The one-band filter's settings as the audio thread holds them.
struct cOneBandFilterParams
{
    enum : int32_t
    {
        kChangeNone = 0,
        kChangeCoefficients = 1,
        kChangeAll = 0x7fffffff, // clear the filter state, then recompute
    };
    enum eType : int32_t
    {
        kTypeOff = 0,
        kTypeLowPass = 1,
        kTypeBandPass = 2,
        kTypeHighPass = 3,
    };

    int32_t changes = kChangeAll;
    int32_t enable = 0;
    int32_t type = kTypeLowPass;
    float cutoff = 1600.0f; // Hz
    float q = 1.0f;
};

// "FILTER-1B": one two-pole low-, band- or high-pass over both channels,
// faded in and out as it is switched. Built whole but never registered, so
// only tests reach it. Its ids are the bare parameter numbers; only their
// low byte is read.
class cEffect1BandFilter : public cEffect
{
public:
    enum : uint32_t
    {
        kParamEnable = 0,
        kParamType = 1,
        kParamCutoff = 2,
        kParamQ = 3,
    };
    static constexpr float kMinCutoff = 120.0f;
    static constexpr float kMaxCutoff = 16187.5f;
    static constexpr float kMinQ = 1.0f;
    static constexpr float kMaxQ = 12.0f;

    explicit cEffect1BandFilter(cEffectPackage* package);

    // Knob positions 0..1 to hertz and Q, and back.
    static float CutoffFromPosition(float position);
    static float PositionFromCutoff(float hertz);
    static float QFromPosition(float position);
    static float PositionFromQ(float q);

    float GetParamFloat(uint32_t id) override;
    int32_t GetParamInt(uint32_t id) override;
    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override;
    int32_t HandleEvent(const cAudioEvent& event) override;
    bool Serialise(Base::cSerialise& serialise) override;
    void Reset() override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;

    const cOneBandFilterParams& GetParams() const { return mParams; }
    const cBiquad& GetSection(int32_t channel) const { return mSections[channel]; }

protected:
    // Applies pending changes at the block's rate; false when the unit was
    // and is off, so the block passes untouched.
    bool BeginBlock(const cAudioProcessInfo& info, const cAudioBuffer& buffer);
    // The two sections over the block, faded when Enable just changed.
    void FilterBlock(cAudioBuffer& buffer);
    void EndBlock() { mWasEnabled = mParams.enable; }

private:
    void Recompute(float secondsPerSample);

    cOneBandFilterParams mParams;
    cBiquad mSections[2];
    int32_t mWasEnabled = 0;
};

class cEffect1BandFilterPackage : public cEffectPackage
{
public:
    cEffect1BandFilterPackage();
    cEffect* CreateEffect() override;
};
