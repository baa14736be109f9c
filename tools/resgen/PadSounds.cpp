#include "PadSounds.h"

#include <algorithm>
#include <cmath>

// Each sound runs until its envelope has fallen 60 dB, at most two seconds.
// Filters are the topology-preserving state-variable form, stable at any
// cutoff below half the rate, so sweeps need no care.

namespace PadSounds
{
namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr float kRate = float(kSampleRate);
constexpr float kTailDb = 60.0f;
constexpr float kMaxSeconds = 2.0f;

// Frames until an exponential decay of that time constant reaches the tail.
int32_t Length(float decaySeconds, float extraSeconds = 0.0f)
{
    const float seconds = decaySeconds * kTailDb / 8.6859f + extraSeconds;
    return int32_t(std::min(seconds, kMaxSeconds) * kRate) + 1;
}

float Decay(float t, float seconds) { return std::exp(-t / seconds); }

// A repeatable white noise in -1..1.
class cNoise
{
public:
    explicit cNoise(uint32_t seed) : mState(seed * 2654435761u + 1u) {}
    float Next()
    {
        mState ^= mState << 13;
        mState ^= mState >> 17;
        mState ^= mState << 5;
        return float(int32_t(mState)) / 2147483648.0f;
    }

private:
    uint32_t mState;
};

class cFilter
{
public:
    struct cOutputs
    {
        float low, band, high;
    };

    cOutputs Step(float x, float hz, float q)
    {
        const float g = float(std::tan(kPi * std::clamp(hz, 10.0f, kRate * 0.45f) / kRate));
        const float k = 1.0f / q;
        const float high = (x - (k + g) * mBand - mLow) / (1.0f + k * g + g * g);
        const float band = g * high + mBand;
        const float low = g * band + mLow;
        mBand = g * high + band;
        mLow = g * band + low;
        return {low, band, high};
    }

private:
    float mLow = 0.0f;
    float mBand = 0.0f;
};

class cOscillator
{
public:
    float Sine(float hz)
    {
        const float y = float(std::sin(2.0 * kPi * mPhase));
        Advance(hz);
        return y;
    }
    float Square(float hz)
    {
        const float y = mPhase < 0.5 ? 1.0f : -1.0f;
        Advance(hz);
        return y;
    }
    float Saw(float hz)
    {
        const float y = float(2.0 * mPhase - 1.0);
        Advance(hz);
        return y;
    }
    double Phase() const { return mPhase; }

private:
    void Advance(float hz)
    {
        mPhase += double(hz) / kRate;
        mPhase -= std::floor(mPhase);
    }

    double mPhase = 0.0;
};

float Time(int32_t frame) { return float(frame) / kRate; }
} // namespace

cSound Kick(const cKick& s)
{
    cSound sound;
    sound.left.resize(size_t(Length(s.decaySeconds)));
    cOscillator body;
    cNoise noise(s.seed);
    cFilter clickFilter;
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        const float t = Time(int32_t(i));
        const float hz = s.endHz + (s.startHz - s.endHz) * Decay(t, s.sweepSeconds);
        const float click = clickFilter.Step(noise.Next(), 3500.0f, 0.7f).high * Decay(t, 0.0025f) * s.click;
        const float x = (body.Sine(hz) * Decay(t, s.decaySeconds) + click) * s.drive;
        sound.left[i] = std::tanh(x);
    }
    return sound;
}

cSound Snare(const cSnare& s)
{
    cSound sound;
    sound.left.resize(size_t(Length(std::max(s.toneDecay, s.noiseDecay))));
    cOscillator low, high;
    cNoise noise(s.seed);
    cFilter highPass, lowPass;
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        const float t = Time(int32_t(i));
        const float tone = (low.Sine(s.toneHz) + 0.5f * high.Sine(s.toneHz * 1.74f)) * Decay(t, s.toneDecay);
        const float band = lowPass.Step(highPass.Step(noise.Next(), s.noiseLowHz, 0.7f).high, s.noiseHighHz, 0.7f).low;
        sound.left[i] = s.toneMix * tone + (1.0f - s.toneMix) * 2.0f * band * Decay(t, s.noiseDecay);
    }
    return sound;
}

cSound Clap(const cClap& s)
{
    cSound sound;
    const float tailStart = s.spacingSeconds * float(s.bursts - 1);
    sound.left.resize(size_t(Length(s.tailDecay, tailStart)));
    cNoise noise(s.seed);
    cFilter filter;
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        const float t = Time(int32_t(i));
        float envelope = 0.0f;
        for (int32_t b = 0; b < s.bursts; ++b)
        {
            const float since = t - s.spacingSeconds * float(b);
            if (since >= 0.0f)
                envelope = std::max(envelope, Decay(since, b + 1 == s.bursts ? s.tailDecay : 0.004f));
        }
        sound.left[i] = 3.0f * filter.Step(noise.Next(), s.centreHz, 1.6f).band * envelope;
    }
    return sound;
}

cSound Metal(const cMetal& s)
{
    static constexpr float kRatios[6] = {2.0f, 3.0f, 4.16f, 5.43f, 6.79f, 8.21f};
    cSound sound;
    sound.left.resize(size_t(Length(s.decaySeconds, s.attackSeconds)));
    cOscillator partials[6];
    cNoise noise(s.seed);
    cFilter first, second;
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        const float t = Time(int32_t(i));
        float metal = 0.0f;
        for (int32_t p = 0; p < 6; ++p)
            metal += partials[p].Square(s.baseHz * kRatios[p]) / 6.0f;
        const float x = (1.0f - s.noiseMix) * metal + s.noiseMix * noise.Next();
        const float y = second.Step(first.Step(x, s.highPassHz, 0.8f).high, s.highPassHz, 0.8f).high;
        const float attack = s.attackSeconds > 0.0f ? std::min(1.0f, t / s.attackSeconds) : 1.0f;
        sound.left[i] = 2.5f * y * attack * Decay(std::max(0.0f, t - s.attackSeconds), s.decaySeconds);
    }
    return sound;
}

cSound Tom(const cTom& s)
{
    cSound sound;
    sound.left.resize(size_t(Length(s.decaySeconds)));
    cOscillator body;
    cNoise noise(s.seed);
    cFilter filter;
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        const float t = Time(int32_t(i));
        const float hz = s.endHz + (s.startHz - s.endHz) * Decay(t, s.sweepSeconds);
        const float skin = filter.Step(noise.Next(), hz * 4.0f, 1.0f).band * s.noise * Decay(t, 0.03f);
        sound.left[i] = std::tanh(1.3f * (body.Sine(hz) * Decay(t, s.decaySeconds) + skin));
    }
    return sound;
}

cSound Block(const cBlock& s)
{
    cSound sound;
    sound.left.resize(size_t(Length(s.decaySeconds, 0.002f)));
    cOscillator first, second;
    cNoise noise(s.seed);
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        const float t = Time(int32_t(i));
        const float click = noise.Next() * Decay(t, 0.0008f) * 0.5f;
        const float tone = first.Sine(s.hz) + s.overtoneMix * second.Sine(s.hz * s.overtone);
        sound.left[i] = tone * Decay(t, s.decaySeconds) + click;
    }
    return sound;
}

cSound Cowbell(const cCowbell& s)
{
    cSound sound;
    sound.left.resize(size_t(Length(s.decaySeconds)));
    cOscillator low, high;
    cFilter filter;
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        const float t = Time(int32_t(i));
        const float x = 0.5f * (low.Square(s.lowHz) + high.Square(s.highHz));
        const float envelope = 0.6f * Decay(t, s.decaySeconds) + 0.4f * Decay(t, 0.015f);
        sound.left[i] = 1.5f * filter.Step(x, 900.0f, 1.2f).band * envelope;
    }
    return sound;
}

cSound Shaker(const cShaker& s)
{
    cSound sound;
    sound.left.resize(size_t(Length(s.decaySeconds, s.attackSeconds)));
    cNoise noise(s.seed);
    cFilter filter;
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        const float t = Time(int32_t(i));
        const float envelope =
            t < s.attackSeconds ? t / s.attackSeconds : Decay(t - s.attackSeconds, s.decaySeconds);
        sound.left[i] = filter.Step(noise.Next(), s.highPassHz, 0.7f).high * envelope;
    }
    return sound;
}

cSound Tonal(const cTonal& s)
{
    cSound sound;
    sound.left.resize(size_t(Length(s.decaySeconds)));
    cOscillator partials[4];
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        const float t = Time(int32_t(i));
        const float bend = std::exp2(s.pitchDrop * Decay(t, 0.03f) / 12.0f);
        float x = 0.0f;
        for (int32_t p = 0; p < 4; ++p)
            x += s.levels[p] * partials[p].Sine(s.hz * s.partials[p] * bend) *
                 Decay(t, s.decaySeconds / (1.0f + s.partialDecay * float(p)));
        const float attack = std::min(1.0f, t / 0.002f);
        sound.left[i] = x * attack;
    }
    return sound;
}

cSound FM(const cFM& s)
{
    cSound sound;
    sound.left.resize(size_t(Length(s.decaySeconds)));
    cOscillator carrier, modulator;
    for (size_t i = 0; i < sound.left.size(); ++i)
    {
        const float t = Time(int32_t(i));
        const float hz = s.sweepToHz > 0.0f ? s.sweepToHz + (s.carrierHz - s.sweepToHz) * Decay(t, s.sweepSeconds)
                                            : s.carrierHz;
        const float index = s.index * Decay(t, s.indexDecaySeconds);
        const float modulation = modulator.Sine(hz * s.ratio) * index;
        sound.left[i] = carrier.Sine(hz * (1.0f + 0.1f * modulation)) * Decay(t, s.decaySeconds);
    }
    return sound;
}

cSound Stab(const cStab& s)
{
    cSound sound;
    const size_t frames = size_t(Length(s.decaySeconds));
    sound.left.resize(frames);
    sound.right.resize(frames);
    cOscillator left[4], right[4];
    cFilter leftFilter, rightFilter;
    for (size_t i = 0; i < frames; ++i)
    {
        const float t = Time(int32_t(i));
        float l = 0.0f, r = 0.0f;
        for (int32_t n = 0; n < 4; ++n)
        {
            const float hz = s.rootHz * std::exp2(s.intervals[n] / 12.0f);
            l += left[n].Saw(hz * std::exp2(-s.detuneCents / 1200.0f)) * 0.25f;
            r += right[n].Saw(hz * std::exp2(s.detuneCents / 1200.0f)) * 0.25f;
        }
        const float cutoff = s.cutoffEndHz + (s.cutoffHz - s.cutoffEndHz) * Decay(t, s.decaySeconds * 0.4f);
        const float envelope = Decay(t, s.decaySeconds) * std::min(1.0f, t / 0.003f);
        sound.left[i] = leftFilter.Step(l, cutoff, 1.1f).low * envelope;
        sound.right[i] = rightFilter.Step(r, cutoff, 1.1f).low * envelope;
    }
    return sound;
}

void Darken(cSound& sound, float cutoffHz)
{
    const float a = float(std::exp(-2.0 * kPi * cutoffHz / kRate));
    for (std::vector<float>* channel : {&sound.left, &sound.right})
    {
        float y = 0.0f;
        for (float& x : *channel)
            x = y = (1.0f - a) * x + a * y;
    }
}

void Normalise(cSound& sound, float peak)
{
    float highest = 0.0f;
    for (const std::vector<float>* channel : {&sound.left, &sound.right})
        for (float x : *channel)
            highest = std::max(highest, std::fabs(x));
    if (highest <= 0.0f)
        return;
    const float scale = peak / highest;
    for (std::vector<float>* channel : {&sound.left, &sound.right})
        for (float& x : *channel)
            x *= scale;
}

void FadeTail(cSound& sound, int32_t frames)
{
    for (std::vector<float>* channel : {&sound.left, &sound.right})
    {
        const size_t n = std::min(channel->size(), size_t(std::max(frames, 1)));
        for (size_t i = 0; i < n; ++i)
            (*channel)[channel->size() - 1 - i] *= float(i) / float(n);
    }
}
} // namespace PadSounds
