#pragma once
#include <cstdint>
#include <memory>

#include "audio/Biquad.h"

// The reverb's settings as its events and patches carry them.
struct cReverbParams
{
    static constexpr int32_t kPresetCount = 12;

    int32_t enable = 1;
    int32_t preset = 3; // "Hall 1"
    float dryWet = 0.32f;
};

// A comb-and-allpass reverberator on the mono sum of its input: a predelay,
// band-limiting filters, eight damped combs in parallel, four allpasses in
// series, and a stereo spread that gives the right channel the wet signal
// 512 frames after the left. It is driven by one of twelve presets.
//
// Every line is allocated once, at the longest length a preset asks for at
// the running rate, so applying a preset on the audio thread only re-indexes.
class cReverbNetwork
{
public:
    static constexpr int32_t kCombCount = 8;
    static constexpr int32_t kAllpassCount = 4;
    static constexpr int32_t kPredelayFrames = 16384;
    static constexpr int32_t kSpreadFrames = 512;
    static constexpr int32_t kBlockFrames = 128;
    static constexpr int32_t kNoPreset = 12;

    // rate: the rate the lines are sized for (the running rate).
    cReverbNetwork(cReverbParams* params, float rate);

    // Audio thread: one block of interleaved stereo in place.
    void Process(float* samples, uint32_t frames, int32_t sampleRate);
    // Clears every line and filter memory; the settings stay.
    void Reset();

    int32_t GetAppliedPreset() const { return mAppliedPreset; }
    int32_t GetPredelayFrames() const { return mPredelayLength; }
    int32_t GetCombLength(int32_t i) const { return mCombs[i].length; }
    float GetLevel() const { return mLevel; }

private:
    struct cComb
    {
        std::unique_ptr<float[]> line;
        int32_t capacity = 0;
        int32_t length = 0;
        int32_t index = 0;
        float feedback = 0.0f;
        float state = 0.0f;
    };
    struct cAllpass
    {
        std::unique_ptr<float[]> line;
        int32_t capacity = 0;
        int32_t length = 0;
        int32_t index = 0;
    };

    void ApplyPreset(int32_t preset, int32_t sampleRate);
    void SetDecay(uint8_t x);
    void SetPredelay(uint8_t x);
    void SetSize(uint8_t x);
    void UpdateCombFeedbacks();
    void ProcessPiece(float* samples, uint32_t frames);
    void MakeMono(const float* samples, uint32_t frames);
    void RunCombs(uint32_t frames);
    void RunAllpasses(uint32_t frames);
    void Mix(float* samples, uint32_t frames);

    int32_t mSampleRate = 44100;
    int32_t mAppliedPreset = kNoPreset;
    float mLevel = 0.1f;
    uint8_t mDecay = 0, mPredelay = 0, mFeedback = 0, mLowPass = 0, mHighPass = 0, mDamping = 0, mSize = 0;
    cReverbParams* mParams;
    float mSizeFactor = 1.0f;
    std::unique_ptr<float[]> mPredelayLine;
    int32_t mPredelayLength = 0;
    int32_t mPredelayIndex = 0;
    float mPredelayFeedback = 0.0f;
    std::unique_ptr<float[]> mSpreadLine;
    int32_t mSpreadIndex = 0;
    float mDampingAmount = 0.0f;
    cBiquad mLowPassFilter;
    cBiquad mHighPassFilter;
    cComb mCombs[kCombCount];
    cAllpass mAllpasses[kAllpassCount];
    float mMono[kBlockFrames] = {};
    float mWet[kBlockFrames] = {};
};
