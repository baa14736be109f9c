#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "BuildPaths.h"
#include "ScopedEnv.h"
#include "audio/AudioBufferPool.h"
#include "audio/AudioDevicePort.h"
#include "audio/AudioManager.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/SampleFiles.h"
#include "audio/SignalMeasure.h"
#include "audio/WaitUntil.h"
#include "audio/WavFile.h"
#include "audio/WaveShaper.h"
#include "audio/Wavetable.h"
#include "base/FastMath.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthInstrument.h"
#include "instruments/synth/AnalogueSynthPackage.h"
#include "instruments/synth/ModMatrixEvaluator.h"
#include "instruments/synth/SynthParamId.h"
#include "mixer/EffectUnits.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"

using namespace std::chrono_literals;

namespace
{
constexpr double kRate = 44100.0;

int32_t Frame(double seconds) { return int32_t(seconds * kRate); }

// A listener of the output port. Before the mixer it posts the script's
// events into the synthesizer in the first block at or after their frames;
// after the mixer it marks the device's first frame, so that the capture can
// be lined up with the engine's frames.
class cScript : public cAudioModuleBase
{
public:
    struct cCue
    {
        int32_t frame;
        cAudioEvent event;
    };

    cScript(cAudioModuleBase* target, bool marker) : cAudioModuleBase(0), mTarget(target), mMarker(marker) {}

    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        if (mMarker)
        {
            if (frames.load() == 0)
                static_cast<int16_t*>(buffer.data)[0] = kMark;
        }
        else
            while (mNext < cues.size() && cues[mNext].frame <= int32_t(frames.load()))
                mTarget->PostEvent(cues[mNext++].event);
        frames += buffer.frames;
        return 0;
    }
    bool Done() const { return mNext == cues.size(); }

    static constexpr int16_t kMark = 12345;
    std::vector<cCue> cues;
    std::atomic<uint64_t> frames{0};

private:
    cAudioModuleBase* mTarget;
    bool mMarker;
    size_t mNext = 0;
};

cAudioEvent NoteEvent(uint8_t type, int note, uint32_t id)
{
    cAudioEvent event;
    event.type = type;
    event.SetNote(uint8_t(note), 100);
    event.wordB = kVoiceSourceUser << 24 | id;
    return event;
}

// The strongest component near the expected frequency: a Hann-windowed
// bin swept in steps of 0.01 %.
void FindTone(const std::vector<float>& x, int32_t from, int32_t count, double expected, double& frequency,
              double& amplitude)
{
    amplitude = 0.0;
    for (double f = expected * 0.99; f <= expected * 1.01; f += expected * 1e-4)
    {
        const double a = WindowedToneAmplitude(x, size_t(from), size_t(count), f / kRate);
        if (a > amplitude)
            amplitude = a, frequency = f;
    }
}

double KeyScale(int note) { return note <= 36 ? 1.0 : note <= 84 ? 1.0 - (note - 36) / 48.0 * 0.3 : 0.7; }

} // namespace

class SynthHeard : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        InitFastMathTables();
        BuildShapeTables();
    }
    static void TearDownTestSuite() { FreeShapeTables(); }
    void SetUp() override
    {
        gFileSystemRegistry->Mount(new File::cFileSystemDisk("Res", BuildFile("bin/Resource").c_str()));
        BuildWaveTables();
        RegisterEffectPackages();
    }
    void TearDown() override
    {
        DeleteEffectPackages();
        FreeWaveTables();
    }

    // The fundamental of the init single's two oscillators at the note, as
    // their section renders it on its own.
    static double OscillatorFundamental(int note)
    {
        cOscSectionParams params = cAnalogueSynthSingle().Osc;
        cOscSection osc;
        osc.Reset();
        osc.SetParams(&params);
        cAudioBufferPool pool(2, 128);
        cModulationSums sums{};
        osc.Control(sums, float(note));
        std::vector<float> out;
        cTestBlock block(128, 1);
        for (int i = 0; i < 400; ++i)
        {
            osc.Render(MakeProcessInfo(128), block.view, &pool);
            out.insert(out.end(), block.samples.begin(), block.samples.end());
        }
        double frequency = 0.0, amplitude = 0.0;
        FindTone(out, 8192, 32768, 440.0 * std::exp2((note - 69) / 12.0), frequency, amplitude);
        return amplitude;
    }

    cSampleFolder folder; // an empty "Doc": the init presets
};

// The real audio manager plays a synthesizer in a slot through the desk's
// mixer into the disk device: notes 57, 69 and 81 of the init single at
// their pitch and at the level the voice, the strip and the master give
// them; then a legato pair gliding up and back in its glide time.
TEST_F(SynthHeard, NotesAndGlidesAreHeardAtTheirPitchLevelAndTime)
{
    const std::string raw = folder.Doc("capture.raw");
    cAnalogueSynthPackage package;
    cInstrumentSlotTable slots;
    cInstrument* kest = package.CreateInstrument(0);
    slots.SetSlot(2, kest, false);
    cAnalogueSynth& synth = *static_cast<cAnalogueSynthInstrument*>(kest)->GetSynth();
    cMixingDeskInstrument desk(nullptr);
    cMixer& mixer = *desk.GetMixer();
    mixer.InsertChannels(kest, nullptr);

    cScript script(&synth, false);
    cScript marker(&synth, true);
    const int notes[] = {57, 69, 81};
    for (int i = 0; i < 3; ++i)
    {
        script.cues.push_back({Frame(0.2 + i), NoteEvent(kAudioEventNoteOn, notes[i], uint32_t(i + 1))});
        script.cues.push_back({Frame(0.9 + i), NoteEvent(kAudioEventNoteOff, notes[i], uint32_t(i + 1))});
    }
    // Polyphony 0 and a GlideTime of 0.5 s (5 v^4).
    script.cues.push_back({Frame(3.1), MakeSetIntEvent(MakeSynthParamId(kSynthParamSingle, kSingleGroupPolyphony), 0)});
    script.cues.push_back(
        {Frame(3.1), MakeSetFloatEvent(MakeSynthParamId(kSynthParamSingle, kSingleGroupGlideTime), 0.56234133f)});
    const double legatoOn = 3.3, secondOn = 4.0, secondOff = 5.0, legatoOff = 6.0;
    script.cues.push_back({Frame(legatoOn), NoteEvent(kAudioEventNoteOn, 57, 10)});
    script.cues.push_back({Frame(secondOn), NoteEvent(kAudioEventNoteOn, 69, 11)});
    script.cues.push_back({Frame(secondOff), NoteEvent(kAudioEventNoteOff, 69, 11)});
    script.cues.push_back({Frame(legatoOff), NoteEvent(kAudioEventNoteOff, 57, 10)});
    script.cues.push_back({Frame(6.5), cAudioEvent()});
    {
        cScopedEnv driver("SDL_AUDIODRIVER", "disk");
        cScopedEnv file("SDL_DISKAUDIOFILE", raw.c_str());
        cAudioManager manager;
        manager.GetOutputPort()->AddListener(&script);
        manager.GetOutputPort()->AddListener(&mixer);
        manager.GetOutputPort()->AddListener(&marker);
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        settings.bufferLatency = 4; // the deepest queue: a busy machine cannot starve the device
        ASSERT_TRUE(manager.Init(settings)) << manager.GetErrorText();
        ASSERT_TRUE(WaitUntil([&] { return script.Done(); }, 30s));
        std::this_thread::sleep_for(300ms);
        manager.Shutdown();
        manager.GetOutputPort()->RemoveListener(&marker);
        manager.GetOutputPort()->RemoveListener(&mixer);
        manager.GetOutputPort()->RemoveListener(&script);
        mixer.RemoveChannels(kest);
    }

    const std::string bytes = folder.Read("capture.raw");
    std::vector<int16_t> samples(bytes.size() / 2);
    std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    {
        const std::string kept = BuildFile("test-output/synth-heard.wav");
        std::filesystem::create_directories(std::filesystem::path(kept).parent_path());
        cWavFile wav;
        wav.SetFormat(44100, 16, 2);
        ASSERT_TRUE(wav.OpenWrite(kept.c_str()));
        ASSERT_TRUE(wav.WriteData(samples.data(), uint32_t(samples.size() * 2)));
        ASSERT_TRUE(wav.Close());
    }
    // The engine's first frame carries the marker; the device played
    // silence before it.
    const auto mark = std::find(samples.begin(), samples.end(), cScript::kMark);
    ASSERT_NE(mark, samples.end());
    const size_t start = size_t(mark - samples.begin()) / 2;
    ASSERT_GE(samples.size() / 2, start + size_t(Frame(6.4)));
    std::vector<float> left(samples.size() / 2 - start);
    for (size_t n = 0; n < left.size(); ++n)
        left[n] = float(samples[(start + n) * 2]) / 32768.0f;
    left[0] = 0.0f;

    // Velocity 100, the voice gain, key scaling, the open low-pass's level,
    // the centre of the voice's pan, the output high-pass, then the strip at
    // its defaults and the master at its defaults.
    float panLeft, panRight;
    cMixerChannel::PanFactors(0.5f, panLeft, panRight);
    const double strips = 2.4 * 0.9 * std::pow(cMixerChannel::VolumeGain(cMixerChannel::kDefaultVolume) * panLeft, 2.0);
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(notes[i]);
        const double hz = 440.0 * std::exp2((notes[i] - 69) / 12.0);
        double frequency = 0.0, amplitude = 0.0;
        FindTone(left, Frame(0.35 + i), Frame(0.5), hz, frequency, amplitude);
        EXPECT_NEAR(frequency / hz, 1.0, 0.003);
        const double expected = OscillatorFundamental(notes[i]) * 100.0 / 127.0 * cAnalogueSynth::kVoiceGain *
                                KeyScale(notes[i]) * 0.85 * panLeft * strips;
        EXPECT_NEAR(ToDb(amplitude / expected), 0.0, 0.5) << amplitude << " against " << expected;
    }

    // Legato: the second key glides the sounding voice up in 0.5 s without
    // a new attack; its release glides back, as long again.
    const auto hzAt = [&](double seconds) {
        return CrossingFrequency(left, Frame(seconds - 0.01), Frame(seconds + 0.01));
    };
    const double low = 440.0 * std::exp2(-1.0), middle = 440.0 * std::exp2(-0.5);
    EXPECT_NEAR(hzAt(secondOn - 0.05) / low, 1.0, 0.005);
    EXPECT_NEAR(hzAt(secondOn + 0.25) / middle, 1.0, 0.02);
    EXPECT_LT(hzAt(secondOn + 0.44), 430.0);
    EXPECT_NEAR(hzAt(secondOn + 0.55) / 440.0, 1.0, 0.005);
    EXPECT_NEAR(hzAt(secondOff + 0.25) / middle, 1.0, 0.02);
    EXPECT_NEAR(hzAt(secondOff + 0.55) / low, 1.0, 0.005);
    // Two periods of 220 Hz at a time, a block apart.
    constexpr int32_t kTwoPeriods = 401;
    const double before = Rms(left, Frame(secondOn - 0.05), Frame(secondOn - 0.05) + kTwoPeriods);
    for (double t = secondOn - 0.01; t < secondOn + 0.03; t += 128.0 / kRate)
        EXPECT_GT(Rms(left, Frame(t), Frame(t) + kTwoPeriods), 0.85 * before) << "no new attack at " << t;
    EXPECT_EQ(Rms(left, Frame(legatoOff + 0.1), Frame(legatoOff + 0.3)), 0.0);
}
