#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "SynthSoundFixture.h"
#include "audio/AllocationCounter.h"
#include "audio/AudioBufferPool.h"
#include "audio/AudioDevicePort.h"
#include "audio/Sample.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "mixer/EffectChorusDelay.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectWaveShape.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"

namespace
{
// The built-in effects, counting what the module asks of them.
struct cEffectCounts
{
    int driveRuns = 0;
    int driveResets = 0;
    int chorusDelayResets = 0;
};
cEffectCounts gCounts;

class cCountingDrive : public cEffectWaveShape
{
public:
    using cEffectWaveShape::cEffectWaveShape;
    int32_t ProcessModulated(const cAudioProcessInfo& info, cAudioBuffer& buffer, const float* modulation) override
    {
        ++gCounts.driveRuns;
        return cEffectWaveShape::ProcessModulated(info, buffer, modulation);
    }
    void Reset() override
    {
        ++gCounts.driveResets;
        cEffectWaveShape::Reset();
    }
};

class cCountingChorusDelay : public cEffectChorusDelay
{
public:
    using cEffectChorusDelay::cEffectChorusDelay;
    void Reset() override
    {
        ++gCounts.chorusDelayResets;
        cEffectChorusDelay::Reset();
    }
};

template <class tEffect>
class cCountingPackage : public cEffectPackage
{
public:
    explicit cCountingPackage(const char* shortName) : cEffectPackage(shortName, shortName, "") {}
    cEffect* CreateEffect() override { return new tEffect(this); }
};

// A 16-bit mono ramp: frame n holds n, so a position can be read back.
std::string RampWav(int frames)
{
    std::vector<int16_t> samples;
    for (int n = 0; n < frames; ++n)
        samples.push_back(int16_t(n));
    cWavFormat format;
    format.channels = 1;
    return SimpleWav(format, Samples16(samples));
}

// The gain of a designed section at a frequency.
double SectionGain(const cBiquad& s, double hz)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * hz / 44100.0);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((double(s.b0) + double(s.b1) * z1 + double(s.b2) * z2) /
                    (1.0 + double(s.a1) * z1 + double(s.a2) * z2));
}
} // namespace

class SynthModuleSound : public cSynthSound
{
protected:
    std::unique_ptr<cAnalogueSynth> Play(const cAnalogueSynthSingle& patch)
    {
        store.GetSingle(0) = patch;
        auto synth = MakeSynth();
        Render(*synth, kBlock);
        return synth;
    }
    // A patch that plays the registered sample of frames frames.
    cAnalogueSynthSingle SamplePatch(int frames)
    {
        folder->Write("User/Samples/Ramp.wav", RampWav(frames));
        sample = cSample::Load("User/Samples/Ramp.wav", 0);
        store.SetSamplePath(0, cGenString("User/Samples/Ramp.wav"));
        cAnalogueSynthSingle patch;
        patch.Osc.Mod = cOscSectionParams::kModeSample;
        patch.Polyphony = 8;
        return patch;
    }
    void TearDown() override
    {
        if (sample)
            sample->Release();
        cSynthSound::TearDown();
    }

    cSample* sample = nullptr;
};

// NoteSlice 4 on 4000 frames: each key picks one of four slices, key 24 the
// first, repeating every four keys.
TEST_F(SynthModuleSound, NoteSlicesPickTheirStartByKey)
{
    cAnalogueSynthSingle patch = SamplePatch(4000);
    patch.Sample.NoteSlice = 4;
    auto synth = Play(patch);
    ASSERT_EQ(synth->GetSampleManager().GetSample(0), sample);
    for (const auto& [key, start] : {std::pair{24, 0}, {25, 1000}, {26, 2000}, {27, 3000}, {28, 0}, {21, 3000}})
    {
        SCOPED_TRACE(key);
        NoteOn(*synth, key, UserVoice(uint32_t(key)));
        Render(*synth, kBlock);
        const cSamplePlayer& player = Voices(*synth)[0]->GetSamplePlayer();
        ASSERT_EQ(player.GetSample(), sample);
        EXPECT_EQ(player.GetPosition() - int32_t(kBlock), start);
    }
}

// A loop direction outside the four plays as the nearest of them; the
// stored value stays.
TEST_F(SynthModuleSound, LoopDirectionsOutsideTheListAreHeldToIt)
{
    for (const auto& [dir, backward] : {std::pair{7, true}, {3, true}, {1, true}, {0, false}, {-2, false}})
    {
        SCOPED_TRACE(dir);
        cAnalogueSynthSingle patch = SamplePatch(4000);
        patch.Sample.Dir = dir;
        auto synth = Play(patch);
        NoteOn(*synth, 60, UserVoice(1));
        Render(*synth, kBlock);
        const cSamplePlayer& player = Voices(*synth)[0]->GetSamplePlayer();
        EXPECT_EQ(player.IsBackward(), backward);
        EXPECT_EQ(player.GetPosition(), backward ? 4000 - 1 - int32_t(kBlock) : int32_t(kBlock));
        EXPECT_EQ(synth->GetParamInt(SingleId(kSingleGroupSample, cSampleLayerParams::kFieldDir)), dir);
        sample->Release();
        sample = nullptr;
    }
}

// A negative Polyphony plays one voice retriggered, and is kept as stored.
TEST_F(SynthModuleSound, ANegativePolyphonyCountsAsOne)
{
    cAnalogueSynthSingle patch;
    patch.Polyphony = -3;
    patch.AmpEnv.R = 1.0f;
    auto synth = Play(patch);
    EXPECT_EQ(synth->GetVoiceEngine().GetLayerLimit(0), 1);
    NoteOn(*synth, 60, UserVoice(1));
    NoteOn(*synth, 64, UserVoice(2));
    Render(*synth, kBlock);
    ASSERT_EQ(Voices(*synth).size(), 1u);
    EXPECT_EQ(Voices(*synth)[0]->note, 64);
    NoteOff(*synth, 64, UserVoice(2));
    Render(*synth, kBlock);
    ASSERT_EQ(Voices(*synth).size(), 1u);
    EXPECT_EQ(Voices(*synth)[0]->note, 60);
    EXPECT_EQ(Voices(*synth)[0]->state, cAnalogueSynthVoice::kHeld);
    EXPECT_EQ(synth->GetParamInt(SingleId(kSingleGroupPolyphony)), -3);
}

// With every pool buffer taken the voices make no sound, but go on: their
// envelopes run and finished voices are collected.
TEST_F(SynthModuleSound, WithoutScratchTheVoicesGoOnSilently)
{
    auto synth = Play(cAnalogueSynthSingle());
    cAudioBufferPool& pool = *manager->GetBufferPool();
    std::vector<cAudioBufferPool::cHandle> taken;
    while (pool.GetFreeCount() > 0)
        taken.push_back(pool.Acquire(kAudioFormatFloat, kBlock, 2));
    NoteOn(*synth, 60, UserVoice(1));
    const std::vector<float> out = Render(*synth, 10 * kBlock);
    for (float x : out)
        ASSERT_EQ(x, 0.0f);
    ASSERT_EQ(Voices(*synth).size(), 1u);
    EXPECT_NEAR(Voices(*synth)[0]->age, 10.0f * kBlock / kRate, 1e-4);
    EXPECT_GT(Voices(*synth)[0]->currentLeft, 0.0f);
    NoteOff(*synth, 60, UserVoice(1));
    Render(*synth, 20 * kBlock);
    EXPECT_TRUE(Voices(*synth).empty());
    for (const auto& handle : taken)
        pool.Release(handle);
    NoteOn(*synth, 60, UserVoice(2));
    const std::vector<float> heard = Render(*synth, 10 * kBlock);
    EXPECT_GT(*std::max_element(heard.begin(), heard.end()), 0.1f);
}

// Module parameter events: volume and pan go to the strip, 3 to 8 into the
// current preset's controllers; automation (word A not 0) moves the value
// only; indexes from 9 on are ignored.
TEST_F(SynthModuleSound, ModuleParametersReachTheStripAndThePreset)
{
    cAnalogueSynthPackage package;
    cInstrument* instrument = package.CreateInstrument(0);
    cAnalogueSynth& synth = *static_cast<cAnalogueSynthInstrument*>(instrument)->GetSynth();
    auto& strip = *static_cast<cMixerChannel*>(instrument->GetChannel(0));
    EXPECT_FLOAT_EQ(synth.GetParamValue(1), strip.volume) << "applied from the strip";
    EXPECT_FLOAT_EQ(synth.GetParamValue(2), strip.pan);
    synth.TakeChangedMask();

    ModuleParam(synth, 1, 0.3f);
    ModuleParam(synth, 2, 0.2f);
    ModuleParam(synth, 5, 0.6f);
    ModuleParam(synth, 0, -0.5f);
    Render(synth, kBlock);
    EXPECT_FLOAT_EQ(strip.volume, 0.3f);
    EXPECT_FLOAT_EQ(strip.pan, 0.2f);
    EXPECT_FLOAT_EQ(strip.workingVolume, 0.3f) << "the strip follows every block";
    EXPECT_FLOAT_EQ(strip.workingPan, 0.2f);
    EXPECT_FLOAT_EQ(synth.GetEditSingle().Ctrl.values[5], 0.6f);
    EXPECT_TRUE(synth.IsModified());
    EXPECT_FLOAT_EQ(synth.GetParamValue(0), -0.5f);
    EXPECT_EQ(synth.TakeChangedMask(), 0b100111u);

    ModuleParam(synth, 1, 0.9f, 1);
    ModuleParam(synth, 5, 0.1f, 1);
    ModuleParam(synth, 9, 0.7f);
    ModuleParam(synth, 31, 0.7f);
    Render(synth, kBlock);
    EXPECT_FLOAT_EQ(strip.volume, 0.3f);
    EXPECT_FLOAT_EQ(strip.workingVolume, 0.9f);
    EXPECT_FLOAT_EQ(synth.GetParamValue(5), 0.1f);
    EXPECT_FLOAT_EQ(synth.GetEditSingle().Ctrl.values[5], 0.6f);
    EXPECT_EQ(synth.TakeChangedMask(), 0b100010u);

    // A reload takes the strip's stored values back.
    synth.PostEvent(cAudioEvent{0, 0, kAudioEventReloadParams});
    Render(synth, kBlock);
    EXPECT_FLOAT_EQ(strip.workingVolume, 0.3f);
    EXPECT_FLOAT_EQ(synth.GetParamValue(0), 0.0f);
    package.DestroyInstrument(instrument);
}

// An instrument's all-notes-off reaches the sequencer, which holds notes for
// it too.
TEST_F(SynthModuleSound, AnInstrumentsAllNotesOffReachesTheSequencer)
{
    cRecordingSequencer recording;
    auto package = std::make_unique<cAnalogueSynthPackage>();
    cInstrument* instrument = package->CreateInstrument(0);
    instrument->SetSlot(5);
    cAnalogueSynth& synth = *static_cast<cAnalogueSynthInstrument*>(instrument)->GetSynth();
    NoteOn(synth, 60, UserVoice(1));
    Render(synth, kBlock);
    recording.Take();
    instrument->AllNotesOff(0);
    const std::vector<cAudioEvent> events = recording.Take();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, kAudioEventAllNotesOff);
    EXPECT_EQ(events[0].slot, 5);
    Render(synth, kBlock);
    EXPECT_FALSE(synth.GetVoiceEngine().HasActiveVoices());
    package->DestroyInstrument(instrument);
}

// The performance controllers' rows to the effects and sends, from the
// module parameters: only rows 6 to 10, only destinations 12 to 15.
TEST_F(SynthModuleSound, GlobalModulationRoutesTheControllerRows)
{
    cAnalogueSynthSingle patch;
    patch.Mod.rows[6] = {cModMatrix::kDestWaveShaper, 1, 50};
    patch.Mod.rows[7] = {cModMatrix::kDestChorus, 3, 100};
    patch.Mod.rows[8] = {cModMatrix::kDestDelay, 2, -100};
    patch.Mod.rows[9] = {cModMatrix::kDestSendFX, 1, 100};
    patch.Mod.rows[10] = {cModMatrix::kDestFilter, 0, 100};
    patch.Mod.rows[5] = {cModMatrix::kDestChorus, 0, 100};
    patch.Send2 = 0.1f;
    auto synth = Play(patch);
    for (uint32_t index = 4; index <= 8; ++index)
        ModuleParam(*synth, index, 0.1f * float(index), 1);
    Render(*synth, kBlock);
    const cModuleModulation& sums = synth->GetGlobalModulation();
    const std::vector<float> expected = {0, 0.2f, 0, 0, 0, 0, 0.5f, 0, 0, -0.6f, 0, 0.7f};
    const std::vector<float> actual(&sums.waveShaper[0], &sums.waveShaper[0] + 12);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-6) << i;
    EXPECT_FLOAT_EQ(synth->GetOutputValue(3, 0), 0.8f);
    EXPECT_FLOAT_EQ(synth->GetOutputValue(2, 0), 0.0f);
    ModuleParam(*synth, 7, 1.0f, 1);
    Render(*synth, kBlock);
    EXPECT_FLOAT_EQ(synth->GetOutputValue(3, 0), 1.0f) << "held to 1";
    EXPECT_FLOAT_EQ(synth->GetOutputValue(1, 0), 0.5f);

    // In multi mode with layer 0 off the sums keep their values.
    store.GetMulti(0).layers[0].Index = cAnalogueSynthMulti::kLayerOff;
    SetInt(*synth, MakeSynthParamId(kSynthParamMode), 1);
    ModuleParam(*synth, 7, 0.0f, 1);
    Render(*synth, kBlock);
    EXPECT_FLOAT_EQ(synth->GetGlobalModulation().send[1], 1.0f);
    EXPECT_EQ(synth->GetCurrentModMatrix(), nullptr);
    store.GetMulti(0).layers[0].Index = 5;
    SetInt(*synth, MakeSynthParamId(kSynthParamMode), 0);
    SetInt(*synth, MakeSynthParamId(kSynthParamMode), 1);
    synth->DrainEvents();
    EXPECT_EQ(synth->GetCurrentModMatrix(), &store.GetSingle(5).Mod);
}

// The module sleeps once its voices are gone and its output has been
// silent for a second: the effects and the output filter then stand still,
// and waking starts them afresh.
TEST_F(SynthModuleSound, SleepsAfterASecondOfSilenceAndWakesAfresh)
{
    DeleteEffectPackages();
    new cEffectRegistry();
    gEffectRegistry->AddPackage(new cCountingPackage<cCountingDrive>("9TH HARBOR"));
    gEffectRegistry->AddPackage(new cCountingPackage<cCountingChorusDelay>("VELTRIX"));
    RegisterEffectPackages();
    gCounts = {};
    cAnalogueSynthSingle patch;
    patch.WS.Enable = 1;
    patch.CD.Enable = 1;
    auto synth = Play(patch);
    EXPECT_EQ(gCounts.driveResets, 1) << "awake from the start";
    EXPECT_EQ(gCounts.chorusDelayResets, 1);

    NoteOn(*synth, 60, UserVoice(1));
    Render(*synth, 20 * kBlock);
    NoteOff(*synth, 60, UserVoice(1));
    int block = 0, lastAudible = 0;
    for (; synth->GetOutputValue(4, 0) == 0.0f && block < 1000; ++block)
    {
        const std::vector<float> out = Render(*synth, kBlock);
        if (std::any_of(out.begin(), out.end(), [](float x) { return std::fabs(x) > 1e-4f; }))
            lastAudible = block;
        if (synth->GetVoiceEngine().HasActiveVoices())
        {
            EXPECT_EQ(synth->GetOutputValue(4, 0), 0.0f) << "asleep while a voice plays";
        }
    }
    EXPECT_LT(lastAudible, 20);
    EXPECT_NEAR(float(block - lastAudible) * kBlock / kRate, cAnalogueSynth::kSleepSeconds, 2.0f * kBlock / kRate);

    // Asleep: nothing runs, and a quiet input passes as it came.
    const int runs = gCounts.driveRuns;
    const cBiquad before = synth->GetOutputFilter(0);
    cTestBlock quiet(kBlock, 2, 5e-5f);
    for (int i = 0; i < 50; ++i)
        synth->Process(MakeProcessInfo(kBlock), quiet.view);
    EXPECT_EQ(gCounts.driveRuns, runs);
    for (float x : quiet.samples)
        ASSERT_EQ(x, 5e-5f);
    EXPECT_EQ(synth->GetOutputFilter(0).x1, before.x1);
    EXPECT_EQ(synth->GetOutputValue(4, 0), 1.0f);

    NoteOn(*synth, 64, UserVoice(2));
    Render(*synth, kBlock);
    EXPECT_EQ(synth->GetOutputValue(4, 0), 0.0f);
    EXPECT_EQ(gCounts.driveRuns, runs + 1);
    EXPECT_EQ(gCounts.driveResets, 2);
    EXPECT_EQ(gCounts.chorusDelayResets, 2);
    EXPECT_EQ(synth->GetSilenceDetector().woke, 0);

    // A reset event resets both as well.
    synth->PostEvent(cAudioEvent{0, 0, kAudioEventReset});
    Render(*synth, kBlock);
    EXPECT_EQ(gCounts.driveResets, 3);
    EXPECT_EQ(gCounts.chorusDelayResets, 3);
}

// The output high-pass, designed at 25 Hz with Q 1 on both channels: 12 dB
// per octave below, flat above.
TEST_F(SynthModuleSound, TheOutputHighPassCutsBelowTwentyFiveHertz)
{
    auto synth = Play(cAnalogueSynthSingle());
    const cBiquad& left = synth->GetOutputFilter(0);
    EXPECT_EQ(left.type, cBiquad::kHighPass);
    EXPECT_FLOAT_EQ(left.cutoff, 25.0f / 44100.0f);
    EXPECT_FLOAT_EQ(left.q, 1.0f);
    EXPECT_FLOAT_EQ(left.level, 1.0f);
    for (double hz : {10.0, 25.0, 50.0, 200.0, 1000.0})
    {
        SCOPED_TRACE(hz);
        auto fresh = Play(cAnalogueSynthSingle());
        const uint32_t frames = 4 * 44100;
        std::vector<float> out;
        cTestBlock block(kBlock, 2);
        for (uint32_t done = 0; done < frames; done += kBlock)
        {
            for (uint32_t f = 0; f < kBlock; ++f)
                block.At(f, 0) = block.At(f, 1) = 0.5f * float(std::sin(2.0 * M_PI * hz * (done + f) / 44100.0));
            fresh->Process(MakeProcessInfo(kBlock), block.view);
            out.insert(out.end(), block.samples.begin(), block.samples.end());
        }
        for (int channel = 0; channel < 2; ++channel)
        {
            const double gain = WindowedToneAmplitude(Channel(out, channel), 2 * 44100, 2 * 44100, hz / 44100.0) / 0.5;
            EXPECT_NEAR(ToDb(gain), ToDb(SectionGain(fresh->GetOutputFilter(channel), hz)), 0.05);
        }
    }
    EXPECT_LT(ToDb(SectionGain(left, 10.0)), -14.0);
    EXPECT_NEAR(ToDb(SectionGain(left, 1000.0)), 0.0, 0.01);
}

// Ten seconds of playing through the audio thread's own pass: chords,
// bends, controllers, preset steps and selections between an oscillator
// preset, one with its effects on and one on a registered sample; nothing
// is allocated.
TEST_F(SynthModuleSound, SteadyPlayingAllocatesNothing)
{
    cAnalogueSynthSingle samplePatch = SamplePatch(20000);
    samplePatch.Sample.Loop = 1;
    store.GetSingle(1) = samplePatch;
    store.SetSamplePath(1, cGenString("User/Samples/Ramp.wav"));
    store.SetSamplePath(0, cGenString(""));
    cAnalogueSynthSingle effects;
    effects.WS.Enable = 1;
    effects.CD.Enable = 1;
    effects.Polyphony = 8;
    store.GetSingle(2) = effects;
    store.GetSingle(0).Polyphony = 8;

    cRecordingSequencer sequencer;
    cAnalogueSynthPackage package;
    package.GetStore().GetSingle(0) = store.GetSingle(0);
    package.GetStore().GetSingle(1) = store.GetSingle(1);
    package.GetStore().GetSingle(2) = store.GetSingle(2);
    package.GetStore().SetSamplePath(1, cGenString("User/Samples/Ramp.wav"));
    cInstrument* instrument = package.CreateInstrument(0);
    cAnalogueSynth& synth = *static_cast<cAnalogueSynthInstrument*>(instrument)->GetSynth();
    cMixingDeskInstrument desk(nullptr);
    cMixer& mixer = *desk.GetMixer();
    mixer.InsertChannels(instrument, nullptr);
    manager->GetOutputPort()->AddListener(&mixer);

    int sampleVoicePasses = 0, oscillatorVoicePasses = 0;
    const auto play = [&](int pass) {
        const int chord = pass / 40;
        if (pass % 40 == 0)
            for (int n = 0; n < 3; ++n)
                NoteOn(synth, 48 + chord % 24 + 4 * n, UserVoice(uint32_t(chord * 4 + n)));
        if (pass % 40 == 30)
            for (int n = 0; n < 3; ++n)
                NoteOff(synth, 48 + chord % 24 + 4 * n, UserVoice(uint32_t(chord * 4 + n)));
        ModuleParam(synth, 0, float(std::sin(pass * 0.05)));
        ModuleParam(synth, 8, float(pass % 100) / 100.0f);
        if (pass % 160 == 100)
            synth.PostEvent(cAudioEvent{0, 0, kAudioEventSelectPreset, 0, {0, 0}, 0, uint32_t(chord % 3)});
        if (pass % 160 == 20)
        {
            cAudioEvent step;
            step.type = kAudioEventStepPreset;
            step.wordA = chord % 2 ? 1u : uint32_t(-1);
            synth.PostEvent(step);
        }
        // Cleared in place: the counted passes keep the vector's room.
        sequencer.DrainEvents();
        sequencer.received.clear();
        if (const cAnalogueSynthVoice* voice = synth.GetVoiceEngine().GetNewestVoice())
            ++(voice->sampleVoice && voice->GetSamplePlayer().GetSample() ? sampleVoicePasses : oscillatorVoicePasses);
    };
    // The first passes settle what is made on first use.
    for (int pass = 0; pass < 400; ++pass)
    {
        play(pass);
        manager->RenderNextBuffer();
    }
    SetCountAllocationsOnThisThread(true);
    const uint64_t before = GetCountedAllocations();
    const int passes = int(10.0 * 44100.0 / 220.0);
    for (int pass = 400; pass < 400 + passes; ++pass)
    {
        play(pass);
        manager->RenderNextBuffer();
    }
    const uint64_t counted = GetCountedAllocations() - before;
    SetCountAllocationsOnThisThread(false);
    EXPECT_EQ(counted, 0u);
    EXPECT_GT(sampleVoicePasses, 100);
    EXPECT_GT(oscillatorVoicePasses, 100);
    manager->GetOutputPort()->RemoveListener(&mixer);
    mixer.RemoveChannels(instrument);
    package.DestroyInstrument(instrument);
}
