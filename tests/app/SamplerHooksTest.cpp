#include "MainScreenFixture.h"

#include <string>

#include "app/AppAnalogueSynthHost.h"
#include "app/AppTriggerPadHost.h"
#include "audio/Sample.h"
#include "audio/SampleRegistry.h"
#include "sampler/WidgetSampler.h"
#include "ui/WidgetModalContainer.h"
#include "ui/WidgetTabView.h"

namespace
{
// What the pad editor and the synthesizer's sample layer are told.
struct cRequester
{
    intptr_t OnPadDone(int32_t result, const char* path)
    {
        results.push_back(result);
        paths.push_back(path ? path : "");
        return 0;
    }
    intptr_t OnLayerDone(int32_t result, cSample* sample)
    {
        results.push_back(result);
        paths.push_back(sample ? sample->GetPath() : "(none)");
        return 0;
    }
    std::vector<int32_t> results;
    std::vector<std::string> paths;
};

using SamplerHooks = MainScreenFixture;
} // namespace

// Both requesters reach the main UI's one page: shown over the main window
// with its own back action, and told what was kept as they expect it.
TEST_F(SamplerHooks, RequestersOpenThePageAndHearWhatWasKept)
{
    cWidgetSampler* page = ui->GetSampler();
    ASSERT_NE(page, nullptr);
    cSample* sample = cSample::Create("User/Samples/Kick.wav", 16, 1, 44100, 100);
    ASSERT_NE(sample, nullptr);
    cAppTriggerPadHost pads;
    cAppAnalogueSynthHost synth;
    EXPECT_TRUE(pads.HasSampler());
    EXPECT_TRUE(synth.HasSampler());
    cRequester requester;
    const struct
    {
        bool pad;
        cSample* given;
        int32_t closeWith;
        int32_t result;
        const char* path;
    } cases[] = {
        {true, sample, cWidgetSampler::kResultSaved, 1, "User/Samples/Kick.wav"},
        {true, nullptr, cWidgetSampler::kResultNothingKept, 0, ""},
        {false, sample, cWidgetSampler::kResultSaved, 1, "User/Samples/Kick.wav"},
        {false, sample, cWidgetSampler::kResultNothingKept, 0, "(none)"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << (c.pad ? "pad" : "layer") << " closed with " << c.closeWith);
        if (c.pad)
            pads.ShowSampler(c.given, cDelegate(&requester, &cRequester::OnPadDone));
        else
            synth.ShowSampler(c.given, false, cDelegate(&requester, &cRequester::OnLayerDone));
        Frame();
        ASSERT_TRUE(page->IsShown());
        EXPECT_EQ(page->GetSample(), c.given);
        EXPECT_EQ(page->GetTabView()->GetSelectedPage(),
                  c.given ? cWidgetSampler::kTabEdit : cWidgetSampler::kTabResample);
        EXPECT_EQ(ui->GetMainWindow()->GetTopLayerWidget(), page);
        EXPECT_EQ(bar->GetMode(), cWidgetStatusBar::kModeDialogueWithTransport);
        EXPECT_TRUE(bar->GetStateHandler().IsBoundTo(page));
        page->Close(c.closeWith);
        Frame();
        EXPECT_EQ(bar->GetStateDepth(), 0);
        ASSERT_FALSE(requester.results.empty());
        EXPECT_EQ(requester.results.back(), c.result);
        EXPECT_EQ(requester.paths.back(), c.path);
    }
    sample->Release();
}

// The status bar's back button leaves an unchanged sample at once.
TEST_F(SamplerHooks, BackLeavesAnUnchangedSample)
{
    cAppTriggerPadHost pads;
    cRequester requester;
    pads.ShowSampler(nullptr, cDelegate(&requester, &cRequester::OnPadDone));
    Frame();
    TapButton(cWidgetStatusBar::kBack);
    Frame();
    EXPECT_FALSE(ui->GetSampler()->IsShown());
    EXPECT_EQ(requester.results, (std::vector<int32_t>{0}));
}
