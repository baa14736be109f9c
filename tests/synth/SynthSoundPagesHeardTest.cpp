#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "ScopedEnv.h"
#include "SynthEditorFixture.h"
#include "audio/AudioDevicePort.h"
#include "audio/InstrumentSlotTable.h"
#include "audio/SignalMeasure.h"
#include "audio/WaitUntil.h"
#include "base/JobQueue.h"
#include "instruments/synth/ui/AnalogueSynthPanelOsc.h"
#include "instruments/synth/ui/AnalogueSynthPanelSampler.h"
#include "instruments/synth/ui/AnalogueSynthPanelStrips.h"
#include "instruments/synth/ui/AnalogueSynthStripEnvelope.h"
#include "instruments/synth/ui/AnalogueSynthUIHost.h"
#include "mixer/Mixer.h"
#include "mixer/MixingDeskInstrument.h"
#include "project/ProjectList.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetLEDCycleButton.h"

using namespace std::chrono_literals;

namespace
{
constexpr double kRate = 44100.0;
constexpr int32_t kBlock = 128;
const uint32_t kAmpAmountId = MakeSynthParamId(kSynthParamSingle, kSingleGroupAmpEnv, 4);

// Before the mixer in every block: counts frames, and notes the first block
// whose start sees the amp envelope's amount changed, so the block before
// it drained the editor's event.
class cWatch : public cAudioModuleBase
{
public:
    explicit cWatch(cAnalogueSynth* synth, bool marker) : cAudioModuleBase(0), mSynth(synth), mMarker(marker) {}

    int32_t Process(const cAudioProcessInfo&, cAudioBuffer& buffer) override
    {
        if (mMarker)
        {
            if (frames.load() == 0)
                static_cast<int16_t*>(buffer.data)[0] = kMark;
        }
        else if (drainedBlockStart.load() < 0 && mSynth->GetParamFloat(kAmpAmountId) < 0.75f)
            drainedBlockStart = int64_t(frames.load()) - kBlock;
        frames += buffer.frames;
        return 0;
    }

    static constexpr int16_t kMark = 12345;
    std::atomic<uint64_t> frames{0};
    std::atomic<int64_t> drainedBlockStart{-1};

private:
    cAnalogueSynth* mSynth;
    bool mMarker;
};

class cLoadingHost : public cAnalogueSynthUIHost
{
public:
    bool ShowFileBrowser(const cSynthBrowserRequest&, const cDelegate& chosen) override
    {
        completion = chosen;
        return true;
    }
    cDelegate completion;
};

cAudioEvent HeldNote(uint8_t type, int note, uint32_t id)
{
    cAudioEvent event;
    event.type = type;
    event.SetNote(uint8_t(note), 100);
    event.wordB = kVoiceSourceUser << 24 | id;
    return event;
}

} // namespace

// The editor on the real audio manager playing into the disk device: what
// the pages post is heard in the written file.
class SynthSoundPagesHeard : public SynthEditor
{
protected:
    void SetUp() override
    {
        SynthEditor::SetUp();
        manager.reset(); // the paused one gives way to the one that plays
        mixer = desk.GetMixer();
        slots.SetSlot(3, instrument.get(), false);
        mixer->InsertChannels(instrument.get(), nullptr);
        raw = folder->Doc("capture.raw");
    }
    void TearDown() override
    {
        mixer->RemoveChannels(instrument.get());
        slots.SetSlot(3, nullptr, false);
        SetAnalogueSynthUIHost(nullptr);
        SynthEditor::TearDown();
    }
    // Runs the engine while the script plays on the main thread, then reads
    // the left channel from the engine's first frame on.
    template <class Script> std::vector<float> Play(cWatch& watch, Script script)
    {
        cWatch marker(&Synth(), true);
        {
            cScopedEnv driver("SDL_AUDIODRIVER", "disk");
            cScopedEnv file("SDL_DISKAUDIOFILE", raw.c_str());
            cAudioManager audio;
            audio.GetOutputPort()->AddListener(&watch);
            audio.GetOutputPort()->AddListener(mixer);
            audio.GetOutputPort()->AddListener(&marker);
            cAudioSettings settings;
            settings.poolBufferCount = 8;
            settings.bufferLatency = 4;
            EXPECT_TRUE(audio.Init(settings)) << audio.GetErrorText();
            script(audio);
            audio.Shutdown();
            audio.GetOutputPort()->RemoveListener(&marker);
            audio.GetOutputPort()->RemoveListener(mixer);
            audio.GetOutputPort()->RemoveListener(&watch);
        }
        const std::string bytes = folder->Read("capture.raw");
        std::vector<int16_t> samples(bytes.size() / 2);
        std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
        const auto mark = std::find(samples.begin(), samples.end(), cWatch::kMark);
        EXPECT_NE(mark, samples.end());
        const size_t start = size_t(mark - samples.begin()) / 2;
        std::vector<float> left(samples.size() / 2 - std::min(start, samples.size() / 2));
        for (size_t n = 0; n < left.size(); ++n)
            left[n] = float(samples[(start + n) * 2]) / 32768.0f;
        if (!left.empty())
            left[0] = 0.0f;
        return left;
    }
    // Main-thread frames until the engine has played that many seconds.
    void FramesUntil(cWatch& watch, double seconds)
    {
        while (double(watch.frames.load()) < seconds * kRate)
        {
            Frame();
            std::this_thread::sleep_for(5ms);
        }
    }

    cInstrumentSlotTable slots;
    cMixingDeskInstrument desk{nullptr};
    cMixer* mixer = nullptr;
    std::string raw;
};

TEST_F(SynthSoundPagesHeard, AmpAmountAtHalfFallsBySixDecibelsWithinTwoBlocks)
{
    Open(kScreenWidth, kScreenHeight);
    editor->ShowPanel("Amp");
    Frame(2);
    auto* amp = static_cast<cAnalogueSynthPanelTwoStrips*>(editor->GetPanel(cAnalogueSynthUI::kPanelAmp));
    cWidgetKnob* amount = static_cast<cAnalogueSynthStripEnvelope*>(amp->GetUpper())->GetKnob(4);
    ASSERT_FLOAT_EQ(amount->GetValue(), 1.0f);
    cWatch watch(&Synth(), false);
    const std::vector<float> left = Play(watch, [&](cAudioManager&) {
        Synth().PostEvent(HeldNote(kAudioEventNoteOn, 57, 1));
        FramesUntil(watch, 1.0);
        amount->SetValue(0.5f);
        amount->valueDelegate.Invoke(0.5f, amount);
        FramesUntil(watch, 1.6);
    });
    const int64_t drained = watch.drainedBlockStart.load();
    ASSERT_GT(drained, 0);
    ASSERT_GT(int64_t(left.size()), drained + int64_t(0.4 * kRate));
    // 220 Hz: windows of whole periods' worth, long enough to even out.
    const int64_t window = int64_t(0.1 * kRate);
    const double before = Rms(left, drained - window - kBlock, drained - kBlock);
    const double after = Rms(left, drained + 2 * kBlock, drained + 2 * kBlock + window);
    ASSERT_GT(before, 0.01);
    EXPECT_NEAR(ToDb(after / before), -6.02, 0.3);
}

TEST_F(SynthSoundPagesHeard, ASampleLoadedThroughThePanelPlaysAtItsPitch)
{
    std::vector<int16_t> tone(size_t(kRate) * 2 * 2);
    for (size_t n = 0; n < tone.size() / 2; ++n)
        tone[2 * n] = tone[2 * n + 1] = int16_t(12000.0 * std::sin(2.0 * M_PI * 1000.0 * double(n) / kRate));
    folder->Write("User/Samples/Tone.wav", SimpleWav(cWavFormat(), Samples16(tone)));
    JobQueue::cJobQueue jobs;
    cLoadingHost host;
    SetAnalogueSynthUIHost(&host);
    Open(kScreenWidth, kScreenHeight);
    editor->ShowPanel("Osc");
    Frame(2);
    auto* osc = static_cast<cAnalogueSynthPanelOsc*>(editor->GetPanel(cAnalogueSynthUI::kPanelOsc));
    osc->GetModeButton()->value = cAnalogueSynthPanelOsc::kModeSample;
    osc->OnModeChanged(cAnalogueSynthPanelOsc::kModeSample, osc->GetModeButton());
    Synth().DrainEvents();
    Frame(2);
    cAnalogueSynthPanelSampler* sampler = osc->GetSampler();
    {
        // LOAD needs an open project; a new project fills the slot table
        // anew, so the instrument leaves it meanwhile.
        slots.SetSlot(3, nullptr, false);
        cProjectList projects;
        projects.NewProject();
        sampler->OnButtonClicked(0, sampler->GetButton(cAnalogueSynthPanelSampler::kLoad));
        slots.SetSlot(3, nullptr, false);
    }
    ASSERT_EQ(sampler->GetPending(), cAnalogueSynthPanelSampler::kLoad);
    cWatch watch(&Synth(), false);
    const std::vector<float> left = Play(watch, [&](cAudioManager&) {
        host.completion.Invoke(1, "User/Samples/Tone.wav");
        EXPECT_TRUE(WaitUntil([&] { return Synth().GetSampleManager().GetSample(0) != nullptr; }, 10s));
        FramesUntil(watch, 0.5);
        Synth().PostEvent(HeldNote(kAudioEventNoteOn, 60, 1));
        FramesUntil(watch, 1.2);
    });
    ASSERT_GT(left.size(), size_t(1.1 * kRate));
    const double frequency = CrossingFrequency(left, int64_t(0.8 * kRate), int64_t(1.1 * kRate));
    EXPECT_NEAR(frequency, 1000.0, 2.0);
    EXPECT_GT(Rms(left, int64_t(0.8 * kRate), int64_t(1.1 * kRate)), 0.005);
}
