#pragma once
#include <cstdint>

// Three cascaded stages per channel: a first-order low shelf, a first-order
// high shelf and a peaking biquad for the mid band. Each shelf puts a pole
// and a zero a gain apart; the high shelf's gain at DC is normalised to 1,
// and that normalisation (and the optional gain compensation) is folded into
// the mid band's numerator, so the three stages cost one pass.
class cThreeBandEQ
{
public:
    // Shelf gains are held within this many dB.
    static constexpr float kShelfLimitDb = 30.0f;

    cThreeBandEQ();

    // f is the corner as a fraction of the sample rate.
    void SetLowShelf(float f, float dB);
    void SetHighShelf(float f, float dB);
    // The audio-EQ-cookbook peaking band with its width in octaves.
    void SetMidPeak(float f, float dB, float octaves);
    void SetGainComp(bool on) { mGainComp = on ? 1 : 0; }
    bool GetGainComp() const { return mGainComp != 0; }
    // Folds the shelf normalisation and the gain compensation into the mid
    // band's numerator.
    void UpdateOutputGains();
    // Interleaved stereo, in place.
    void Process(float* samples, uint32_t frames);
    // Clears the twelve state values.
    void ClearState();

    float GetOutputGain() const { return mOutputGain; }

private:
    struct cChannelState
    {
        float input = 0.0f; // previous input
        float low = 0.0f;   // previous low-shelf output
        float high1 = 0.0f; // high-shelf outputs n-1, n-2
        float high2 = 0.0f;
        float out1 = 0.0f; // outputs n-1, n-2
        float out2 = 0.0f;
    };

    void ProcessChannel(float* samples, uint32_t frames, cChannelState& state) const;

    int32_t mGainComp = 0;
    float mLowGain = 0.0f;
    float mMidGain = 0.0f;
    float mHighGain = 0.0f;
    float mShelfNorm = 1.0f;
    float mOutputGain = 1.0f;
    float mB0 = 1.0f, mB1 = 1.0f, mB2 = 1.0f, mA1 = 0.0f, mA2 = 0.0f;
    float mOutB0 = 1.0f, mOutB1 = 1.0f, mOutB2 = 1.0f;
    float mLowPole = 0.0f, mLowZero = 0.0f;   // both negated
    float mHighPole = 0.0f, mHighZero = 0.0f; // pole negated
    cChannelState mState[2];
};
