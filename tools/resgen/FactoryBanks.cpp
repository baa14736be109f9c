// The factory presets. Each is the init single changed by a few strokes of
// the helpers below, which speak the editor's language: waves, filter and
// envelope knobs (0..1), LFO rates in Hz, routings in percent.
//
// Knob guide: filter cutoff 0 is 120 Hz and 1 about 16 kHz (0.3 ~ 520 Hz,
// 0.5 ~ 1.4 kHz); the filter envelope adds its output times its amount to the
// cutoff knob. Attack 0.2 ~ 80 ms, 0.3 ~ 0.27 s, 0.45 ~ 0.9 s; decay and
// release 0.3 ~ 0.28 s, 0.5 ~ 1.3 s, 0.6 ~ 2.2 s.
#include "FactoryBanks.h"

#include "audio/WaveList.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace
{
using tPatch = cAnalogueSynthSingle;
using tDesign = void (*)(tPatch&);

struct cPresetDesign
{
    const char* name;
    tDesign design;
};

enum : int32_t
{
    kSine = kWaveSine,
    kTriangle = kWaveTriangle,
    kSaw = kWaveSaw,
    kSquare = kWaveSquare,
    kPulse = 5,
    kSawSqr = 6,
    kSawTri = 7,
    kVintSaw1 = 8,
    kVintSaw2 = 9,
    kVintSqr1 = 10,
    kVintSqr2 = 11,
    kVintSqr3 = 12,
    kNoise = kWaveNoise,
    kBass1 = kWaveBass1,
    kBass2 = 15,
    kBass3 = kWaveBass3,
    kBass4 = 17,
    kEP1 = kWaveEP1,
    kEP2 = 19,
    kEP3 = 20,
    kEP4 = 21,
    kFM1 = 22,
    kFM2 = 23,
    kFM3 = 24,
    kFM4 = 25,
    kOrgan1 = kWaveOrgan1,
    kOrgan2 = 27,
    kOrgan3 = 28,
    kOrgan4 = 29,
    kClarinet = 30,
    kClavi = 31,
    kHarps = 32,
    kOboe = 33,
    kSax = 34,
    kTrumpet = 35,
    kVoxAh = 36,
    kVoxEe = 37,
};

constexpr int32_t kMix = cOscSectionParams::kModeMix;
constexpr int32_t kRing = cOscSectionParams::kModeRing;
constexpr int32_t kRingFixed = cOscSectionParams::kModeRingFixed;
constexpr int32_t kSync = cOscSectionParams::kModeSync;
constexpr int32_t kLowPass = cFilterParams::kTypeLowPass;
constexpr int32_t kBandPass = cFilterParams::kTypeBandPass;
constexpr int32_t kHighPass = cFilterParams::kTypeHighPass;
constexpr int32_t kFilterOff = cFilterParams::kTypeOff;

// ---- strokes

// Waves of oscillators A and B; mix 0 is all A (in "SYNC", A's pitch).
void Waves(tPatch& p, int32_t a, int32_t b, float mix, int32_t mode = kMix)
{
    p.Osc.Osc1.Wave = a;
    p.Osc.Osc2.Wave = b;
    p.Osc.Mix = mix;
    p.Osc.Mod = mode;
}

// Transposes in semitones and the spread between the oscillators.
void Pitch(tPatch& p, float transA, float transB, float detune = 0.0f)
{
    p.Osc.Osc1.Trans = transA;
    p.Osc.Osc2.Trans = transB;
    p.Osc.Detune = detune;
}

// The filter stands where its knob is: the init filter envelope, which
// opens it fully, is turned down (FilterEnv sets it again).
void Filter(tPatch& p, int32_t type, float cutoff, float q, bool steep = false, bool track = false)
{
    p.FilterEnv.Amount = 0.0f;
    p.Filter.Type = type;
    p.Filter.Cutoff = cutoff;
    p.Filter.Q = q;
    p.Filter.Slope = steep ? cFilterParams::kSlope24 : cFilterParams::kSlope12;
    p.Filter.Track = track ? 1 : 0;
}

void Envelope(cEnvelopeParams& e, float a, float d, float s, float r, float amount)
{
    e.A = a, e.D = d, e.S = s, e.R = r, e.Amount = amount;
}

void FilterEnv(tPatch& p, float a, float d, float s, float r, float amount) { Envelope(p.FilterEnv, a, d, s, r, amount); }
void AmpEnv(tPatch& p, float a, float d, float s, float r) { Envelope(p.AmpEnv, a, d, s, r, 1.0f); }
// The amplitude envelope's amount: the preset's level.
void Level(tPatch& p, float amount) { p.AmpEnv.Amount = amount; }
void AuxEnv(tPatch& p, float a, float d, float s, float r, float amount) { Envelope(p.AuxEnv, a, d, s, r, amount); }

void Lfo(tPatch& p, int32_t index, int32_t shape, float rateHz, float amount, float delaySeconds = 0.0f)
{
    cLFOParams& lfo = p.GetLFO(index);
    lfo.Shape = shape;
    lfo.Rate = rateHz;
    lfo.Amount = amount;
    lfo.Delay = delaySeconds;
    lfo.Sync = cLFOParams::kSyncOff;
}

// Row 0 sends LFO 1 to the pitch of both oscillators: a vibrato.
void Vibrato(tPatch& p, float rateHz, float depth, float delaySeconds)
{
    Lfo(p, 0, cLFOParams::kShapeSine, rateHz, depth, delaySeconds);
}

// Row 2 sends LFO 3 to the amplitude envelope's amount: a tremolo.
void Tremolo(tPatch& p, float rateHz, float depth) { Lfo(p, 2, cLFOParams::kShapeSine, rateHz, depth); }

void Route(tPatch& p, int32_t row, int32_t dest, int32_t par, int32_t percent) { p.Mod.rows[row] = {dest, par, percent}; }

void Chorus(tPatch& p, float rate, float depth, float feedback = 0.17f)
{
    p.CD.Type = cChorusDelayParams::kTypeChorus;
    p.CD.Enable = 1;
    p.CD.CRate = rate;
    p.CD.CDepth = depth;
    p.CD.CFeedback = feedback;
}

// A tempo-synced echo; beat "1/16", "1/8", "1/8D", "1/4", "1/4D", "1/2".
void Echo(tPatch& p, int32_t beat, float feedback, float amount, bool cross = false)
{
    p.CD.Type = cross ? cChorusDelayParams::kTypeCrossDelay : cChorusDelayParams::kTypeDelay;
    p.CD.Enable = 1;
    p.CD.Sync = 1;
    p.CD.DBeatTime = beat;
    p.CD.DFeedback = feedback;
    p.CD.DAmount = amount;
}

void Drive(tPatch& p, int32_t shape, float drive, float bright, float out)
{
    p.WS = {1, shape, drive, bright, out};
}

void Mono(tPatch& p, float glideSeconds)
{
    p.Polyphony = 0;
    p.GlideTime = glideSeconds;
}

void Voices(tPatch& p, int32_t count) { p.Polyphony = count; }

void Sends(tPatch& p, float reverb, float echo)
{
    p.Send1 = reverb;
    p.Send2 = echo;
}

using cMM = cModMatrix;

// ---- A: basses

const cPresetDesign kBasses[] = {
    {"Round Sub", [](tPatch& p) { Waves(p, kSine, kTriangle, 0.3f); Pitch(p, 0, -12); Filter(p, kLowPass, 0.25f, 0.1f); FilterEnv(p, 0, 0.3f, 0.6f, 0.1f, 0.3f); AmpEnv(p, 0, 0.3f, 0.9f, 0.1f); Voices(p, 1); p.Octave = 0; Level(p, 0.90f); }},
    {"Saw Bass", [](tPatch& p) { Pitch(p, 0, 0, 0.1f); Filter(p, kLowPass, 0.2f, 0.3f); FilterEnv(p, 0, 0.3f, 0.1f, 0.1f, 0.5f); AmpEnv(p, 0, 0.4f, 0.8f, 0.08f); Voices(p, 1); p.Octave = 0; Level(p, 0.55f); }},
    {"Square Punch", [](tPatch& p) { Waves(p, kSquare, kSine, 0.4f); Pitch(p, 0, -12); Filter(p, kLowPass, 0.15f, 0.25f); FilterEnv(p, 0, 0.22f, 0.0f, 0.1f, 0.55f); AmpEnv(p, 0, 0.35f, 0.7f, 0.08f); Voices(p, 1); p.Octave = 0; Level(p, 0.40f); }},
    {"Acid Line", [](tPatch& p) { Waves(p, kSaw, kSaw, 0.0f); Filter(p, kLowPass, 0.12f, 0.6f, true); FilterEnv(p, 0, 0.25f, 0.0f, 0.1f, 0.6f); Mono(p, 0.08f); Drive(p, cWaveShapeParams::kShapeSoft, 0.4f, 0.55f, 0.6f); p.Octave = 0; }},
    {"Rubber Bass", [](tPatch& p) { Waves(p, kBass1, kSine, 0.35f); Filter(p, kLowPass, 0.3f, 0.4f); FilterEnv(p, 0, 0.18f, 0.2f, 0.1f, 0.4f); AmpEnv(p, 0, 0.4f, 0.6f, 0.1f); Voices(p, 1); p.Octave = 0; Level(p, 0.75f); }},
    {"Deep Pulse", [](tPatch& p) { Waves(p, kPulse, kSquare, 0.5f); Pitch(p, 0, -12); Filter(p, kLowPass, 0.22f, 0.2f, true); FilterEnv(p, 0, 0.35f, 0.3f, 0.1f, 0.35f); AmpEnv(p, 0, 0.4f, 0.85f, 0.1f); Voices(p, 1); p.Octave = 0; Level(p, 0.45f); }},
    {"Vintage Fat", [](tPatch& p) { Waves(p, kVintSaw1, kVintSaw2, 0.5f); Pitch(p, 0, 0, 0.15f); Filter(p, kLowPass, 0.28f, 0.3f, true); FilterEnv(p, 0.02f, 0.3f, 0.25f, 0.15f, 0.4f); Voices(p, 2); p.Octave = 0; Level(p, 0.60f); }},
    {"Growl", [](tPatch& p) { Waves(p, kSaw, kSawSqr, 0.5f); Filter(p, kLowPass, 0.25f, 0.45f); Lfo(p, 1, cLFOParams::kShapeTriangle, 4.0f, 0.6f); Route(p, 1, cMM::kDestFilter, 0, 35); Voices(p, 1); p.Octave = 0; Level(p, 0.70f); }},
    {"FM Thump", [](tPatch& p) { Waves(p, kFM1, kSine, 0.45f); Pitch(p, 0, -12); Filter(p, kLowPass, 0.35f, 0.1f); FilterEnv(p, 0, 0.2f, 0.2f, 0.1f, 0.4f); AmpEnv(p, 0, 0.45f, 0.3f, 0.12f); Voices(p, 1); p.Octave = 0; }},
    {"Wood Bass", [](tPatch& p) { Waves(p, kBass3, kTriangle, 0.3f); Filter(p, kLowPass, 0.3f, 0.15f, false, true); FilterEnv(p, 0, 0.2f, 0.0f, 0.15f, 0.3f); AmpEnv(p, 0, 0.45f, 0.0f, 0.2f); Voices(p, 2); p.Octave = 0; }},
    {"Sync Bass", [](tPatch& p) { Waves(p, kSaw, kSaw, 0.25f, kSync); Filter(p, kLowPass, 0.3f, 0.2f); FilterEnv(p, 0, 0.3f, 0.2f, 0.1f, 0.35f); Voices(p, 1); p.Octave = 0; Level(p, 0.50f); }},
    {"Ring Bass", [](tPatch& p) { Waves(p, kSquare, kSine, 0.5f, kRing); Pitch(p, 0, 7); Filter(p, kLowPass, 0.25f, 0.2f); FilterEnv(p, 0, 0.25f, 0.1f, 0.1f, 0.4f); Voices(p, 1); p.Octave = 0; Level(p, 0.40f); }},
    {"Reese", [](tPatch& p) { Pitch(p, 0, 0, 0.35f); Filter(p, kLowPass, 0.35f, 0.25f, true); FilterEnv(p, 0, 0.4f, 0.8f, 0.2f, 0.15f); Lfo(p, 1, cLFOParams::kShapeSine, 0.3f, 0.3f); Voices(p, 1); p.Octave = 0; Level(p, 0.45f); }},
    {"Hollow Bass", [](tPatch& p) { Waves(p, kSquare, kTriangle, 0.3f); Filter(p, kBandPass, 0.25f, 0.35f); FilterEnv(p, 0, 0.3f, 0.3f, 0.1f, 0.3f); Voices(p, 1); p.Octave = 0; Level(p, 0.55f); }},
    {"Dirty Drive", [](tPatch& p) { Waves(p, kSaw, kSquare, 0.4f); Filter(p, kLowPass, 0.3f, 0.3f); FilterEnv(p, 0, 0.25f, 0.2f, 0.1f, 0.4f); Drive(p, cWaveShapeParams::kShapeHard, 0.6f, 0.5f, 0.55f); Voices(p, 1); p.Octave = 0; }},
    {"Slide Mono", [](tPatch& p) { Waves(p, kTriangle, kSaw, 0.5f); Filter(p, kLowPass, 0.3f, 0.3f); FilterEnv(p, 0, 0.3f, 0.4f, 0.1f, 0.3f); Mono(p, 0.2f); p.Octave = 0; Level(p, 0.75f); }},
    {"Pluck Bass", [](tPatch& p) { Waves(p, kBass2, kSaw, 0.2f); Filter(p, kLowPass, 0.18f, 0.3f); FilterEnv(p, 0, 0.15f, 0.0f, 0.1f, 0.55f); AmpEnv(p, 0, 0.35f, 0.0f, 0.15f); Voices(p, 2); p.Octave = 0; }},
    {"Lo-Fi Bass", [](tPatch& p) { Waves(p, kBass4, kSquare, 0.3f); Filter(p, kLowPass, 0.4f, 0.1f); Drive(p, cWaveShapeParams::kShapeLoFi, 0.55f, 0.4f, 0.6f); Voices(p, 1); p.Octave = 0; Level(p, 0.45f); }},
};

// ---- B: leads

const cPresetDesign kLeads[] = {
    {"Bright Saw Lead", [](tPatch& p) { Pitch(p, 0, 0, 0.08f); Filter(p, kLowPass, 0.7f, 0.2f); FilterEnv(p, 0, 0.4f, 0.5f, 0.2f, 0.2f); AmpEnv(p, 0, 0.3f, 0.9f, 0.2f); Vibrato(p, 5.5f, 0.5f, 0.4f); Mono(p, 0.05f); p.Octave = 2; Sends(p, 0.15f, 0.1f); Level(p, 0.65f); }},
    {"Square Lead", [](tPatch& p) { Waves(p, kSquare, kSquare, 0.3f); Pitch(p, 0, 12); Filter(p, kLowPass, 0.6f, 0.15f); Vibrato(p, 5.0f, 0.4f, 0.5f); Mono(p, 0.04f); p.Octave = 2; Level(p, 0.55f); }},
    {"Sync Lead", [](tPatch& p) { Waves(p, kSaw, kSaw, 0.3f, kSync); AuxEnv(p, 0, 0.4f, 0.0f, 0.2f, 0.6f); Route(p, 4, cMM::kDestOsc, 2, 50); Filter(p, kLowPass, 0.65f, 0.2f); Mono(p, 0.03f); p.Octave = 2; Level(p, 0.50f); }},
    {"Sine Whistle", [](tPatch& p) { Waves(p, kSine, kTriangle, 0.2f); Pitch(p, 0, 12); Filter(p, kFilterOff, 0.0f, 0.0f); Vibrato(p, 6.0f, 0.6f, 0.3f); AmpEnv(p, 0.05f, 0.3f, 1.0f, 0.2f); Mono(p, 0.1f); p.Octave = 2; Sends(p, 0.2f, 0.0f); Level(p, 0.90f); }},
    {"Soft Flute", [](tPatch& p) { Waves(p, kTriangle, kNoise, 0.1f); Filter(p, kLowPass, 0.5f, 0.1f); AmpEnv(p, 0.15f, 0.3f, 0.9f, 0.2f); Vibrato(p, 4.8f, 0.35f, 0.6f); Mono(p, 0.06f); p.Octave = 2; Sends(p, 0.25f, 0.0f); }},
    {"Reed Lead", [](tPatch& p) { Waves(p, kClarinet, kOboe, 0.4f); Filter(p, kLowPass, 0.55f, 0.1f); AmpEnv(p, 0.08f, 0.3f, 0.9f, 0.15f); Vibrato(p, 5.2f, 0.3f, 0.5f); Mono(p, 0.05f); p.Octave = 2; Level(p, 0.55f); }},
    {"Brass Lead", [](tPatch& p) { Waves(p, kTrumpet, kSaw, 0.35f); Filter(p, kLowPass, 0.35f, 0.15f); FilterEnv(p, 0.12f, 0.35f, 0.6f, 0.2f, 0.35f); AmpEnv(p, 0.06f, 0.3f, 0.85f, 0.2f); Voices(p, 2); p.Octave = 1; }},
    {"Sax Lead", [](tPatch& p) { Waves(p, kSax, kSaw, 0.15f); Filter(p, kLowPass, 0.5f, 0.2f); FilterEnv(p, 0.05f, 0.3f, 0.7f, 0.2f, 0.25f); Vibrato(p, 5.0f, 0.4f, 0.7f); Mono(p, 0.04f); p.Octave = 1; Level(p, 0.70f); }},
    {"Vox Lead", [](tPatch& p) { Waves(p, kVoxAh, kVoxEe, 0.5f); Lfo(p, 1, cLFOParams::kShapeTriangle, 0.4f, 0.8f); Filter(p, kLowPass, 0.6f, 0.1f); AmpEnv(p, 0.1f, 0.3f, 0.9f, 0.3f); Vibrato(p, 5.0f, 0.3f, 0.5f); Mono(p, 0.08f); p.Octave = 2; Sends(p, 0.2f, 0.0f); Level(p, 0.55f); }},
    {"Screamer", [](tPatch& p) { Waves(p, kSaw, kSquare, 0.3f); Filter(p, kLowPass, 0.45f, 0.55f); FilterEnv(p, 0, 0.35f, 0.5f, 0.2f, 0.3f); Drive(p, cWaveShapeParams::kShapeSoft, 0.7f, 0.6f, 0.5f); Mono(p, 0.05f); p.Octave = 2; }},
    {"Chip Lead", [](tPatch& p) { Waves(p, kPulse, kSquare, 0.0f); Filter(p, kFilterOff, 0.0f, 0.0f); Drive(p, cWaveShapeParams::kShapeLoFi, 0.4f, 0.5f, 0.55f); Vibrato(p, 7.0f, 0.5f, 0.25f); Voices(p, 1); p.Octave = 2; Level(p, 0.75f); }},
    {"Glide Lead", [](tPatch& p) { Waves(p, kSaw, kSquare, 0.5f); Pitch(p, 0, 0, 0.05f); Filter(p, kLowPass, 0.55f, 0.3f); Mono(p, 0.3f); p.Octave = 2; Sends(p, 0.1f, 0.15f); Level(p, 0.50f); }},
    {"Ring Lead", [](tPatch& p) { Waves(p, kSaw, kSine, 0.6f, kRing); Pitch(p, 0, 5); Filter(p, kLowPass, 0.6f, 0.2f); Mono(p, 0.04f); p.Octave = 2; Level(p, 0.60f); }},
    {"Fifth Lead", [](tPatch& p) { Pitch(p, 0, 7, 0.05f); Filter(p, kLowPass, 0.55f, 0.25f); FilterEnv(p, 0, 0.35f, 0.5f, 0.2f, 0.25f); Mono(p, 0.06f); p.Octave = 1; Level(p, 0.55f); }},
    {"Delay Lead", [](tPatch& p) { Waves(p, kSquare, kSaw, 0.4f); Filter(p, kLowPass, 0.55f, 0.2f); Echo(p, 2, 0.45f, 0.3f); Vibrato(p, 5.0f, 0.3f, 0.5f); Mono(p, 0.05f); p.Octave = 2; Level(p, 0.80f); }},
    {"Harmonica", [](tPatch& p) { Waves(p, kVintSqr2, kSawSqr, 0.3f); Filter(p, kBandPass, 0.55f, 0.3f); AmpEnv(p, 0.05f, 0.3f, 0.85f, 0.15f); Tremolo(p, 5.5f, 0.25f); Voices(p, 3); p.Octave = 2; Level(p, 0.80f); }},
    {"Thin Pulse Lead", [](tPatch& p) { Waves(p, kVintSqr3, kPulse, 0.4f); Filter(p, kHighPass, 0.25f, 0.2f); Vibrato(p, 5.5f, 0.4f, 0.4f); Mono(p, 0.05f); p.Octave = 2; }},
};

// ---- C: pads

const cPresetDesign kPads[] = {
    {"Warm Pad", [](tPatch& p) { Pitch(p, 0, 0, 0.12f); Filter(p, kLowPass, 0.35f, 0.15f); AmpEnv(p, 0.45f, 0.5f, 0.8f, 0.6f); FilterEnv(p, 0.45f, 0.5f, 0.7f, 0.6f, 0.3f); Chorus(p, 0.1f, 0.08f); Sends(p, 0.25f, 0.0f); Voices(p, 8); Level(p, 0.65f); }},
    {"Glass Pad", [](tPatch& p) { Waves(p, kFM2, kSine, 0.4f); Pitch(p, 0, 12); Filter(p, kHighPass, 0.15f, 0.1f); AmpEnv(p, 0.4f, 0.5f, 0.8f, 0.7f); Chorus(p, 0.08f, 0.06f); Sends(p, 0.3f, 0.0f); Voices(p, 8); Level(p, 0.75f); }},
    {"Choir Pad", [](tPatch& p) { Waves(p, kVoxAh, kVoxEe, 0.35f); Pitch(p, 0, 0, 0.1f); Filter(p, kLowPass, 0.55f, 0.1f); AmpEnv(p, 0.45f, 0.5f, 0.9f, 0.6f); Vibrato(p, 4.5f, 0.2f, 0.8f); Chorus(p, 0.06f, 0.1f); Sends(p, 0.35f, 0.0f); Voices(p, 8); Level(p, 0.65f); }},
    {"Sweep Pad", [](tPatch& p) { Waves(p, kSaw, kSquare, 0.4f); Filter(p, kLowPass, 0.3f, 0.4f); Lfo(p, 3, cLFOParams::kShapeSine, 0.15f, 1.0f); Route(p, 3, cMM::kDestFilter, 0, 35); AmpEnv(p, 0.4f, 0.5f, 0.85f, 0.6f); Sends(p, 0.25f, 0.0f); Voices(p, 8); }},
    {"Dark Pad", [](tPatch& p) { Waves(p, kTriangle, kVintSaw1, 0.4f); Pitch(p, 0, -12, 0.1f); Filter(p, kLowPass, 0.2f, 0.2f); AmpEnv(p, 0.5f, 0.5f, 0.85f, 0.65f); Sends(p, 0.3f, 0.0f); Voices(p, 8); Level(p, 0.85f); }},
    {"Shimmer Pad", [](tPatch& p) { Waves(p, kSine, kTriangle, 0.5f); Pitch(p, 12, 19); Filter(p, kFilterOff, 0.0f, 0.0f); AmpEnv(p, 0.4f, 0.5f, 0.8f, 0.7f); Chorus(p, 0.15f, 0.12f); Sends(p, 0.35f, 0.2f); Voices(p, 8); Level(p, 0.85f); }},
    {"Organ Pad", [](tPatch& p) { Waves(p, kOrgan2, kOrgan3, 0.5f); Pitch(p, 0, 0, 0.08f); Filter(p, kLowPass, 0.45f, 0.1f); AmpEnv(p, 0.35f, 0.4f, 0.9f, 0.5f); Chorus(p, 0.12f, 0.08f); Voices(p, 8); Level(p, 0.60f); }},
    {"Airy Pad", [](tPatch& p) { Waves(p, kSine, kNoise, 0.3f); Filter(p, kBandPass, 0.6f, 0.3f); AmpEnv(p, 0.5f, 0.5f, 0.8f, 0.7f); Sends(p, 0.4f, 0.0f); Voices(p, 8); }},
    {"Motion Pad", [](tPatch& p) { Waves(p, kSaw, kSawTri, 0.5f); Lfo(p, 1, cLFOParams::kShapeSine, 0.5f, 0.8f); Filter(p, kLowPass, 0.4f, 0.25f); AmpEnv(p, 0.4f, 0.5f, 0.85f, 0.6f); Sends(p, 0.25f, 0.1f); Voices(p, 8); Level(p, 0.60f); }},
    {"Soft Square Pad", [](tPatch& p) { Waves(p, kSquare, kSquare, 0.5f); Pitch(p, 0, 0, 0.15f); Filter(p, kLowPass, 0.3f, 0.1f); AmpEnv(p, 0.45f, 0.5f, 0.85f, 0.6f); Chorus(p, 0.1f, 0.07f); Voices(p, 8); Level(p, 0.70f); }},
    {"Bell Pad", [](tPatch& p) { Waves(p, kSine, kSine, 0.5f, kRingFixed); Pitch(p, 0, 7); Filter(p, kLowPass, 0.6f, 0.1f); AmpEnv(p, 0.3f, 0.55f, 0.6f, 0.7f); Sends(p, 0.35f, 0.0f); Voices(p, 8); }},
    {"Wide Pad", [](tPatch& p) { Pitch(p, 0, 0, 0.3f); Filter(p, kLowPass, 0.4f, 0.15f); AmpEnv(p, 0.45f, 0.5f, 0.85f, 0.65f); Chorus(p, 0.2f, 0.18f, 0.3f); Sends(p, 0.3f, 0.0f); Voices(p, 8); Level(p, 0.55f); }},
    {"Evolving Pad", [](tPatch& p) { Waves(p, kSawSqr, kVintSaw2, 0.5f); Filter(p, kLowPass, 0.15f, 0.3f); AuxEnv(p, 0.6f, 0.6f, 0.6f, 0.6f, 1.0f); Route(p, 4, cMM::kDestFilter, 0, 40); AmpEnv(p, 0.4f, 0.5f, 0.85f, 0.7f); Sends(p, 0.3f, 0.1f); Voices(p, 8); }},
    {"Harp Pad", [](tPatch& p) { Waves(p, kHarps, kTriangle, 0.3f); Filter(p, kLowPass, 0.55f, 0.1f); AmpEnv(p, 0.3f, 0.5f, 0.7f, 0.7f); Chorus(p, 0.1f, 0.06f); Sends(p, 0.35f, 0.0f); Voices(p, 8); }},
    {"Ghost Pad", [](tPatch& p) { Waves(p, kVoxEe, kSine, 0.3f); Filter(p, kHighPass, 0.2f, 0.25f); AmpEnv(p, 0.5f, 0.5f, 0.85f, 0.7f); Vibrato(p, 3.5f, 0.3f, 1.0f); Sends(p, 0.4f, 0.15f); Voices(p, 8); Level(p, 0.65f); }},
    {"Pulse Pad", [](tPatch& p) { Waves(p, kPulse, kSawSqr, 0.5f); Lfo(p, 2, cLFOParams::kShapeSine, 0.3f, 0.6f); Route(p, 2, cMM::kDestOsc, 0, 100); Filter(p, kLowPass, 0.4f, 0.2f); AmpEnv(p, 0.4f, 0.5f, 0.85f, 0.6f); Voices(p, 8); Level(p, 0.45f); }},
};

// ---- D: keys

const cPresetDesign kKeys[] = {
    {"Electric Piano", [](tPatch& p) { Waves(p, kEP1, kSine, 0.3f); Filter(p, kLowPass, 0.55f, 0.1f, false, true); AmpEnv(p, 0, 0.55f, 0.3f, 0.3f); Voices(p, 8); }},
    {"Tine Piano", [](tPatch& p) { Waves(p, kEP2, kTriangle, 0.2f); Pitch(p, 0, 12); Filter(p, kLowPass, 0.6f, 0.1f); AmpEnv(p, 0, 0.5f, 0.25f, 0.3f); Voices(p, 8); }},
    {"Suitcase", [](tPatch& p) { Waves(p, kEP3, kSine, 0.25f); Filter(p, kLowPass, 0.5f, 0.1f); AmpEnv(p, 0, 0.55f, 0.3f, 0.3f); Tremolo(p, 4.5f, 0.3f); Voices(p, 8); Level(p, 0.80f); }},
    {"FM Keys", [](tPatch& p) { Waves(p, kFM3, kFM4, 0.4f); Filter(p, kLowPass, 0.65f, 0.1f); AmpEnv(p, 0, 0.5f, 0.2f, 0.3f); Voices(p, 8); Level(p, 0.75f); }},
    {"Drawbar Organ", [](tPatch& p) { Waves(p, kOrgan1, kOrgan2, 0.3f); Filter(p, kFilterOff, 0.0f, 0.0f); AmpEnv(p, 0, 0.2f, 1.0f, 0.1f); Voices(p, 8); }},
    {"Rock Organ", [](tPatch& p) { Waves(p, kOrgan4, kOrgan1, 0.4f); Filter(p, kLowPass, 0.65f, 0.1f); AmpEnv(p, 0, 0.2f, 1.0f, 0.1f); Drive(p, cWaveShapeParams::kShapeSoft, 0.45f, 0.55f, 0.55f); Chorus(p, 0.25f, 0.05f); Voices(p, 8); }},
    {"Clavinet", [](tPatch& p) { Waves(p, kClavi, kPulse, 0.25f); Filter(p, kBandPass, 0.45f, 0.3f); FilterEnv(p, 0, 0.25f, 0.3f, 0.1f, 0.3f); AmpEnv(p, 0, 0.4f, 0.2f, 0.12f); Voices(p, 6); }},
    {"Harpsichord", [](tPatch& p) { Waves(p, kHarps, kSaw, 0.3f); Pitch(p, 0, 12); Filter(p, kLowPass, 0.6f, 0.1f); AmpEnv(p, 0, 0.45f, 0.0f, 0.3f); Voices(p, 8); }},
    {"Soft Keys", [](tPatch& p) { Waves(p, kTriangle, kSine, 0.5f); Filter(p, kLowPass, 0.35f, 0.1f); AmpEnv(p, 0.01f, 0.5f, 0.3f, 0.35f); Voices(p, 8); }},
    {"Digital Piano", [](tPatch& p) { Waves(p, kEP4, kFM1, 0.3f); Filter(p, kLowPass, 0.6f, 0.1f); AmpEnv(p, 0, 0.55f, 0.25f, 0.3f); Chorus(p, 0.12f, 0.06f); Voices(p, 8); Level(p, 0.80f); }},
    {"Toy Piano", [](tPatch& p) { Waves(p, kSquare, kSine, 0.6f); Pitch(p, 0, 24); Filter(p, kLowPass, 0.55f, 0.1f); AmpEnv(p, 0, 0.35f, 0.0f, 0.2f); Voices(p, 6); p.Octave = 2; Level(p, 0.75f); }},
    {"Vibraphone", [](tPatch& p) { Waves(p, kSine, kTriangle, 0.2f); Pitch(p, 0, 12); Filter(p, kFilterOff, 0.0f, 0.0f); AmpEnv(p, 0, 0.6f, 0.0f, 0.4f); Tremolo(p, 5.0f, 0.35f); Sends(p, 0.2f, 0.0f); Voices(p, 8); Level(p, 0.70f); }},
    {"Bell Keys", [](tPatch& p) { Waves(p, kFM2, kSine, 0.5f, kRing); Pitch(p, 0, 19); Filter(p, kLowPass, 0.7f, 0.1f); AmpEnv(p, 0, 0.55f, 0.0f, 0.45f); Sends(p, 0.25f, 0.0f); Voices(p, 8); Level(p, 0.90f); }},
    {"Chorus Organ", [](tPatch& p) { Waves(p, kOrgan3, kOrgan2, 0.4f); Filter(p, kLowPass, 0.55f, 0.1f); AmpEnv(p, 0, 0.2f, 1.0f, 0.12f); Chorus(p, 0.3f, 0.1f); Voices(p, 8); Level(p, 0.55f); }},
    {"Wurly Keys", [](tPatch& p) { Waves(p, kEP4, kSquare, 0.2f); Filter(p, kLowPass, 0.45f, 0.15f); FilterEnv(p, 0, 0.35f, 0.4f, 0.2f, 0.25f); AmpEnv(p, 0, 0.5f, 0.3f, 0.25f); Tremolo(p, 6.0f, 0.2f); Voices(p, 8); Level(p, 0.60f); }},
    {"Upright Keys", [](tPatch& p) { Waves(p, kSaw, kTriangle, 0.5f); Filter(p, kLowPass, 0.4f, 0.1f, false, true); FilterEnv(p, 0, 0.45f, 0.0f, 0.3f, 0.35f); AmpEnv(p, 0, 0.55f, 0.2f, 0.3f); Voices(p, 8); Level(p, 0.80f); }},
};

// ---- E: plucks

const cPresetDesign kPlucks[] = {
    {"Saw Pluck", [](tPatch& p) { Filter(p, kLowPass, 0.15f, 0.3f); FilterEnv(p, 0, 0.25f, 0.0f, 0.2f, 0.6f); AmpEnv(p, 0, 0.3f, 0.0f, 0.25f); Voices(p, 8); Sends(p, 0.15f, 0.0f); Level(p, 0.60f); }},
    {"Square Pluck", [](tPatch& p) { Waves(p, kSquare, kSquare, 0.4f); Pitch(p, 0, 12); Filter(p, kLowPass, 0.2f, 0.25f); FilterEnv(p, 0, 0.22f, 0.0f, 0.2f, 0.55f); AmpEnv(p, 0, 0.3f, 0.0f, 0.2f); Voices(p, 8); Level(p, 0.70f); }},
    {"Harp Pluck", [](tPatch& p) { Waves(p, kHarps, kSine, 0.2f); Filter(p, kLowPass, 0.5f, 0.1f); AmpEnv(p, 0, 0.5f, 0.0f, 0.45f); Sends(p, 0.3f, 0.0f); Voices(p, 8); }},
    {"Koto Pluck", [](tPatch& p) { Waves(p, kClavi, kTriangle, 0.4f); Pitch(p, 0, 12); Filter(p, kBandPass, 0.55f, 0.3f); AmpEnv(p, 0, 0.38f, 0.0f, 0.3f); Vibrato(p, 5.0f, 0.25f, 0.3f); Voices(p, 6); }},
    {"Marimba", [](tPatch& p) { Waves(p, kSine, kSine, 0.25f); Pitch(p, 0, 24); Filter(p, kFilterOff, 0.0f, 0.0f); AmpEnv(p, 0, 0.35f, 0.0f, 0.3f); Voices(p, 8); }},
    {"Kalimba", [](tPatch& p) { Waves(p, kSine, kFM1, 0.3f); Pitch(p, 0, 12); Filter(p, kLowPass, 0.6f, 0.1f); AmpEnv(p, 0, 0.4f, 0.0f, 0.35f); Sends(p, 0.2f, 0.0f); Voices(p, 8); }},
    {"Steel Pluck", [](tPatch& p) { Waves(p, kVintSaw2, kSaw, 0.3f); Pitch(p, 0, 0, 0.06f); Filter(p, kHighPass, 0.12f, 0.1f); FilterEnv(p, 0, 0.3f, 0.0f, 0.2f, 0.0f); AmpEnv(p, 0, 0.42f, 0.0f, 0.3f); Voices(p, 8); }},
    {"Nylon Pluck", [](tPatch& p) { Waves(p, kTriangle, kBass3, 0.35f); Filter(p, kLowPass, 0.3f, 0.1f); FilterEnv(p, 0, 0.3f, 0.0f, 0.2f, 0.35f); AmpEnv(p, 0, 0.45f, 0.0f, 0.3f); Voices(p, 8); }},
    {"Echo Pluck", [](tPatch& p) { Waves(p, kSquare, kSaw, 0.3f); Filter(p, kLowPass, 0.25f, 0.25f); FilterEnv(p, 0, 0.2f, 0.0f, 0.2f, 0.5f); AmpEnv(p, 0, 0.28f, 0.0f, 0.2f); Echo(p, 2, 0.5f, 0.35f); Voices(p, 8); }},
    {"Resonant Pluck", [](tPatch& p) { Filter(p, kLowPass, 0.12f, 0.55f, true); FilterEnv(p, 0, 0.25f, 0.0f, 0.2f, 0.55f); AmpEnv(p, 0, 0.3f, 0.0f, 0.2f); Voices(p, 8); Level(p, 0.50f); }},
    {"Muted Pluck", [](tPatch& p) { Waves(p, kSquare, kTriangle, 0.5f); Filter(p, kLowPass, 0.1f, 0.2f); FilterEnv(p, 0, 0.15f, 0.0f, 0.1f, 0.4f); AmpEnv(p, 0, 0.2f, 0.0f, 0.1f); Voices(p, 8); }},
    {"Glass Pluck", [](tPatch& p) { Waves(p, kFM4, kSine, 0.3f); Pitch(p, 0, 24); Filter(p, kLowPass, 0.7f, 0.1f); AmpEnv(p, 0, 0.38f, 0.0f, 0.35f); Sends(p, 0.25f, 0.0f); Voices(p, 8); }},
    {"Bright Pluck", [](tPatch& p) { Waves(p, kSawSqr, kSaw, 0.5f); Filter(p, kHighPass, 0.2f, 0.15f); AmpEnv(p, 0, 0.3f, 0.0f, 0.22f); Voices(p, 8); }},
    {"Stab Pluck", [](tPatch& p) { Pitch(p, 0, 7, 0.05f); Filter(p, kLowPass, 0.2f, 0.3f); FilterEnv(p, 0, 0.22f, 0.0f, 0.15f, 0.5f); AmpEnv(p, 0, 0.3f, 0.0f, 0.15f); Drive(p, cWaveShapeParams::kShapeSoft, 0.4f, 0.5f, 0.6f); Voices(p, 8); }},
    {"Bubble Pluck", [](tPatch& p) { Waves(p, kSine, kTriangle, 0.2f); AuxEnv(p, 0, 0.15f, 0.0f, 0.1f, 0.5f); Filter(p, kFilterOff, 0.0f, 0.0f); AmpEnv(p, 0, 0.25f, 0.0f, 0.2f); Voices(p, 8); }},
    {"Chorus Pluck", [](tPatch& p) { Waves(p, kPulse, kSaw, 0.4f); Filter(p, kLowPass, 0.22f, 0.2f); FilterEnv(p, 0, 0.25f, 0.0f, 0.2f, 0.45f); AmpEnv(p, 0, 0.35f, 0.0f, 0.25f); Chorus(p, 0.15f, 0.1f); Voices(p, 8); }},
};

// ---- F: strings

const cPresetDesign kStrings[] = {
    {"String Section", [](tPatch& p) { Pitch(p, 0, 0, 0.15f); Filter(p, kLowPass, 0.5f, 0.1f); AmpEnv(p, 0.3f, 0.5f, 0.9f, 0.5f); Chorus(p, 0.1f, 0.1f); Sends(p, 0.3f, 0.0f); Voices(p, 8); Level(p, 0.65f); }},
    {"Slow Strings", [](tPatch& p) { Pitch(p, 0, 0, 0.12f); Filter(p, kLowPass, 0.45f, 0.1f); AmpEnv(p, 0.5f, 0.5f, 0.9f, 0.6f); Chorus(p, 0.08f, 0.1f); Sends(p, 0.35f, 0.0f); Voices(p, 8); }},
    {"Bright Strings", [](tPatch& p) { Pitch(p, 0, 0, 0.15f); Filter(p, kLowPass, 0.75f, 0.1f); AmpEnv(p, 0.25f, 0.5f, 0.9f, 0.45f); Chorus(p, 0.12f, 0.1f); Voices(p, 8); Level(p, 0.65f); }},
    {"Dark Strings", [](tPatch& p) { Waves(p, kSaw, kVintSaw1, 0.5f); Pitch(p, 0, 0, 0.1f); Filter(p, kLowPass, 0.3f, 0.1f); AmpEnv(p, 0.35f, 0.5f, 0.9f, 0.5f); Sends(p, 0.3f, 0.0f); Voices(p, 8); Level(p, 0.70f); }},
    {"Violin Solo", [](tPatch& p) { Waves(p, kSaw, kSawTri, 0.3f); Filter(p, kLowPass, 0.55f, 0.15f); AmpEnv(p, 0.15f, 0.4f, 0.9f, 0.3f); Vibrato(p, 5.5f, 0.45f, 0.35f); Mono(p, 0.06f); p.Octave = 2; Sends(p, 0.25f, 0.0f); }},
    {"Cello", [](tPatch& p) { Waves(p, kSaw, kSquare, 0.3f); Pitch(p, 0, -12); Filter(p, kLowPass, 0.35f, 0.15f); AmpEnv(p, 0.18f, 0.4f, 0.9f, 0.35f); Vibrato(p, 5.0f, 0.4f, 0.4f); Mono(p, 0.05f); p.Octave = 0; Level(p, 0.75f); }},
    {"Pizzicato", [](tPatch& p) { Pitch(p, 0, 0, 0.1f); Filter(p, kLowPass, 0.4f, 0.1f); AmpEnv(p, 0, 0.3f, 0.0f, 0.25f); Sends(p, 0.25f, 0.0f); Voices(p, 8); Level(p, 0.80f); }},
    {"Tremolo Strings", [](tPatch& p) { Pitch(p, 0, 0, 0.12f); Filter(p, kLowPass, 0.5f, 0.1f); AmpEnv(p, 0.2f, 0.5f, 0.9f, 0.4f); Tremolo(p, 7.0f, 0.3f); Voices(p, 8); Level(p, 0.45f); }},
    {"Synth Strings", [](tPatch& p) { Waves(p, kSawTri, kVintSaw1, 0.5f); Pitch(p, 0, 0, 0.2f); Filter(p, kLowPass, 0.45f, 0.2f); AmpEnv(p, 0.3f, 0.5f, 0.85f, 0.5f); Chorus(p, 0.15f, 0.14f); Voices(p, 8); Level(p, 0.60f); }},
    {"Chamber Strings", [](tPatch& p) { Waves(p, kSaw, kTriangle, 0.35f); Pitch(p, 0, 0, 0.08f); Filter(p, kLowPass, 0.5f, 0.1f); AmpEnv(p, 0.25f, 0.5f, 0.9f, 0.4f); Vibrato(p, 5.0f, 0.2f, 0.6f); Voices(p, 8); Level(p, 0.80f); }},
    {"Octave Strings", [](tPatch& p) { Pitch(p, 0, 12, 0.1f); Filter(p, kLowPass, 0.55f, 0.1f); AmpEnv(p, 0.3f, 0.5f, 0.9f, 0.5f); Chorus(p, 0.1f, 0.1f); Voices(p, 8); Level(p, 0.70f); }},
    {"Ensemble", [](tPatch& p) { Waves(p, kSawSqr, kSaw, 0.5f); Pitch(p, 0, 0, 0.25f); Filter(p, kLowPass, 0.5f, 0.15f); AmpEnv(p, 0.3f, 0.5f, 0.9f, 0.5f); Chorus(p, 0.2f, 0.18f, 0.25f); Sends(p, 0.3f, 0.0f); Voices(p, 8); Level(p, 0.50f); }},
    {"Swell Strings", [](tPatch& p) { Pitch(p, 0, 0, 0.12f); Filter(p, kLowPass, 0.2f, 0.15f); FilterEnv(p, 0.5f, 0.5f, 1.0f, 0.5f, 0.4f); AmpEnv(p, 0.45f, 0.5f, 0.9f, 0.5f); Voices(p, 8); Level(p, 0.65f); }},
    {"Glass Strings", [](tPatch& p) { Waves(p, kSaw, kSine, 0.35f); Pitch(p, 0, 19); Filter(p, kLowPass, 0.6f, 0.1f); AmpEnv(p, 0.3f, 0.5f, 0.85f, 0.55f); Chorus(p, 0.1f, 0.08f); Voices(p, 8); Level(p, 0.75f); }},
    {"Viola", [](tPatch& p) { Waves(p, kVintSaw2, kSaw, 0.3f); Filter(p, kLowPass, 0.45f, 0.15f); AmpEnv(p, 0.16f, 0.4f, 0.9f, 0.35f); Vibrato(p, 5.2f, 0.4f, 0.4f); Mono(p, 0.05f); p.Octave = 1; }},
    {"String Pad Wide", [](tPatch& p) { Pitch(p, 0, 0, 0.4f); Filter(p, kLowPass, 0.45f, 0.1f); AmpEnv(p, 0.4f, 0.5f, 0.9f, 0.6f); Chorus(p, 0.12f, 0.15f, 0.2f); Sends(p, 0.4f, 0.0f); Voices(p, 8); Level(p, 0.65f); }},
};

// ---- G: effects

const cPresetDesign kEffects[] = {
    {"Noise Sweep", [](tPatch& p) { Waves(p, kNoise, kNoise, 0.0f); Filter(p, kBandPass, 0.4f, 0.45f); Lfo(p, 0, cLFOParams::kShapeTriangle, 0.25f, 1.0f); Route(p, 0, cMM::kDestFilter, 0, 40); AmpEnv(p, 0.2f, 0.5f, 0.9f, 0.5f); Sends(p, 0.3f, 0.0f); Level(p, 0.30f); }},
    {"Laser Zap", [](tPatch& p) { Waves(p, kSquare, kSaw, 0.3f); AuxEnv(p, 0, 0.25f, 0.0f, 0.1f, 1.0f); Pitch(p, 24, 24); Filter(p, kLowPass, 0.7f, 0.3f); AmpEnv(p, 0, 0.3f, 0.0f, 0.15f); Voices(p, 2); }},
    {"Siren", [](tPatch& p) { Waves(p, kSine, kTriangle, 0.3f); Lfo(p, 0, cLFOParams::kShapeTriangle, 0.5f, 1.0f); Route(p, 0, cMM::kDestOsc, 4, 30); Filter(p, kFilterOff, 0.0f, 0.0f); Voices(p, 1); p.Octave = 2; }},
    {"Wind", [](tPatch& p) { Waves(p, kNoise, kNoise, 0.0f); Filter(p, kLowPass, 0.4f, 0.5f); Lfo(p, 0, cLFOParams::kShapeRandomRamp, 0.6f, 1.0f); Route(p, 0, cMM::kDestFilter, 0, 30); AmpEnv(p, 0.4f, 0.5f, 0.9f, 0.6f); Sends(p, 0.3f, 0.0f); Level(p, 0.85f); }},
    {"Ring Bells", [](tPatch& p) { Waves(p, kSine, kSine, 0.5f, kRing); Pitch(p, 0, 17); Filter(p, kFilterOff, 0.0f, 0.0f); AmpEnv(p, 0, 0.6f, 0.0f, 0.55f); Sends(p, 0.35f, 0.1f); Voices(p, 8); }},
    {"Space Drone", [](tPatch& p) { Pitch(p, -12, 7, 0.4f); Filter(p, kLowPass, 0.35f, 0.35f); Lfo(p, 3, cLFOParams::kShapeSine, 0.1f, 1.0f); AmpEnv(p, 0.5f, 0.5f, 0.9f, 0.7f); Echo(p, 5, 0.6f, 0.35f, true); Sends(p, 0.4f, 0.0f); Level(p, 0.75f); }},
    {"Bit Crusher", [](tPatch& p) { Waves(p, kSquare, kSaw, 0.5f); Filter(p, kFilterOff, 0.0f, 0.0f); Drive(p, cWaveShapeParams::kShapeLoFi, 0.3f, 0.5f, 0.3f); Voices(p, 4); }},
    {"Riser", [](tPatch& p) { AuxEnv(p, 0.55f, 0.5f, 1.0f, 0.3f, 0.5f); Filter(p, kHighPass, 0.2f, 0.3f); AmpEnv(p, 0.3f, 0.5f, 1.0f, 0.3f); Pitch(p, 0, 0, 0.2f); Voices(p, 2); Level(p, 0.70f); }},
    {"Falling Star", [](tPatch& p) { Waves(p, kSine, kTriangle, 0.4f); AuxEnv(p, 0, 0.55f, 0.0f, 0.4f, 1.0f); Route(p, 4, cMM::kDestOsc, 4, -50); Pitch(p, 24, 24); Filter(p, kFilterOff, 0.0f, 0.0f); AmpEnv(p, 0, 0.55f, 0.0f, 0.4f); Sends(p, 0.3f, 0.2f); }},
    {"Robot Voice", [](tPatch& p) { Waves(p, kVoxAh, kSquare, 0.5f, kRingFixed); Filter(p, kBandPass, 0.5f, 0.3f); Voices(p, 2); }},
    {"Alarm", [](tPatch& p) { Waves(p, kSquare, kSquare, 0.0f); Lfo(p, 0, cLFOParams::kShapeSquare, 4.0f, 1.0f); Route(p, 0, cMM::kDestOsc, 4, 20); Filter(p, kLowPass, 0.6f, 0.1f); Voices(p, 1); p.Octave = 2; Level(p, 0.55f); }},
    {"Ocean Surf", [](tPatch& p) { Waves(p, kNoise, kNoise, 0.0f); Filter(p, kLowPass, 0.35f, 0.2f); Tremolo(p, 0.15f, 0.25f); Lfo(p, 3, cLFOParams::kShapeSine, 0.15f, 1.0f); Route(p, 3, cMM::kDestFilter, 0, 25); AmpEnv(p, 0.45f, 0.5f, 0.9f, 0.6f); Sends(p, 0.35f, 0.0f); Level(p, 0.25f); }},
    {"Sync Scream", [](tPatch& p) { Waves(p, kSaw, kSaw, 0.4f, kSync); Lfo(p, 1, cLFOParams::kShapeTriangle, 0.5f, 0.6f); Filter(p, kLowPass, 0.6f, 0.3f); Drive(p, cWaveShapeParams::kShapeSoft, 0.5f, 0.6f, 0.5f); Mono(p, 0.1f); }},
    {"Metal Hit", [](tPatch& p) { Waves(p, kSquare, kSine, 0.5f, kRing); Pitch(p, 0, 13); Filter(p, kHighPass, 0.3f, 0.2f); AmpEnv(p, 0, 0.35f, 0.0f, 0.3f); Sends(p, 0.3f, 0.0f); Voices(p, 6); Level(p, 0.80f); }},
    {"Echo Drops", [](tPatch& p) { Waves(p, kSine, kTriangle, 0.3f); Pitch(p, 12, 12); Filter(p, kFilterOff, 0.0f, 0.0f); AmpEnv(p, 0, 0.25f, 0.0f, 0.2f); Echo(p, 1, 0.6f, 0.4f, true); Voices(p, 6); }},
    {"Random Bleeps", [](tPatch& p) { Waves(p, kSquare, kSine, 0.4f); Lfo(p, 0, cLFOParams::kShapeRandomStep, 8.0f, 1.0f); Route(p, 0, cMM::kDestOsc, 4, 25); Filter(p, kLowPass, 0.65f, 0.2f); Echo(p, 1, 0.4f, 0.25f); Voices(p, 1); p.Octave = 2; Level(p, 0.45f); }},
};

struct cBankDesign
{
    const cPresetDesign* presets;
    int32_t count;
};

template <int32_t N>
constexpr cBankDesign Bank(const cPresetDesign (&presets)[N])
{
    return {presets, N};
}

const cBankDesign kBanks[cAnalogueSynthPresetStore::kGlobalBankCount] = {
    Bank(kBasses), Bank(kLeads), Bank(kPads), Bank(kKeys), Bank(kPlucks), Bank(kStrings), Bank(kEffects)};

// The designs balance the presets against each other, one note each; every
// preset then plays this much lower (about -7.5 dB), so that chords and a
// whole arrangement at the desk's default faders stay below full scale.
constexpr float kHeadroom = 0.42f;

// The amplitude envelope's amount, and a tremolo's depth, which swings it.
void ScaleLevel(tPatch& p, float factor)
{
    p.AmpEnv.Amount *= factor;
    const cModMatrixRow& tremolo = p.Mod.rows[cModMatrix::kSourceLFO1 + 2];
    if (tremolo.Dest == cModMatrix::kDestAmpEnv && tremolo.Par == cEnvelopeParams::kFieldAmount)
        p.GetLFO(2).Amount *= factor;
}

// A shaped drive distorts by how loud the voices reach it, and its output
// gain is (0.6 Out + 0.4)(1 - 0.3 Drive) whatever goes in. The voices keep
// meeting it as designed (Drive rises while the level falls by as much),
// and Drive and Out lower its output, as far as their ranges allow.
void LowerShapedDrive(tPatch& p)
{
    cWaveShapeParams& drive = p.WS;
    const float raised = std::min(1.0f, drive.Drive / kHeadroom);
    ScaleLevel(p, drive.Drive / raised);
    const float driveGain = (1.0f - 0.3f * raised) / (1.0f - 0.3f * drive.Drive);
    const float outGain = (0.6f * drive.Out + 0.4f) * kHeadroom / driveGain;
    drive.Drive = raised;
    drive.Out = std::max(0.0f, (outGain - 0.4f) / 0.6f);
}

// The crusher's steps are a fixed share of full scale, 2^-(1 + 15 (1 -
// Drive)^4): quieter voices get as many more bits as keep their steps in
// proportion, so they crush as designed (and do not fall below one step).
void LowerCrushedDrive(tPatch& p)
{
    cWaveShapeParams& drive = p.WS;
    ScaleLevel(p, kHeadroom);
    const float bits = 1.0f + 15.0f * std::pow(1.0f - drive.Drive, 4.0f) - std::log2(kHeadroom);
    drive.Drive = std::clamp(1.0f - std::pow((bits - 1.0f) / 15.0f, 0.25f), 0.0f, 1.0f);
}

void LeaveHeadroom(tPatch& p)
{
    const bool drive = p.WS.Enable != 0;
    if (drive && p.WS.Shape == cWaveShapeParams::kShapeLoFi)
        LowerCrushedDrive(p);
    else if (drive && p.WS.Shape != cWaveShapeParams::kShapeEQOnly)
        LowerShapedDrive(p);
    else
        ScaleLevel(p, kHeadroom);
}

// The slots after the designs keep the init sound, at the designs' level:
// a MIDI file's program change lands on them as often as on a design.
void DesignBank(cAnalogueSynthPresetStore& store, int32_t bank)
{
    const cBankDesign& design = kBanks[bank];
    for (int32_t slot = 0; slot < cAnalogueSynthPresetStore::kSlotCount; ++slot)
    {
        tPatch& patch = store.GetSingle(cAnalogueSynthPresetStore::MakeId(bank, slot));
        if (slot < design.count)
        {
            patch.SetName(design.presets[slot].name);
            design.presets[slot].design(patch);
        }
        LeaveHeadroom(patch);
    }
}
} // namespace

bool WriteFactoryBanks(const std::string& resources)
{
    namespace fs = std::filesystem;
    // The bank writer works on the "Doc" mount; here it is the content folder.
    cFileSystemRegistry* outer = gFileSystemRegistry;
    new cFileSystemRegistry();
    gFileSystemRegistry->Mount(new File::cFileSystemDisk("Doc", resources.c_str()));
    auto store = std::make_unique<cAnalogueSynthPresetStore>();
    bool ok = true;
    for (int32_t bank = 0; bank < cAnalogueSynthPresetStore::kGlobalBankCount; ++bank)
    {
        DesignBank(*store, bank);
        char path[64];
        std::snprintf(path, sizeof(path), "Instruments/Kest/Global%c", 'A' + bank);
        const bool saved = SaveBank(*store, bank, path, nullptr, false);
        if (!saved)
            std::fprintf(stderr, "resgen: could not write %s.bnk\n", path);
        ok &= saved;
        // A rebuild replaces the content; it keeps no backups.
        std::error_code ignored;
        fs::remove(fs::path(resources) / (std::string(path) + ".bnk.bak"), ignored);
    }
    delete gFileSystemRegistry;
    gFileSystemRegistry = outer;
    return ok;
}
