// The synthesizer module's output against renders kept from an earlier
// engine (tests/audio/GoldenRender.h): patches built here from the
// parameters, not from factory content, each playing a short script of
// notes through every path of the voice: both oscillators in each mode,
// filters of 0, 1 and 2 stages in groups of 1 to 4 voices, LFOs, envelopes,
// the matrix, glide, the drive, the delay and the output filter.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "SynthSoundFixture.h"
#include "audio/GoldenRender.h"
#include "audio/Oscillator.h"
#include "instruments/synth/AnalogueSynthMulti.h"

namespace
{
constexpr uint32_t kFrames = 44100;
// Blocks of these sizes in turn, so every loop also meets short and odd
// remainders.
constexpr uint32_t kBlockSizes[] = {128, 92, 61, 128, 7, 128, 100};

struct cCue
{
    enum eKind
    {
        kOn,
        kOff,
        kBend,
    };
    uint32_t frame;
    eKind kind;
    int note = 0;
    int velocity = 0;
    float bend = 0.0f;
};

cCue On(uint32_t frame, int note, int velocity) { return {frame, cCue::kOn, note, velocity}; }
cCue Off(uint32_t frame, int note) { return {frame, cCue::kOff, note}; }
cCue Bend(uint32_t frame, float value) { return {frame, cCue::kBend, 0, 0, value}; }

struct cGoldenCase
{
    const char* name;
    std::function<void(cAnalogueSynthPresetStore&)> build; // patch 1, or multi 1 with mode multi
    bool multi;
    int32_t quality;
    std::vector<cCue> cues;
};

// A deterministic LFO: restarted by each note, never random.
void KeyLFO(cLFOParams& lfo, int32_t shape, float rate, float amount, float delay = 0.0f)
{
    lfo.Shape = shape;
    lfo.Sync = cLFOParams::kSyncKey;
    lfo.Rate = rate;
    lfo.Amount = amount;
    lfo.Delay = delay;
}

void Envelope(cEnvelopeParams& env, float a, float d, float s, float r, float amount = 1.0f)
{
    env.A = a, env.D = d, env.S = s, env.R = r, env.Amount = amount;
}

cAnalogueSynthSingle TwoOscillatorPatch()
{
    cAnalogueSynthSingle p;
    p.Osc.Osc1.Wave = kWaveSaw;
    p.Osc.Osc2.Wave = kWaveSquare;
    p.Osc.Osc2.Trans = 7.0f;
    p.Osc.Osc2.Tune = 0.1f;
    p.Osc.Detune = 0.3f;
    p.Osc.Mix = 0.4f;
    p.Filter.Type = cFilterParams::kTypeLowPass;
    p.Filter.Slope = cFilterParams::kSlope24;
    p.Filter.Cutoff = 0.45f;
    p.Filter.Q = 0.6f;
    p.Filter.Track = 1;
    Envelope(p.FilterEnv, 0.2f, 0.4f, 0.3f, 0.3f, 0.5f);
    Envelope(p.AmpEnv, 0.15f, 0.35f, 0.7f, 0.3f);
    p.Polyphony = 8;
    return p;
}

std::vector<cCue> Chord(std::initializer_list<int> notes, uint32_t on, uint32_t off, int velocity = 100)
{
    std::vector<cCue> cues;
    int v = velocity;
    for (int note : notes)
    {
        cues.push_back(On(on, note, v));
        v = v > 40 ? v - 9 : velocity;
    }
    for (int note : notes)
        cues.push_back(Off(off, note));
    return cues;
}

std::vector<cCue> Join(std::vector<cCue> a, const std::vector<cCue>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<cGoldenCase> Cases()
{
    std::vector<cGoldenCase> cases;
    // The init single: six voices in groups of four and two.
    cases.push_back({"synth-init-chord",
                     [](cAnalogueSynthPresetStore& store) { store.GetSingle(1).Polyphony = 8; },
                     false,
                     2,
                     Chord({48, 52, 55, 60, 64, 67}, 300, 26000)});
    // Two oscillators through a resonant two-stage low-pass with key
    // tracking; seven voices and a bend.
    cases.push_back({"synth-two-osc-filtered",
                     [](cAnalogueSynthPresetStore& store) { store.GetSingle(1) = TwoOscillatorPatch(); },
                     false,
                     2,
                     Join(Join(Chord({36, 43, 48, 55}, 0, 30000), Chord({60, 63, 67}, 9000, 22000, 90)),
                          {Bend(15000, -0.3f), Bend(20000, 0.0f)})});
    // Ring modulation into a high-pass swept by LFOs; the aux envelope and
    // the velocity in the matrix; a fifth note steals a voice.
    cases.push_back({"synth-ring-lfo",
                     [](cAnalogueSynthPresetStore& store) {
                         cAnalogueSynthSingle p;
                         p.Osc.Mod = cOscSectionParams::kModeRing;
                         p.Osc.Osc1.Wave = kWaveTriangle;
                         p.Osc.Osc2.Wave = kWaveSine;
                         p.Osc.Osc2.Trans = 12.0f;
                         p.Osc.Mix = 0.25f;
                         p.Filter.Type = cFilterParams::kTypeHighPass;
                         p.Filter.Cutoff = 0.15f;
                         p.Filter.Q = 0.8f;
                         Envelope(p.FilterEnv, 0.0f, 0.4f, 0.0f, 0.2f, 0.3f);
                         Envelope(p.AmpEnv, 0.05f, 0.3f, 0.8f, 0.2f);
                         Envelope(p.AuxEnv, 0.2f, 0.3f, 0.0f, 0.2f, 0.8f);
                         KeyLFO(p.LFO1, cLFOParams::kShapeSine, 5.5f, 0.6f, 0.2f);
                         KeyLFO(p.LFO2, cLFOParams::kShapeTriangle, 1.7f, 0.5f);
                         KeyLFO(p.LFO3, cLFOParams::kShapeSawDown, 3.0f, 0.0f);
                         KeyLFO(p.LFO4, cLFOParams::kShapeSquare, 2.0f, 0.0f);
                         p.Mod.rows[cModMatrix::kSourceLFO1] = {cModMatrix::kDestOsc, 4, 10};
                         p.Mod.rows[cModMatrix::kSourceLFO1 + 1] = {cModMatrix::kDestFilter, 0, 40};
                         p.Mod.rows[cModMatrix::kSourceAuxEnv] = {cModMatrix::kDestOsc, 2, 20};
                         p.Mod.rows[cModMatrix::kSourceVelocity] = {cModMatrix::kDestAmp, 0, 50};
                         p.Polyphony = 4;
                         store.GetSingle(1) = p;
                     },
                     false,
                     2,
                     Join(Chord({50, 57, 62, 69}, 100, 30000, 120), Chord({74}, 12000, 24000, 70))});
    // Hard sync, no filter, one voice gliding legato through a line.
    cases.push_back({"synth-sync-glide",
                     [](cAnalogueSynthPresetStore& store) {
                         cAnalogueSynthSingle p;
                         p.Osc.Mod = cOscSectionParams::kModeSync;
                         p.Osc.Osc1.Wave = kWaveSaw;
                         p.Osc.Osc2.Wave = kWaveSquare;
                         p.Osc.Mix = 0.3f;
                         p.Filter.Type = cFilterParams::kTypeOff;
                         Envelope(p.AmpEnv, 0.02f, 0.2f, 0.9f, 0.25f);
                         p.Polyphony = 0;
                         p.GlideTime = 0.15f;
                         store.GetSingle(1) = p;
                     },
                     false,
                     2,
                     {On(0, 45, 110), On(8000, 52, 100), Off(9000, 45), On(17000, 57, 90), Off(18000, 52),
                      On(26000, 50, 100), Off(27000, 57), Off(33000, 50)}});
    // Noise and a saw through a band-pass, the drive and the delay, read
    // without interpolation.
    cases.push_back({"synth-noise-drive-delay",
                     [](cAnalogueSynthPresetStore& store) {
                         cAnalogueSynthSingle p;
                         p.Osc.Osc1.Wave = kWaveNoise;
                         p.Osc.Osc2.Wave = kWaveSaw;
                         p.Osc.Mix = 0.6f;
                         p.Filter.Type = cFilterParams::kTypeBandPass;
                         p.Filter.Cutoff = 0.55f;
                         p.Filter.Q = 0.4f;
                         Envelope(p.AmpEnv, 0.0f, 0.25f, 0.5f, 0.2f);
                         p.WS.Enable = 1;
                         p.WS.Shape = cWaveShapeParams::kShapeHard;
                         p.WS.Drive = 0.6f;
                         p.WS.Bright = 0.7f;
                         p.CD.Enable = 1;
                         p.CD.Type = cChorusDelayParams::kTypeDelay;
                         p.CD.Sync = 0;
                         p.CD.DTime = 0.3f;
                         p.CD.DFeedback = 0.4f;
                         p.CD.DAmount = 0.3f;
                         store.GetSingle(1) = p;
                     },
                     false,
                     0,
                     Join(Chord({40, 47, 52}, 0, 12000), Chord({59}, 20000, 26000))});
    // Two layers of a multi: voices with two, one and no filter stages in one
    // engine.
    cases.push_back({"synth-multi-layers",
                     [](cAnalogueSynthPresetStore& store) {
                         store.GetSingle(2) = TwoOscillatorPatch();
                         cAnalogueSynthSingle& off = store.GetSingle(3);
                         off.Filter.Type = cFilterParams::kTypeOff;
                         off.Osc.Osc1.Wave = kWaveEP1;
                         off.Osc.Osc2.Wave = kWaveOff;
                         Envelope(off.AmpEnv, 0.0f, 0.5f, 0.4f, 0.3f);
                         cAnalogueSynthMulti& multi = store.GetMulti(1);
                         multi.layers[0].Index = 2;
                         multi.layers[1].Index = 3;
                         multi.layers[1].Trans = -12;
                         multi.layers[1].Vol = 0.7f;
                         multi.layers[2].Index = 0;
                         multi.layers[2].KeyMin = 60;
                     },
                     true,
                     1,
                     Chord({48, 55, 62, 64}, 200, 28000)});
    return cases;
}

class GoldenSynth : public cSynthSound
{
protected:
    std::vector<float> RenderCase(const cGoldenCase& c)
    {
        c.build(store);
        auto synth = MakeSynth();
        if (c.multi)
        {
            SetInt(*synth, MakeSynthParamId(kSynthParamMode), 1);
            SetInt(*synth, MakeSynthParamId(kSynthParamMultiPreset), 1);
        }
        else
            SetInt(*synth, MakeSynthParamId(kSynthParamSinglePreset), 1);
        gNoiseRandom = cRandom();
        std::vector<cCue> cues = c.cues;
        std::stable_sort(cues.begin(), cues.end(), [](const cCue& a, const cCue& b) { return a.frame < b.frame; });
        std::vector<float> out;
        cTestBlock scratch(128, 2);
        size_t next = 0, sizeIndex = 0;
        for (uint32_t done = 0; done < kFrames;)
        {
            const uint32_t n = std::min(kBlockSizes[sizeIndex++ % std::size(kBlockSizes)], kFrames - done);
            for (; next < cues.size() && cues[next].frame < done + n; ++next)
            {
                const cCue& cue = cues[next];
                if (cue.kind == cCue::kBend)
                    ModuleParam(*synth, 0, cue.bend);
                else if (cue.kind == cCue::kOn)
                    NoteOn(*synth, cue.note, SequencerVoice(uint32_t(cue.note)), cue.velocity);
                else
                    NoteOff(*synth, cue.note, SequencerVoice(uint32_t(cue.note)));
            }
            cAudioProcessInfo info = MakeProcessInfo(n, kRate);
            info.quality = c.quality;
            std::fill(scratch.samples.begin(), scratch.samples.end(), 0.0f);
            scratch.view.frames = n;
            synth->Process(info, scratch.view);
            out.insert(out.end(), scratch.samples.begin(), scratch.samples.begin() + n * 2);
            done += n;
        }
        return out;
    }
};
} // namespace

TEST_F(GoldenSynth, PatchesSoundAsKept)
{
    for (const cGoldenCase& c : Cases())
    {
        SCOPED_TRACE(c.name);
        store.Reset();
        EXPECT_TRUE(GoldenRender::Matches(c.name, RenderCase(c)));
    }
}
