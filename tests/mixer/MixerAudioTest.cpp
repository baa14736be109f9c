#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BuildPaths.h"
#include "MixerTestUtil.h"
#include "ScopedEnv.h"
#include "UnitsFixture.h"
#include "audio/AllocationCounter.h"
#include "audio/AudioDevicePort.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/Metronome.h"
#include "audio/SampleFiles.h"
#include "audio/Transport.h"
#include "audio/WavFile.h"
#include "audio/WaveShaper.h"
#include "mixer/AuditionPlayer.h"
#include "mixer/EffectRack.h"
#include "mixer/EffectRegistry.h"
#include "mixer/EffectUnits.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "mixer/MixingDeskInstrument.h"
#include "sequencer/Sequencer.h"

using namespace MixerTest;
using namespace std::chrono_literals;

namespace
{
// A 1 kHz sine at level 0.5 on both channels that can be switched off and
// sent to the first return; it counts the frames it has rendered.
class cSineModule : public cAudioModule
{
public:
    explicit cSineModule(cInstrument* owner) : cAudioModule(owner, 64) {}

    int32_t Process(const cAudioProcessInfo& info, cAudioBuffer& buffer) override
    {
        DrainEvents();
        if (countAllocations)
            SetCountAllocationsOnThisThread(true);
        const bool on = sounding.load();
        float* out = buffer.Floats();
        for (uint32_t f = 0; f < buffer.frames; ++f)
        {
            const double phase = 2.0 * M_PI * 1000.0 * double(frames + f) / double(info.sampleRate) + M_PI / 4.0;
            const float x = on ? 0.5f * float(std::sin(phase)) : 0.0f;
            out[f * 2] += x;
            out[f * 2 + 1] += x;
        }
        frames += buffer.frames;
        return 0;
    }
    float GetOutputValue(int32_t kind, int32_t) override
    {
        if (kind == 0)
            return 1.0f;
        if (kind == 2)
            return send1.load();
        if (kind == 3)
            return send2.load();
        return kind == 1 ? 0.5f : 0.0f;
    }

    std::atomic<bool> sounding{true};
    std::atomic<float> send1{0.0f};
    std::atomic<float> send2{0.0f};
    std::atomic<uint64_t> frames{0};
    bool countAllocations = false;
};

class cSineInstrument : public cInstrument
{
public:
    cSineInstrument()
    {
        SetModule(new cSineModule(this));
        AddChannel(new cMixerChannel(cMixerChannel::kKindInstrument, 2.4f, this, 0));
    }
    void Select() override {}
    cSineModule& Module() const { return *static_cast<cSineModule*>(GetModule()); }
    cMixerChannel& Strip() const { return *static_cast<cMixerChannel*>(GetChannel(0)); }
};

using MixerAudio = cRegisteredUnits;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// The RMS of the left channel over [from, to) frames, in full scale.
double Rms(const std::vector<int16_t>& samples, size_t from, size_t to)
{
    double sum = 0.0;
    for (size_t f = from; f < to; ++f)
        sum += double(samples[f * 2]) * samples[f * 2];
    return std::sqrt(sum / double(to - from)) / 32767.0;
}
} // namespace

// Ten seconds of a busy mix, rendered by the audio thread's own pass: every
// instrument through an insert, both sends into their effects, EQ and
// compressor on the master, the song with its click, a preview through the
// preview's chain. Nothing is allocated.
TEST_F(MixerAudio, TenSecondsOfABusyMixAllocateNothing)
{
    cSampleFolder folder;
    folder.Write("loop.wav", SimpleWav(cWavFormat(), Samples16(std::vector<int16_t>(2 * 44100, 3000))));
    auto manager = MakePausedAudioManager();
    ASSERT_NE(manager, nullptr);
    cInstrumentSlotTable slots;
    cSequencer sequencer;
    gMetronome.Init();
    cAuditionPlayer audition;
    cMixingDeskInstrument desk(nullptr);
    cMixer& mixer = *desk.GetMixer();
    const char* const inserts[] = {"QDL-5", "EQ-3B", "VELTRIX", "9TH HARBOR", "Q-HALLS"};
    std::vector<std::unique_ptr<cSineInstrument>> instruments;
    for (int i = 0; i < 16; ++i)
    {
        instruments.push_back(std::make_unique<cSineInstrument>());
        instruments.back()->Module().send1 = 0.3f;
        instruments.back()->Module().send2 = 0.2f;
        instruments.back()->Strip().insertRack.FindNode("SLOT1")->SetEffect(
            gEffectRegistry->CreateEffect(inserts[i % 5]), true);
        mixer.InsertChannels(instruments.back().get(), nullptr);
    }
    instruments[0]->Module().countAllocations = true;
    mixer.GetMaster()->insertRack.FindNode("SLOT1")->SetEffect(gEffectRegistry->CreateEffect("EQ-3B"), true);
    mixer.GetMaster()->insertRack.FindNode("SLOT2")->SetEffect(gEffectRegistry->CreateEffect("QDL-5"), true);
    audition.GetRack().FindNode("SLOT1")->SetEffect(gEffectRegistry->CreateEffect("Q-HALLS"), true);
    audition.SetUseEffects(true);
    ASSERT_TRUE(audition.PlayFile("loop.wav"));
    audition.SetLoopMode(1);
    manager->GetOutputPort()->AddListener(&mixer);
    sequencer.Play(1);

    // The first pass settles every lazy set-up outside the count.
    manager->RenderNextBuffer();
    const uint64_t before = GetCountedAllocations();
    const int passes = int(10.0 * 44100.0 / 220.0);
    for (int i = 0; i < passes; ++i)
    {
        if (i == passes / 2)
            for (auto& instrument : instruments)
                instrument->Module().PostEvent(MakeSetIntEvent(0, 0)); // events in flight
        manager->RenderNextBuffer();
    }
    const uint64_t counted = GetCountedAllocations() - before;
    SetCountAllocationsOnThisThread(false);
    EXPECT_EQ(counted, 0u);
    EXPECT_TRUE(audition.IsActive());
    sequencer.Stop();
    manager->GetOutputPort()->RemoveListener(&mixer);
    for (auto& instrument : instruments)
        mixer.RemoveChannels(instrument.get());
}

// The real audio manager pulls the desk's mixer into the disk device: a
// 1 kHz sine at the gain law's level, then sent to the reverb and stopped so
// its tail decays, then a previewed WAV that ends by itself. The capture is
// kept as "test-output/mixer-heard.wav".
TEST_F(MixerAudio, TheDeskIsHeardThroughTheDevice)
{
    cSampleFolder folder;
    std::vector<int16_t> tone;
    for (int f = 0; f < 11025; ++f)
    {
        const int16_t x = int16_t(16384.0 * std::sin(2.0 * M_PI * 440.0 * f / 44100.0));
        tone.push_back(x);
        tone.push_back(x);
    }
    folder.Write("preview.wav", SimpleWav(cWavFormat(), Samples16(tone)));
    const std::string raw = folder.Doc("capture.raw");

    cSineInstrument sine;
    cSineModule& module = sine.Module();
    uint64_t stopFrame = 0, previewFrame = 0, previewEndFrame = 0;
    {
        cScopedEnv driver("SDL_AUDIODRIVER", "disk");
        cScopedEnv file("SDL_DISKAUDIOFILE", raw.c_str());
        cAudioManager manager;
        cAuditionPlayer audition;
        cMixingDeskInstrument desk(nullptr);
        cMixer& mixer = *desk.GetMixer();
        mixer.InsertChannels(&sine, nullptr);
        manager.GetOutputPort()->AddListener(&mixer);
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        settings.bufferLatency = 4; // the deepest queue: a busy machine cannot starve the device
        ASSERT_TRUE(manager.Init(settings)) << manager.GetErrorText();
        const auto frames = [&] { return module.frames.load(); };

        ASSERT_TRUE(WaitUntil([&] { return frames() >= 44100; }, 20s));
        module.send1 = 1.0f;
        ASSERT_TRUE(WaitUntil([&] { return frames() >= 66150; }, 20s));
        module.sounding = false;
        stopFrame = frames();
        ASSERT_TRUE(WaitUntil([&] { return frames() >= stopFrame + 3 * 44100; }, 20s));
        // The return is faded out, so only the preview is heard from here on.
        cAudioEvent silenceReturn;
        silenceReturn.type = kAudioEventModuleParam;
        silenceReturn.wordB = cMixer::kParamSend1Volume;
        silenceReturn.valueF = 0.0f;
        ASSERT_TRUE(mixer.PostEvent(silenceReturn));
        ASSERT_TRUE(WaitUntil([&] { return frames() >= stopFrame + 3 * 44100 + 4410; }, 20s));
        previewFrame = frames();
        ASSERT_TRUE(audition.PlayFile("preview.wav"));
        ASSERT_TRUE(WaitUntil([&] { return !audition.IsActive(); }, 20s));
        previewEndFrame = frames();
        ASSERT_TRUE(WaitUntil([&] { return frames() >= previewEndFrame + 22050; }, 20s));
        std::this_thread::sleep_for(200ms);
        manager.Shutdown();
        manager.GetOutputPort()->RemoveListener(&mixer);
        mixer.RemoveChannels(&sine);
    }

    const std::string bytes = folder.Read("capture.raw");
    std::vector<int16_t> samples(bytes.size() / 2);
    std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    {
        const std::string kept = BuildFile("test-output/mixer-heard.wav");
        std::filesystem::create_directories(std::filesystem::path(kept).parent_path());
        cWavFile wav;
        wav.SetFormat(44100, 16, 2);
        ASSERT_TRUE(wav.OpenWrite(kept.c_str()));
        ASSERT_TRUE(wav.WriteData(samples.data(), uint32_t(samples.size() * 2)));
        ASSERT_TRUE(wav.Close());
    }

    // Leading silence is the device playing before the first buffer arrived;
    // from there on, capture frame n is the instrument's frame n.
    const auto first = std::find_if(samples.begin(), samples.end(), [](int16_t s) { return s != 0; });
    ASSERT_NE(first, samples.end());
    const size_t start = size_t(first - samples.begin()) / 2;
    ASSERT_GE(samples.size() / 2, start + previewEndFrame + 11025);

    // 0.5 in at the default settings: 2.4 x 0.9 x (2^-0.84 x 0.75)^2 of it.
    const double peak = Rms(samples, start + 4410, start + 39690) * std::sqrt(2.0);
    EXPECT_NEAR(20.0 * std::log10(peak / 0.189594), 0.0, 0.1) << peak;
    for (size_t f = start; f < start + 44100; ++f)
        ASSERT_EQ(samples[f * 2], samples[f * 2 + 1]) << f;

    // After the sine stops, the reverb's tail ("Hall 1", about 4 s to fall by
    // 60 dB) decays second by second.
    const size_t stop = start + stopFrame;
    double tail[3];
    for (int s = 0; s < 3; ++s)
        tail[s] = Rms(samples, stop + 22050 + s * 44100, stop + 26460 + s * 44100);
    EXPECT_GT(tail[0], 0.002);
    EXPECT_GT(tail[0], 2.0 * tail[1]);
    EXPECT_GT(tail[1], 2.0 * tail[2]);
    EXPECT_GT(tail[2], 0.0);

    // The preview plays for its quarter of a second and ends by itself.
    const size_t previewStart = start + previewFrame;
    const double previewRms = Rms(samples, previewStart + 2048, previewStart + 9000);
    EXPECT_NEAR(previewRms * std::sqrt(2.0), 0.5 * 1.2 * 0.9 * std::exp2(-0.84) * 0.75, 0.02);
    EXPECT_EQ(Rms(samples, start + previewEndFrame + 1024, start + previewEndFrame + 11025), 0.0);
    EXPECT_LE(previewEndFrame - previewFrame, 11025u + 4096u);
}
