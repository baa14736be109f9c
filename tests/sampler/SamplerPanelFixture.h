#pragma once

#include "MixdownFixture.h"

#include <chrono>
#include <cstdio>

#include "audio/AudioDevicePort.h"
#include "audio/AudioManager.h"
#include "audio/Metronome.h"
#include "audio/Wavetable.h"
#include "audio/Sample.h"
#include "audio/SampleRegistry.h"
#include "base/UniqueFileName.h"
#include "audio/WaitUntil.h"
#include "base/JobQueue.h"
#include "platform/GlobalSettingValues.h"
#include "platform/MouseTouchTranslator.h"
#include "project/RecordingBrowserHost.h"
#include "sampler/SampleEditor.h"
#include "sampler/SamplerPage.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetProgress.h"
#include "ui/WidgetSpinButton.h"

namespace SamplerPanelTest
{
using namespace std::chrono_literals;
constexpr int32_t kBar = 1024;

// The page the tabs hand their samples to, kept for the test: the sample it
// holds, whether it is modified and how often "Edit" was selected; the
// shared dialogues are real.
class cTestSamplerPage : public cSamplerPage
{
public:
    ~cTestSamplerPage() override
    {
        SetSample(nullptr);
        if (mEditor)
            mEditor->Release();
    }

    cSample* GetSample() const override { return sample; }
    void SetSample(cSample* next) override
    {
        if (next)
            next->AddRef();
        if (sample)
            sample->Release();
        sample = next;
        modified = false;
        ++samplesSet;
    }
    void MarkModified() override { modified = true; }
    void SelectEditTab() override { ++editSelections; }
    cSampleEditor& GetSampleEditor() override
    {
        if (!mEditor)
            mEditor = new cSampleEditor(nullptr);
        return *mEditor;
    }
    cFileBrowserHost& GetHost() override { return host; }

    ProjectTest::cRecordingBrowserHost host;
    cSample* sample = nullptr;
    bool modified = false;
    int samplesSet = 0;
    int editSelections = 0;

private:
    cSampleEditor* mEditor = nullptr;
};

// A tab on a 1024 x 768 desktop screen drawn by the real renderer, over the
// engine with a new project (the desk in slot 0, a tone instrument in slot
// 2), with the job thread running; driven by the mouse.
template <class tPanel>
class cPanelFixture : public OffscreenScreenFixture
{
protected:
    void SetUp() override
    {
        mWorld = std::make_unique<MixdownTest::cMixdownWorld>();
        mSettings = gSettings;
        // As the application does: new names avoid loaded samples.
        SetSampleLoadedLookup(&cSampleRegistry::IsLoaded);
        StartScreen(1024, 768);
        // The shared dialogues are made again over the screen's fonts.
        page.host.alert->Release();
        page.host.alert = new cWidgetAlert();
        page.host.progress->Release();
        page.host.progress = new cWidgetProgress();
        SetStatusBarHost(&page.host);
        queue = std::make_unique<JobQueue::cJobQueue>();
        panel = new tPanel(page);
        panel->SetAnchors(kAnchorsAbsoluteRect, 0.0f, 120.0f, 1024.0f, 560.0f);
        manager->GetRoot()->AddChild(panel);
        panel->Release();
        Frames(3);
    }
    void TearDown() override
    {
        queue.reset();
        StopAudio();
        manager->GetRoot()->RemoveChild(panel);
        Frames(1);
        SetStatusBarHost(nullptr);
        page.SetSample(nullptr);
        OffscreenScreenFixture::TearDown();
        gSettings = mSettings;
        SetSampleLoadedLookup(nullptr);
        mWorld.reset();
    }

    // The audio manager on the dummy driver, paused: initialised, so "REC"
    // is enabled, but the audio thread renders nothing. Real time: on the
    // disk driver into a file, pulling the project's mixer.
    void StartAudio(bool realTime)
    {
        audioFile = TestScratchFolder() + "/sampler-audio-" + std::to_string(getpid()) + ".raw";
        setenv("SDL_AUDIODRIVER", realTime ? "disk" : "dummy", 1);
        setenv("SDL_DISKAUDIOFILE", audioFile.c_str(), 1);
        // The click's square wave comes from the generated tables.
        BuildWaveTables();
        gMetronome.Init();
        audio = std::make_unique<cAudioManager>();
        if (realTime)
            audio->GetOutputPort()->AddListener(GetMixer());
        cAudioSettings settings;
        settings.poolBufferCount = 8;
        settings.bufferLatency = 4;
        ASSERT_TRUE(audio->Init(settings)) << audio->GetErrorText();
        if (!realTime)
            audio->SetPaused(true);
        else
            ASSERT_TRUE(WaitUntil([&] { return audio->GetBuffersRendered() > 4; }, 20s));
    }
    void StopAudio()
    {
        if (!audio)
            return;
        audio->Shutdown();
        audio->GetOutputPort()->RemoveListener(GetMixer());
        audio.reset();
        std::error_code ignored;
        std::filesystem::remove(audioFile, ignored);
        FreeWaveTables();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    void Click(cWidget* widget) { ClickCentre(widget->GetRect()); }
    // Frames until no job runs behind the overlay.
    void Settle()
    {
        const bool done = WaitUntil(
            [&] {
                Frames(1);
                return !page.host.progress->GetJob();
            },
            120s);
        ASSERT_TRUE(done);
        Frames(3);
    }
    bool AlertShown() const { return manager->GetRoot()->HasLayer(page.host.alert); }
    std::string SamplePath() const { return page.sample ? page.sample->GetPath() : ""; }
    std::string Save(const char* name)
    {
        const std::string saved = gl->SaveFrame(name);
        std::printf("sampler tab saved as %s\n", saved.c_str());
        return saved;
    }

    cTestSamplerPage page;
    tPanel* panel = nullptr;
    std::unique_ptr<JobQueue::cJobQueue> queue;
    std::unique_ptr<cAudioManager> audio;
    std::string audioFile;

private:
    std::unique_ptr<MixdownTest::cMixdownWorld> mWorld;
    cGlobalSettingValues mSettings;
};

// The interleaved 16-bit frames of a sample.
inline std::vector<int16_t> Frames16(const cSample* sample)
{
    const int16_t* data = sample->GetData16();
    return std::vector<int16_t>(data, data + size_t(sample->GetFrames()) * size_t(sample->GetChannels()));
}

inline int32_t PeakOf(const std::vector<int16_t>& samples, size_t fromFrame, size_t toFrame)
{
    int32_t peak = 0;
    for (size_t i = fromFrame * 2; i < toFrame * 2 && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(int32_t(samples[i])));
    return peak;
}
} // namespace SamplerPanelTest
