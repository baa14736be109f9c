#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SampleRenderFixture.h"
#include "audio/SampleRegistry.h"
#include "base/JobQueue.h"
#include "mixer/AuditionPlayer.h"
#include "mixer/ui/EffectRackUI.h"
#include "platform/MouseTouchTranslator.h"
#include "project/RecordingBrowserHost.h"
#include "sampler/EffectPanelEndCheeks.h"
#include "sampler/SampleEditCommand.h"
#include "sampler/SampleEditor.h"
#include "sampler/SampleRender.h"
#include "sampler/SamplerEffectsSprites.h"
#include "sampler/SamplerPage.h"
#include "sampler/WidgetSamplerPanelEffects.h"
#include "support/LegibilityProbe.h"
#include "ui/OffscreenScreenFixture.h"
#include "ui/StatusBarHost.h"
#include "ui/WidgetAlert.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetKnob.h"
#include "ui/WidgetNavButtonUpDown.h"

using namespace SampleRenderTest;

namespace
{
// The sampler page as its tabs see it, with a real editor holding the sample.
class cTestSamplerPage : public cSamplerPage
{
public:
    explicit cTestSamplerPage(cFileBrowserHost& host) : mHost(host), editor(new cSampleEditor(nullptr)) {}
    ~cTestSamplerPage() override
    {
        editor->SetSample(nullptr);
        editor->Release();
        sample.Release();
    }

    cSample* GetSample() const override { return sample.Get(); }
    void SetSample(cSample* next) override
    {
        sample.Assign(next);
        editor->SetSample(next);
    }
    void MarkModified() override { ++modified; }
    void SelectEditTab() override { ++editTabSelected; }
    cSampleEditor& GetSampleEditor() override { return *editor; }
    cFileBrowserHost& GetHost() override { return mHost; }

    cFileBrowserHost& mHost;
    cSampleEditor* editor;
    tSampleRef sample;
    int modified = 0;
    int editTabSelected = 0;
};

// The Effects tab at page size on a 1024 x 768 desktop screen, drawn by the
// real renderer, over a "Tmp" mount with its "Sampler" folder and a job
// queue; the audition player's rack is the one it shows and renders through.
class SamplerPanelEffects : public OffscreenScreenFixture
{
protected:
    static constexpr float kTop = 30.0f;

    void SetUp() override
    {
        StartScreen(1024, 768);
        RegisterTestEffects(registry);
        audition = std::make_unique<cAuditionPlayer>();
        SetStatusBarHost(&host);
        queue = std::make_unique<JobQueue::cJobQueue>();
        page = std::make_unique<cTestSamplerPage>(host);
        panel = new cWidgetSamplerPanelEffects(*page);
        panel->SetAnchors(kAnchorsAbsoluteRect, 0.0f, kTop, 1024.0f, 768.0f - kTop);
        manager->GetRoot()->AddChild(panel);
        panel->Release();
        Frames(3);
    }
    void TearDown() override
    {
        cGateEffect::open.store(true);
        queue.reset();
        manager->GetRoot()->RemoveChild(panel);
        page.reset();
        audition.reset();
        SetStatusBarHost(nullptr);
        OffscreenScreenFixture::TearDown();
        EXPECT_EQ(cSampleRegistry::DumpAll(), 0) << "a sample was left loaded";
    }

    void Click(cWidget* widget) { ClickCentre(widget->GetRect()); }
    static bool WaitUntil(const std::function<bool()>& condition, double seconds = 60.0)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!condition())
        {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    // Until the overlay has completed its job.
    void Settle()
    {
        ASSERT_TRUE(WaitUntil([&] {
            Frames(1);
            return !host.progress->GetJob();
        }));
        Frames(2);
    }

    // The page's sample, edited from now on.
    cSample* Edit(cSample* sample)
    {
        page->SetSample(sample);
        sample->Release();
        Frames(1);
        return sample;
    }
    std::vector<int16_t> Values() const
    {
        const cSample* sample = page->GetSample();
        const auto* data = reinterpret_cast<const int16_t*>(sample->GetData());
        return {data, data + size_t(sample->GetFrames()) * sample->GetChannels()};
    }
    void Process()
    {
        Click(panel->GetProcessButton());
        Settle();
    }
    bool AlertShown() const { return host.alert->IsShown(); }
    int32_t HistoryCount() const { return page->editor->GetModel().GetHistory().GetCount(); }
    std::string WorkFile() const { return scratch.Sampler() + "/EffectRender.wav"; }

    cSamplerScratch scratch;
    cEffectRegistry registry;
    std::unique_ptr<cAuditionPlayer> audition;
    ProjectTest::cRecordingBrowserHost host;
    std::unique_ptr<JobQueue::cJobQueue> queue;
    std::unique_ptr<cTestSamplerPage> page;
    cWidgetSamplerPanelEffects* panel = nullptr;
};

TEST_F(SamplerPanelEffects, LevelKnobSetsTheRenderGain)
{
    const struct
    {
        float knob;
        float gain;
    } cases[] = {{0.0f, 0.0f}, {0.2f, 0.21763762f}, {0.75f, 1.0f}, {1.0f, 2.0f}};
    for (const auto& c : cases)
    {
        panel->GetLevelKnob()->SetValue(c.knob);
        EXPECT_NEAR(panel->GetRenderGain(), c.gain, 1e-5f) << c.knob;
    }
    // The curve's two laws meet at 0.2.
    EXPECT_NEAR(cWidgetSamplerPanelEffects::VolumeCurve(0.19999f), cWidgetSamplerPanelEffects::VolumeCurve(0.2f), 1e-4f);
    panel->GetLevelKnob()->SetValue(cWidgetSamplerPanelEffects::kDefaultLevel);
    EXPECT_FLOAT_EQ(panel->GetRenderGain(), 1.0f);
}

TEST_F(SamplerPanelEffects, ShowsTheAuditionRackAndTitle)
{
    EXPECT_STREQ(panel->GetName(), "Process Sample");
    EXPECT_EQ(host.title, "Apply effects to sample");
    EXPECT_EQ(panel->GetRackEditor()->GetRack(), &audition->GetRack());
    for (int32_t tag = 0; tag < cWidgetSamplerPanelEffects::kToggleCount; ++tag)
        EXPECT_EQ(panel->GetToggle(tag)->value, 0) << tag;
    EXPECT_FLOAT_EQ(panel->GetLevelKnob()->GetValue(), 0.75f);
    // The strip runs between the cheeks at the top, the rack editor below it.
    const float cheek = cEffectPanelEndCheeks::GetCheekWidth();
    const cRect strip = panel->GetStripRect();
    EXPECT_EQ(strip.xMin, cheek);
    EXPECT_EQ(strip.xMax, 1024.0f - cheek);
    // At least the 50 px the page asks for, and room for the level knob
    // under its caption.
    EXPECT_GE(strip.yMax - strip.yMin, cWidgetSamplerPanelEffects::kStripHeight);
    EXPECT_GE(panel->GetLevelKnob()->GetRect().yMin - strip.yMin, 9.0f);
    EXPECT_LE(panel->GetLevelKnob()->GetRect().yMax, strip.yMax);
    EXPECT_EQ(panel->GetRackEditor()->GetRect().yMin, strip.yMax);
}

// Through an empty rack the default level keeps the sample (one undoable
// "Effects" step, the "Edit" tab shown); the knob's top makes it four
// times as loud, the gain applying on the way in and out.
TEST_F(SamplerPanelEffects, RenderReplacesTheSampleAsOneEdit)
{
    const struct
    {
        float knob;
        int32_t factor;
    } cases[] = {{0.75f, 1}, {1.0f, 4}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.knob);
        Edit(MakeSample(2, 3000, [](int32_t f, int32_t ch) { return (f % 200) * 20 - 2000 + ch * 3; }));
        const std::vector<int16_t> before = Values();
        const int modified = page->modified, tabs = page->editTabSelected;
        panel->GetLevelKnob()->SetValue(c.knob);
        Process();
        EXPECT_FALSE(AlertShown());
        EXPECT_EQ(page->modified, modified + 1);
        EXPECT_EQ(page->editTabSelected, tabs + 1);
        EXPECT_EQ(panel->GetRenderRunning(), 0);
        ASSERT_EQ(HistoryCount(), 1);
        EXPECT_STREQ(page->editor->GetModel().GetHistory().GetSlot(0)->GetName(), "Effects");
        const std::vector<int16_t> after = Values();
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < before.size(); ++i)
            ASSERT_NEAR(after[i], before[i] * c.factor, c.factor) << "sample " << i;
        // Undo brings the sample back.
        page->editor->GetModel().GetHistory().Undo();
        EXPECT_EQ(Values(), before);
    }
}

TEST_F(SamplerPanelEffects, RenderErrorsAndWarningsAreShown)
{
    struct cCase
    {
        const char* name;
        int32_t frames;
        const char* effect;
        int32_t tail;
        float knob;
        const char* title;
        const char* firstLine;
        const char* secondLine;
        bool replaced;
        bool withoutFolder = false;
    };
    const cCase cases[] = {
        {"too short", 3, nullptr, 0, 0.75f, "Effect Render Failed", "Sample too short", "", false},
        {"no work folder", 1000, nullptr, 0, 0.75f, "Effect Render Failed", "Couldn't open file", "", false, true},
        {"clipping", 5000, nullptr, 0, 1.0f, "Clipping Detected", "If the sample sounds distorted, reduce the",
         "gain control and try again.", true},
        {"endless tail", 1000, "TEST-HUM", 1, 0.75f, "Sample truncated to 32MB",
         "You may need to shorten your sample before applying effects.",
         "Alternatively, try disabling the tail or enabling mono mode.", true},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        Edit(MakeSample(2, c.frames, [](int32_t, int32_t) { return 20000; }));
        const std::vector<int16_t> before = Values();
        const int modified = page->modified;
        audition->GetRack().FindNode("SLOT1")->RemoveEffect();
        if (c.effect)
            Install<cTestEffect>(audition->GetRack(), c.effect);
        panel->GetToggle(cWidgetSamplerPanelEffects::kTagTail)->value = c.tail;
        panel->GetLevelKnob()->SetValue(c.knob);
        if (c.withoutFolder)
            std::filesystem::remove_all(scratch.Sampler());
        Process();
        std::filesystem::create_directories(scratch.Sampler());
        ASSERT_TRUE(AlertShown());
        EXPECT_STREQ(host.alert->GetName(), c.title);
        EXPECT_STREQ(host.alert->firstLine.CStr(), c.firstLine);
        EXPECT_STREQ(host.alert->secondLine.CStr(), c.secondLine);
        EXPECT_EQ(page->modified, modified + (c.replaced ? 1 : 0));
        EXPECT_EQ(HistoryCount(), c.replaced ? 1 : 0);
        if (!c.replaced)
        {
            EXPECT_EQ(Values(), before);
        }
        host.alert->Hide();
        Frames(30);
    }
}

// A cancel shows nothing and changes nothing, and leaves no work file.
TEST_F(SamplerPanelEffects, CancelledRenderChangesNothing)
{
    Edit(MakeSample(2, 4000, Ramp));
    const std::vector<int16_t> before = Values();
    Install<cTestEffect>(audition->GetRack(), "TEST-GATE");
    cGateEffect::entered.store(false);
    cGateEffect::open.store(false);
    Click(panel->GetProcessButton());
    ASSERT_TRUE(WaitUntil([] { return cGateEffect::entered.load(); }));
    EXPECT_STREQ(host.progress->GetName(), "Rendering Effects");
    EXPECT_EQ(panel->GetRenderRunning(), 1);
    Click(host.progress->GetButton());
    cGateEffect::open.store(true);
    Settle();
    EXPECT_FALSE(AlertShown());
    EXPECT_EQ(Values(), before);
    EXPECT_EQ(HistoryCount(), 0);
    EXPECT_EQ(page->modified, 0);
    EXPECT_EQ(page->editTabSelected, 0);
    EXPECT_FALSE(std::filesystem::exists(WorkFile()));
}

// The editor refusing the rendered file (here: it was damaged before the
// completion ran) is a failure with the editor's reason, not a success:
// sample, history, modified flag and tab stay. The render is held at the
// gate until the test has its job, so no frame completes it first.
TEST_F(SamplerPanelEffects, RefusedReplaceIsReportedAsFailure)
{
    Edit(MakeSample(2, 2000, Ramp));
    const std::vector<int16_t> before = Values();
    Install<cTestEffect>(audition->GetRack(), "TEST-GATE");
    cGateEffect::entered.store(false);
    cGateEffect::open.store(false);
    Click(panel->GetProcessButton());
    ASSERT_TRUE(WaitUntil([] { return cGateEffect::entered.load(); }));
    cWidgetProgress::cJob* job = host.progress->GetJob();
    ASSERT_NE(job, nullptr);
    cGateEffect::open.store(true);
    ASSERT_TRUE(WaitUntil([&] { return job->mState.load() == JobQueue::cJob::kStateFinished; }));
    WriteFile(WorkFile(), "RIFF\x04\x00\x00\x00WAVE");
    Settle();
    ASSERT_TRUE(AlertShown());
    EXPECT_STREQ(host.alert->GetName(), "Effect Render Failed");
    EXPECT_STRNE(host.alert->firstLine.CStr(), "");
    EXPECT_EQ(Values(), before);
    EXPECT_EQ(HistoryCount(), 0);
    EXPECT_EQ(page->modified, 0);
    EXPECT_EQ(page->editTabSelected, 0);
    EXPECT_TRUE(scratch.SamplerFiles().empty()) << "the refused file was dropped";
}

// The page button steps and jumps through the rack editor's rows and lights
// only the halves that lead somewhere.
TEST_F(SamplerPanelEffects, PageButtonFollowsTheRackRows)
{
    // Short enough for one row of editors at a time.
    panel->SetAnchors(kAnchorsAbsoluteRect, 0.0f, kTop, 800.0f, 260.0f);
    Frames(2);
    cEffectRackUI* rack = panel->GetRackEditor();
    cWidgetNavButtonUpDown* button = panel->GetEndCheeks()->GetPageButton();
    const int32_t last = rack->GetLastRow();
    ASSERT_GE(last, 2);
    const struct
    {
        const char* action;
        std::function<void()> act;
        int32_t row;
    } steps[] = {
        {"start", [] {}, 0},
        {"down", [&] { button->repeatDelegate.Invoke(false, button); }, 1},
        {"up", [&] { button->repeatDelegate.Invoke(true, button); }, 0},
        {"up at the top", [&] { button->repeatDelegate.Invoke(true, button); }, 0},
        {"jump down", [&] { button->swipeDelegate.Invoke(false, button); }, last},
        {"down at the end", [&] { button->repeatDelegate.Invoke(false, button); }, last},
        {"jump up", [&] { button->swipeDelegate.Invoke(true, button); }, 0},
    };
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.action);
        step.act();
        EXPECT_EQ(rack->GetTargetRow(), step.row);
        EXPECT_EQ(button->upEnabled, step.row > 0);
        EXPECT_EQ(button->downEnabled, step.row < last);
    }
    // Tall enough for every row: nothing to page, the button fades out.
    panel->SetAnchors(kAnchorsAbsoluteRect, 0.0f, kTop, 800.0f, 738.0f);
    Frames(40);
    EXPECT_EQ(rack->GetLastRow(), 0);
    EXPECT_FALSE(button->upEnabled || button->downEnabled);
    EXPECT_EQ(button->GetFade(), 0);
}

// A level above full scale lights its side's clip LED for 8 drawn frames.
TEST_F(SamplerPanelEffects, ClipLedsHoldForEightFrames)
{
    auto* cheeks = new cEffectPanelEndCheeks();
    cheeks->SetAnchors(kAnchorsAbsoluteRect, 0.0f, kTop, 1024.0f, 738.0f);
    manager->GetRoot()->AddChild(cheeks);
    cheeks->Release();
    cheeks->SetLevels(1.2f, 0.9f);
    Frames(1);
    std::vector<int32_t> left, right;
    for (int i = 0; i < 10; ++i)
    {
        left.push_back(cheeks->GetClipHold(0));
        right.push_back(cheeks->GetClipHold(1));
        cheeks->SetLevels(0.5f, 0.5f);
        Frames(1);
    }
    EXPECT_EQ(left, (std::vector<int32_t>{8, 7, 6, 5, 4, 3, 2, 1, 0, 0}));
    EXPECT_EQ(right, std::vector<int32_t>(10, 0));
    manager->GetRoot()->RemoveChild(cheeks);
}

// The tab at page size, with an echo in the rack's first slot.
TEST_F(SamplerPanelEffects, Picture)
{
    Edit(MakeSample(2, 2000, Ramp));
    audition->GetRack().FindNode("SLOT1")->InstallEffect("TEST-ECHO");
    panel->GetToggle(cWidgetSamplerPanelEffects::kTagTail)->value = 1;
    panel->ModifyFlags(kWidgetStateDirty, 0, true);
    Frames(30);
    const std::string saved = gl->SaveFrame("sampler-effects-tab");
    std::printf("effects tab saved as %s\n", saved.c_str());
    EXPECT_FALSE(saved.empty());
    // The level knob's caption stays inside the strip, clear of the tabs
    // above it; every text reads and nothing overlaps.
    cLegibilityProbe probe;
    probe.Capture(gl->Width(), gl->Height(), [this] { DrawFrame(); }, [this] { return gl->ReadPixels(); });
    const cRect& strip = panel->GetStripRect();
    int captions = 0;
    for (const cLegibilityProbe::cText& text : probe.Texts())
        if (text.text == "REC LEVEL")
        {
            ++captions;
            EXPECT_GE(text.box.yMin, strip.yMin) << "the caption crosses the strip's top";
        }
    EXPECT_EQ(captions, 1);
    EXPECT_EQ(ScreenFaults(), "");
}
} // namespace
