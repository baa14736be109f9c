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

int32_t LineLength(float rate, int32_t tuning, float sizeFactor)
{
    const float length = rate / kTuningRate * float(tuning) * sizeFactor;
    return std::max(kShortestLine, int32_t(std::min(length, 1.0e9f)));
}

// The predelay over a span of its line that no frame of the span wraps:
// each frame takes the line's old sample and leaves its own in its place.
void DelaySpan(float* __restrict tap, float* __restrict mono, uint32_t count, float feedback)
{
    for (uint32_t i = 0; i < count; ++i)
    {
        const float delayed = tap[i];
        tap[i] = mono[i] + delayed * feedback;
        mono[i] = delayed;
    }
}

// The wet signal into a span of interleaved frames: straight into the left,
// through the spread line (a span of it that does not wrap) into the right.
void MixSpan(float* __restrict samples, const float* __restrict wet, float* __restrict spread, uint32_t count,
             float dryGain, float wetGain)
{
    for (uint32_t i = 0; i < count; ++i)
    {
        const float w = wet[i] * wetGain;
        samples[i * 2] = samples[i * 2] * dryGain + w;
        samples[i * 2 + 1] = samples[i * 2 + 1] * dryGain + spread[i];
        spread[i] = w;
    }
}

// One allpass over a span of its line that no frame of the span wraps.
void RunAllpassSpan(float* __restrict tap, float* __restrict wet, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
    {
        const float b = tap[i];
        const float c = b * kAllpassGain + wet[i];
        tap[i] = c;
        wet[i] = b - c * kAllpassGain;
    }
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
    for (uint32_t f = 0; f < frames;)
    {
        const uint32_t run = std::min(frames - f, uint32_t(mPredelayLength - mPredelayIndex));
        DelaySpan(mPredelayLine.get() + mPredelayIndex, mMono + f, run, mPredelayFeedback);
        f += run;
        mPredelayIndex += int32_t(run);
        if (mPredelayIndex >= mPredelayLength)
            mPredelayIndex = 0;
    }
}

// The eight combs run side by side, one per lane of two vectors, so their
// feedback chains overlap; each lane computes what its comb alone would.
// The lines are walked in runs up to the nearest wrap, so the inner loop
// tests no index.
void cReverbNetwork::RunCombs(uint32_t frames)
{
    using tLanes = float __attribute__((vector_size(16)));
    constexpr int kHalf = kCombCount / 2;
    const float damping = mDampingAmount;
    tLanes gain[2], state[2];
    for (int32_t c = 0; c < kCombCount; ++c)
    {
        gain[c / kHalf][c % kHalf] = mCombs[c].feedback * (1.0f - damping);
        state[c / kHalf][c % kHalf] = mCombs[c].state;
    }
    const float* __restrict mono = mMono;
    float* __restrict wet = mWet;
    for (uint32_t f = 0; f < frames;)
    {
        uint32_t run = frames - f;
        float* taps[kCombCount];
        for (int32_t c = 0; c < kCombCount; ++c)
        {
            run = std::min(run, uint32_t(mCombs[c].length - mCombs[c].index));
            taps[c] = mCombs[c].line.get() + mCombs[c].index;
        }
        for (uint32_t i = 0; i < run; ++i)
        {
            float sum = 0.0f;
            for (int h = 0; h < 2; ++h)
            {
                float* const* tap = taps + h * kHalf;
                const tLanes read = {tap[0][i], tap[1][i], tap[2][i], tap[3][i]};
                state[h] = state[h] * damping + read * gain[h];
                const tLanes written = mono[f + i] + state[h];
                for (int k = 0; k < kHalf; ++k)
                {
                    tap[k][i] = written[k];
                    sum += state[h][k];
                }
            }
            wet[f + i] = sum;
        }
        f += run;
        for (cComb& comb : mCombs)
        {
            comb.index += int32_t(run);
            if (comb.index >= comb.length)
                comb.index = 0;
        }
    }
    for (int32_t c = 0; c < kCombCount; ++c)
        mCombs[c].state = state[c / kHalf][c % kHalf];
}

// Within a run each position of a line is read and written once, so the
// frames of a run are independent and go four at a time.
void cReverbNetwork::RunAllpasses(uint32_t frames)
{
    for (cAllpass& allpass : mAllpasses)
    {
        float* line = allpass.line.get();
        for (uint32_t f = 0; f < frames;)
        {
            const uint32_t run = std::min(frames - f, uint32_t(allpass.length - allpass.index));
            RunAllpassSpan(line + allpass.index, mWet + f, run);
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
    for (uint32_t f = 0; f < frames;)
    {
        const uint32_t run = std::min(frames - f, uint32_t(kSpreadFrames - mSpreadIndex));
        MixSpan(samples + f * 2, mWet + f, mSpreadLine.get() + mSpreadIndex, run, dryGain, wetGain);
        f += run;
        mSpreadIndex += int32_t(run);
        if (mSpreadIndex >= kSpreadFrames)
            mSpreadIndex = 0;
    }
}
