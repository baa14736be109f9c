#pragma once

#include "MixdownFixture.h"
#include "SampleEditFixture.h"

#include <memory>
#include <string>
#include <vector>

#include "base/JobQueue.h"
#include "mixer/AuditionPlayer.h"
#include "platform/MouseTouchTranslator.h"
#include "project/RecordingBrowserHost.h"
#include "project/ui/WidgetFileBrowser.h"
#include "sampler/SampleEditor.h"
#include "sampler/WidgetSampler.h"
#include "sampler/WidgetSamplerPanelEdit.h"
#include "sampler/WidgetSamplerPanelResample.h"
#include "sampler/WidgetSamplerTransportBar.h"
#include "ui/DialogueKit.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetTabView.h"

// The sampler page as the main screen shows it: a 1024 x 768 desktop screen
// drawn by the real renderer, over the engine with a new project, with the
// shared alert, overlay and file browser, the audition player, and jobs on
// the job thread. Driven by the mouse as the platform layer turns it into
// touches.
class SamplerPageTest : public OffscreenScreenFixture
{
protected:
    static constexpr int32_t kFrames = 5000;

    struct cResult
    {
        int32_t result;
        std::string path; // of the sample the page held at the completion
    };

    void SetUp() override
    {
        world = std::make_unique<MixdownTest::cMixdownWorld>();
        StartScreen(1024, 768);
        cWidgetDialogueDropDown::SetHost(&dropDowns);
        host = std::make_unique<ProjectTest::cRecordingBrowserHost>();
        SetStatusBarHost(host.get());
        host->browser = new cWidgetFileBrowser(host.get());
        player = std::make_unique<cAuditionPlayer>();
        page = new cWidgetSampler(*host);
        queue = std::make_unique<JobQueue::cJobQueue>();
    }
    void TearDown() override
    {
        queue.reset();
        if (page->IsShown())
            page->Close(cWidgetSampler::kResultNothingKept);
        Frames(2);
        page->Release();
        player.reset();
        host->browser->Release();
        SetStatusBarHost(nullptr);
        host.reset();
        cWidgetDialogueDropDown::SetHost(nullptr);
        OffscreenScreenFixture::TearDown();
        world.reset();
    }

    static std::string Native(const std::string& docPath) { return MixdownTest::Native(docPath); }
    static std::string WorkFolder() { return std::string(GetTempFolderPath()) + "/Sampler"; }

    // A mono 44.1 kHz WAV whose frame f holds f % 1000 * 10 + offset.
    static std::string RampWav(int32_t frames, int16_t offset = 0)
    {
        std::vector<int16_t> values(static_cast<size_t>(frames));
        for (int32_t f = 0; f < frames; ++f)
            values[size_t(f)] = int16_t(f % 1000 * 10 + offset);
        return Wav16(1, 44100, values);
    }
    // The file written, then loaded as the requester holds it.
    cSample* LoadSample(const std::string& docPath, const std::string& bytes)
    {
        MixdownTest::WriteBytes(Native(docPath), bytes);
        cSample* sample = cSample::Load(docPath.c_str(), 0);
        EXPECT_NE(sample, nullptr) << docPath;
        held.Assign(sample);
        if (sample)
            sample->Release();
        return sample;
    }

    // As a requester opens the page.
    void Open(cSample* sample)
    {
        page->SetSample(nullptr);
        page->SetSample(sample);
        page->Show(cDelegate(this, &SamplerPageTest::OnDone));
        Frames(3);
    }
    intptr_t OnDone(int32_t result, cWidgetSampler* sampler)
    {
        const cSample* sample = sampler->GetSample();
        results.push_back({result, sample ? sample->GetPath() : ""});
        return 0;
    }

    void Press(float x, float y)
    {
        cMouseTouchTranslator::OnMove(*input, x, y);
        cMouseTouchTranslator::OnButtonDown(*input, cMouseTouchTranslator::kLeft, false, x, y);
    }
    void Lift(float x, float y) { cMouseTouchTranslator::OnButtonUp(*input, cMouseTouchTranslator::kLeft, x, y); }
    void Tap(float x, float y)
    {
        Press(x, y);
        Lift(x, y);
        Frames(1);
    }
    void Tap(cWidget* widget)
    {
        const cRect& r = widget->GetRect();
        Tap((r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f);
    }
    void Drag(float fromX, float toX, float y)
    {
        Press(fromX, y);
        Frames(1);
        cMouseTouchTranslator::OnMove(*input, (fromX + toX) * 0.5f, y);
        Frames(1);
        cMouseTouchTranslator::OnMove(*input, toX, y);
        Frames(1);
        Lift(toX, y);
        Frames(2);
    }

    cSampleEditor& Editor() { return page->GetSampleEditor(); }
    // A drag over the middle half of the waveform, then "Delete".
    void DeleteMiddle()
    {
        const cRect& wave = Editor().GetWaveformRect();
        const float width = wave.xMax - wave.xMin, y = (wave.yMin + wave.yMax) * 0.5f;
        Drag(wave.xMin + width * 0.25f, wave.xMin + width * 0.75f, y);
        ASSERT_GT(Editor().GetModel().GetSelectionLength(), 0) << "the drag selected nothing";
        Tap(Editor().GetDeleteButton());
        Frames(2);
    }

    // The status bar's back button.
    void Back()
    {
        ASSERT_FALSE(host->statusStates.empty());
        host->statusStates.back().handler.Invoke();
        Frames(2);
    }
    void Answer(int32_t button)
    {
        ASSERT_TRUE(host->alert->IsShown());
        Frames(30);
        Tap(host->alert->GetButton(button));
        Frames(30);
    }
    void FinishJob()
    {
        for (int i = 0; i < 2000 && host->progress->IsShown(); ++i)
        {
            Frames(1);
            usleep(1000);
        }
        ASSERT_FALSE(host->progress->IsShown()) << "the save never finished";
        Frames(2);
    }
    cWidgetButton* Tab(int32_t index) const { return page->GetTabView()->GetTab(index); }
    cWidgetButton* Transport(int32_t index) const { return page->GetTransportBar()->GetButton(index); }

    std::unique_ptr<MixdownTest::cMixdownWorld> world;
    cRecordingDropDownHost dropDowns;
    std::unique_ptr<ProjectTest::cRecordingBrowserHost> host;
    std::unique_ptr<cAuditionPlayer> player;
    std::unique_ptr<JobQueue::cJobQueue> queue;
    cWidgetSampler* page = nullptr;
    tSampleRef held;
    std::vector<cResult> results;
};
