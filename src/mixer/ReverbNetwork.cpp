#include "mixer/ReverbNetwork.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/AudioBuffer.h"

namespace
{
// The columns of a preset: level 0..255, the rest 0..127.
struct cPreset
{
    uint8_t level, decay, predelay, feedback, lowPass, highPass, damping, size;
};

const cPreset kPresets[cReverbParams::kPresetCount] = {
    {40, 63, 24, 0, 85, 5, 83, 64},    {40, 69, 35, 0, 127, 0, 71, 64},   {45, 60, 10, 0, 127, 21, 78, 64},
    {50, 51, 10, 0, 127, 21, 78, 64},  {45, 45, 10, 0, 127, 0, 106, 56},  {55, 40, 5, 0, 127, 0, 106, 50},
    {35, 33, 0, 0, 127, 0, 106, 30},   {60, 21, 15, 0, 62, 0, 77, 45},    {70, 21, 26, 0, 127, 0, 77, 45},
    {40, 16, 0, 0, 127, 5, 71, 25},    {40, 14, 0, 0, 90, 0, 71, 25},     {40, 12, 0, 0, 60, 0, 71, 25},
};

// Delay lengths in samples at 44100 Hz and size factor 1.
const int32_t kCombTunings[cReverbNetwork::kCombCount] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
const int32_t kAllpassTunings[cReverbNetwork::kAllpassCount] = {225, 341, 441, 556};

constexpr float kTuningRate = 44100.0f;
constexpr int32_t kShortestLine = 10;
constexpr float kAllpassGain = 0.7f;
// The low-pass is off at its top setting, the high-pass at its bottom.
constexpr uint8_t kLowPassOff = 127;
constexpr uint8_t kHighPassOff = 0;
constexpr float kFilterQ = 1.0f;
constexpr float kDenormalGuard = 1.0e-18f;

int32_t LineLength(float rate, int32_t tuning, float sizeFactor)
{
    const float length = rate / kTuningRate * float(tuning) * sizeFactor;
    return std::max(kShortestLine, int32_t(std::min(length, 1.0e9f)));
}

float FilterHz(uint8_t x, float offset) { return std::pow(10000.0f, std::sqrt(float(x) / 127.0f)) + offset; }
} // namespace

cReverbNetwork::cReverbNetwork(cReverbParams* params, float rate)
    : mParams(params)
    , mPredelayLine(new float[kPredelayFrames]())
    , mSpreadLine(new float[kSpreadFrames]())
{
    // No preset makes a line longer than at size factor 1.
    const float sizedRate = std::max(kTuningRate, std::isfinite(rate) ? std::min(rate, 384000.0f) : 0.0f);
    for (int32_t i = 0; i < kCombCount; ++i)
    {
        mCombs[i].capacity = LineLength(sizedRate, kCombTunings[i], 1.0f);
        mCombs[i].line.reset(new float[size_t(mCombs[i].capacity)]());
    }
    for (int32_t i = 0; i < kAllpassCount; ++i)
    {
        mAllpasses[i].capacity = LineLength(sizedRate, kAllpassTunings[i], 1.0f);
        mAllpasses[i].line.reset(new float[size_t(mAllpasses[i].capacity)]());
    }
    ApplyPreset(3, int32_t(kTuningRate));
    Reset();
}

void cReverbNetwork::Reset()
{
    for (cComb& comb : mCombs)
    {
        std::memset(comb.line.get(), 0, size_t(comb.capacity) * sizeof(float));
        comb.index = 0;
        comb.state = 0.0f;
    }
    for (cAllpass& allpass : mAllpasses)
    {
        std::memset(allpass.line.get(), 0, size_t(allpass.capacity) * sizeof(float));
        allpass.index = 0;
    }
    mLowPassFilter.ClearHistory();
    mHighPassFilter.ClearHistory();
    std::memset(mPredelayLine.get(), 0, kPredelayFrames * sizeof(float));
    std::memset(mSpreadLine.get(), 0, kSpreadFrames * sizeof(float));
    mPredelayIndex = 0;
    mSpreadIndex = 0;
}

// T60 = 60^(x / 127) - 0.97 seconds; each comb falls by 60 dB in it.
void cReverbNetwork::SetDecay(uint8_t x)
{
    mDecay = x;
    UpdateCombFeedbacks();
}

void cReverbNetwork::UpdateCombFeedbacks()
{
    const float t60 = std::pow(60.0f, float(mDecay) / 127.0f) - 0.97f;
    for (cComb& comb : mCombs)
        comb.feedback = -std::pow(0.001f, float(comb.length) / (float(mSampleRate) * t60));
}

void cReverbNetwork::SetPredelay(uint8_t x)
{
    mPredelay = x;
    const float ms = (50.0f * float(x) / 127.0f) * (50.0f * float(x) / 127.0f) - 1.0f;
    const int32_t length = std::min(int32_t(ms * float(mSampleRate) / 1000.0f), kPredelayFrames);
    if (length != mPredelayLength)
    {
        std::memset(mPredelayLine.get(), 0, kPredelayFrames * sizeof(float));
        mPredelayIndex = 0;
    }
    mPredelayLength = length;
}

// The lines are only re-indexed: their memory was sized for size factor 1.
void cReverbNetwork::SetSize(uint8_t x)
{
    mSize = x;
    float s = (float(x) - 64.0f) / 64.0f;
    if (s > 0.0f)
        s *= 2.0f;
    mSizeFactor = std::pow(10.0f, s);
    for (int32_t i = 0; i < kCombCount; ++i)
    {
        cComb& comb = mCombs[i];
        comb.length = std::min(LineLength(float(mSampleRate), kCombTunings[i], mSizeFactor), comb.capacity);
        comb.index = 0;
        comb.state = 0.0f;
        std::memset(comb.line.get(), 0, size_t(comb.capacity) * sizeof(float));
    }
    for (int32_t i = 0; i < kAllpassCount; ++i)
    {
        cAllpass& allpass = mAllpasses[i];
        allpass.length = std::min(LineLength(float(mSampleRate), kAllpassTunings[i], mSizeFactor), allpass.capacity);
        allpass.index = 0;
        std::memset(allpass.line.get(), 0, size_t(allpass.capacity) * sizeof(float));
    }
    UpdateCombFeedbacks();
}

void cReverbNetwork::ApplyPreset(int32_t preset, int32_t sampleRate)
{
    mSampleRate = sampleRate;
    const cPreset& row = kPresets[preset];
    mLevel = float(row.level) / 255.0f;
    SetDecay(row.decay);
    SetPredelay(row.predelay);
    mFeedback = row.feedback;
    mPredelayFeedback = float(row.feedback) / 128.0f;
    mLowPass = row.lowPass;
    if (mLowPass != kLowPassOff)
        mLowPassFilter.SetLowPass(FilterHz(mLowPass, 40.0f) / float(sampleRate), kFilterQ, 1.0f);
    mHighPass = row.highPass;
    if (mHighPass != kHighPassOff)
        mHighPassFilter.SetHighPass(FilterHz(mHighPass, 20.0f) / float(sampleRate), kFilterQ, 1.0f);
    mDamping = std::max<uint8_t>(row.damping, 64);
    const float damping = (float(mDamping) - 64.0f) / 64.1f;
    mDampingAmount = mDamping > 64 ? damping * damping : 0.0f;
    SetSize(row.size);
    mAppliedPreset = preset;
}

void cReverbNetwork::Process(float* samples, uint32_t frames, int32_t sampleRate)
{
    const int32_t preset = mParams->preset;
    if (preset < 0 || preset >= cReverbParams::kPresetCount || sampleRate <= 0)
        return;
    if (preset != mAppliedPreset || sampleRate != mSampleRate)
    {
        ApplyPreset(preset, sampleRate);
        // A new preset restarts the tail.
        Reset();
    }
    for (uint32_t done = 0; done < frames; done += kBlockFrames)
        ProcessPiece(samples + done * 2, std::min<uint32_t>(kBlockFrames, frames - done));
}

void cReverbNetwork::ProcessPiece(float* samples, uint32_t frames)
{
    MakeMono(samples, frames);
    cAudioBuffer mono;
    mono.Describe(kAudioFormatFloat, frames, 1, mMono);
    cBiquad* lowPass = &mLowPassFilter;
    cBiquad* highPass = &mHighPassFilter;
    if (mLowPass != kLowPassOff)
        ProcessBiquadChannels(mono, &lowPass, 1);
    if (mHighPass != kHighPassOff)
        ProcessBiquadChannels(mono, &highPass, 1);
    std::memset(mWet, 0, frames * sizeof(float));
    RunCombs(frames);
    RunAllpasses(frames);
    Mix(samples, frames);
}

void cReverbNetwork::MakeMono(const float* samples, uint32_t frames)
{
    for (uint32_t f = 0; f < frames; ++f)
        mMono[f] = (samples[f * 2] + samples[f * 2 + 1]) * 0.5f;
    if (mPredelayLength <= 0)
        return;
    for (uint32_t f = 0; f < frames; ++f)
    {
        const float delayed = mPredelayLine[mPredelayIndex];
        mPredelayLine[mPredelayIndex] = mMono[f] + delayed * mPredelayFeedback;
        mMono[f] = delayed;
        if (++mPredelayIndex >= mPredelayLength)
            mPredelayIndex = 0;
    }
}

// Each line is walked in runs up to its wrap, so the inner loops test no index.
void cReverbNetwork::RunCombs(uint32_t frames)
{
    const float damping = mDampingAmount;
    for (cComb& comb : mCombs)
    {
        float* line = comb.line.get();
        const float gain = comb.feedback * (1.0f - damping);
        float state = comb.state;
        for (uint32_t f = 0; f < frames;)
        {
            const uint32_t run = std::min(frames - f, uint32_t(comb.length - comb.index));
            float* tap = line + comb.index;
            for (uint32_t i = 0; i < run; ++i)
            {
                state = state * damping + tap[i] * gain;
                state = (state + kDenormalGuard) - kDenormalGuard;
                tap[i] = mMono[f + i] + state;
                mWet[f + i] += state;
            }
            f += run;
            comb.index += int32_t(run);
            if (comb.index >= comb.length)
                comb.index = 0;
        }
        comb.state = state;
    }
}

void cReverbNetwork::RunAllpasses(uint32_t frames)
{
    for (cAllpass& allpass : mAllpasses)
    {
        float* line = allpass.line.get();
        for (uint32_t f = 0; f < frames;)
        {
            const uint32_t run = std::min(frames - f, uint32_t(allpass.length - allpass.index));
            float* tap = line + allpass.index;
            for (uint32_t i = 0; i < run; ++i)
            {
                const float b = tap[i];
                const float c = b * kAllpassGain + mWet[f + i];
                tap[i] = c;
                mWet[f + i] = b - c * kAllpassGain;
            }
            f += run;
            allpass.index += int32_t(run);
            if (allpass.index >= allpass.length)
                allpass.index = 0;
        }
    }
}

// Up to 0.75 the dry signal stays whole while the wet one rises; beyond it
// the dry one falls away.
void cReverbNetwork::Mix(float* samples, uint32_t frames)
{
    const float w = std::clamp(mParams->dryWet, 0.0f, 1.0f);
    const float fall = 4.0f * (1.0f - w);
    const float rise = w / 0.75f;
    const float dryGain = w <= 0.75f ? 1.0f : fall * fall * fall;
    const float wetGain = mLevel * (w <= 0.75f ? rise * rise * rise : 1.0f);
    for (uint32_t f = 0; f < frames; ++f)
    {
        const float wet = mWet[f] * wetGain;
        samples[f * 2] = samples[f * 2] * dryGain + wet;
        samples[f * 2 + 1] = samples[f * 2 + 1] * dryGain + mSpreadLine[mSpreadIndex];
        mSpreadLine[mSpreadIndex] = wet;
        if (++mSpreadIndex >= kSpreadFrames)
            mSpreadIndex = 0;
    }
}
