#pragma once
#include <cstdint>
#include <vector>

// Drum and hit sounds made from oscillators, noise and filters, for the pad
// instrument's factory kits. Every sound is a pure function of its settings
// and its seed, so the kits come out the same on every build.
namespace PadSounds
{
constexpr int32_t kSampleRate = 44100;

// One sound: mono, or stereo with right filled.
struct cSound
{
    std::vector<float> left;
    std::vector<float> right;
    bool IsStereo() const { return !right.empty(); }
};

struct cKick
{
    float startHz = 160.0f;
    float endHz = 48.0f;
    float sweepSeconds = 0.035f;
    float decaySeconds = 0.2f;
    float click = 0.4f;
    float drive = 1.5f; // soft clipping, 1 for none
    uint32_t seed = 1;
};

struct cSnare
{
    float toneHz = 190.0f;
    float toneDecay = 0.06f;
    float noiseDecay = 0.11f;
    float noiseLowHz = 1800.0f; // the noise band
    float noiseHighHz = 9000.0f;
    float toneMix = 0.45f;
    uint32_t seed = 2;
};

struct cClap
{
    int32_t bursts = 4;
    float spacingSeconds = 0.011f;
    float tailDecay = 0.16f;
    float centreHz = 1300.0f;
    uint32_t seed = 3;
};

// Metallic noise: inharmonic squares and noise above a high-pass.
struct cMetal
{
    float baseHz = 320.0f;
    float decaySeconds = 0.06f;
    float highPassHz = 7000.0f;
    float noiseMix = 0.5f;
    float attackSeconds = 0.0f;
    uint32_t seed = 4;
};

struct cTom
{
    float startHz = 180.0f;
    float endHz = 120.0f;
    float sweepSeconds = 0.12f;
    float decaySeconds = 0.3f;
    float noise = 0.15f;
    uint32_t seed = 5;
};

// A short tone with a click: rims, claves, wood blocks.
struct cBlock
{
    float hz = 1700.0f;
    float decaySeconds = 0.025f;
    float overtone = 2.3f; // ratio of the second partial
    float overtoneMix = 0.4f;
    uint32_t seed = 6;
};

struct cCowbell
{
    float lowHz = 545.0f;
    float highHz = 815.0f;
    float decaySeconds = 0.22f;
};

struct cShaker
{
    float attackSeconds = 0.012f;
    float decaySeconds = 0.09f;
    float highPassHz = 4500.0f;
    uint32_t seed = 7;
};

// A pitched hit of a few partials: bass hits, marimba bars, bells.
struct cTonal
{
    float hz = 110.0f;
    float decaySeconds = 0.45f;
    float pitchDrop = 0.0f;      // semitones the pitch falls at the start
    float partials[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    float levels[4] = {1.0f, 0.3f, 0.1f, 0.05f};
    float partialDecay = 1.0f;   // higher partials decay this much faster per step
};

// Two operators: a bell or a zap.
struct cFM
{
    float carrierHz = 660.0f;
    float ratio = 3.5f;
    float index = 4.0f;
    float decaySeconds = 1.4f;
    float indexDecaySeconds = 0.4f;
    float sweepToHz = 0.0f; // 0: no sweep of the carrier
    float sweepSeconds = 0.1f;
};

// A detuned chord of saw waves under a closing low-pass, in stereo.
struct cStab
{
    float rootHz = 220.0f;
    float intervals[4] = {0.0f, 3.0f, 7.0f, 10.0f}; // semitones above the root
    float detuneCents = 9.0f;
    float decaySeconds = 0.45f;
    float cutoffHz = 4000.0f;
    float cutoffEndHz = 400.0f;
};

cSound Kick(const cKick& settings);
cSound Snare(const cSnare& settings);
cSound Clap(const cClap& settings);
cSound Metal(const cMetal& settings);
cSound Tom(const cTom& settings);
cSound Block(const cBlock& settings);
cSound Cowbell(const cCowbell& settings);
cSound Shaker(const cShaker& settings);
cSound Tonal(const cTonal& settings);
cSound FM(const cFM& settings);
cSound Stab(const cStab& settings);

// Darkens a sound with a one-pole low-pass (a softer kit's character).
void Darken(cSound& sound, float cutoffHz);
// Scales the sound so its peak is at the level; silence stays silence.
void Normalise(cSound& sound, float peak);
// Fades the last frames out, so a sound cut at its length ends without a click.
void FadeTail(cSound& sound, int32_t frames);
} // namespace PadSounds
